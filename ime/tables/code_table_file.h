// The code-table file (".mb"): bucket counts, bucket starts, then the entries, each a code and a
// text in code page 936 behind a one-byte length. Little-endian, no padding:
//
//   int32 count[B]        entries in bucket k
//   int32 start[B + 1]    index of the first entry of bucket k; start[0] = 0, start[B] = N
//   N entries             uint8 codeLength, code bytes, uint8 textLength, text bytes
//
// Lengths are 1 to 127. Entries are grouped by the first character of their code, bucket after
// bucket in key order. The keypad scheme has 9 buckets ("1" to "9"), pinyin 26 ("a" to "z").
#pragma once

#include "tables/scheme.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tovi {

enum class CodeTableLayout : std::uint8_t {
    Digits,  // scheme 1: buckets "1" to "9"
    Letters, // scheme 2: buckets "a" to "z"
};

// The layout of a scheme's table; none for the schemes without an engine (0 and 3).
std::optional<CodeTableLayout> layoutOfScheme(Scheme scheme);

constexpr std::size_t bucketCount(CodeTableLayout layout) {
    return layout == CodeTableLayout::Digits ? 9 : 26;
}

constexpr char16_t firstKey(CodeTableLayout layout) {
    return layout == CodeTableLayout::Digits ? u'1' : u'a';
}

// The bucket of a code that begins with `key`, or none when `key` is not a key of the layout.
constexpr std::optional<std::size_t> bucketOf(CodeTableLayout layout, char16_t key) {
    const char16_t first = firstKey(layout);
    if (key < first || static_cast<std::size_t>(key - first) >= bucketCount(layout))
        return std::nullopt;
    return static_cast<std::size_t>(key - first);
}

// Longest code or text in bytes: the length byte is read as a signed value.
inline constexpr std::size_t kMaxFieldBytes = 127;

// Largest file accepted. The two shared pools hold 2 x 26,214,400 UTF-16 units, and every byte
// of a file's strings needs one unit there, so a larger file could not be loaded anyway. The
// bound also caps what a parse allocates (a few times the file size).
inline constexpr std::size_t kMaxCodeTableFileBytes = 64u << 20;

// Why an entry cannot be part of a table.
enum class EntryFault : std::uint8_t {
    None,
    BadLength,   // code or text empty or longer than 127 bytes
    WrongBucket, // the code does not begin with a key of the layout, or goes before the last entry
    NotGbk,      // bytes that code page 936 does not define, or a NUL (pool strings end at NUL)
    TableFull,   // the table already holds as many entries or string bytes as it can index
};

// A code table in memory: entries in index order, grouped into the buckets of its layout. Every
// entry holds its code and text both as the file's GBK bytes and decoded to UTF-16; the invariants
// of the file format always hold, so any table can be written.
class CodeTableData {
public:
    explicit CodeTableData(CodeTableLayout layout);

    CodeTableLayout layout() const { return layout_; }
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

    // GBK bytes as they stand in the file.
    std::string_view codeBytes(std::size_t i) const;
    std::string_view textBytes(std::size_t i) const;
    // The same strings in UTF-16; never longer than their byte forms.
    std::u16string_view code(std::size_t i) const;
    std::u16string_view text(std::size_t i) const;
    // Every string's UTF-16 units, entry after entry, each code followed by its text.
    std::u16string_view units() const { return units_; }

    // bucketCount(layout) + 1 starts; start[k] .. start[k + 1] - 1 are the entries of bucket k.
    std::span<const std::int32_t> starts() const { return starts_; }
    std::int32_t count(std::size_t bucket) const { return starts_[bucket + 1] - starts_[bucket]; }

    // Appends an entry given as GBK bytes. It must belong to the last non-empty bucket or a later
    // one, so the table stays grouped. Nothing is added on a fault.
    EntryFault appendGbk(std::string_view code, std::string_view text);
    // Appends an entry given in UTF-16; NotGbk when either string has no GBK form.
    EntryFault append(std::u16string_view code, std::u16string_view text);

    // Storage estimate for the strings, so that a caller can reserve before appending.
    void reserve(std::size_t entries, std::size_t stringBytes);

private:
    struct Entry {
        std::uint32_t bytes; // offset of the code in bytes_; the text follows it
        std::uint32_t units; // offset of the code in units_; the text follows it
        std::uint8_t codeBytes;
        std::uint8_t textBytes;
        std::uint8_t codeUnits;
        std::uint8_t textUnits;
    };

    CodeTableLayout layout_;
    std::vector<Entry> entries_;
    std::string bytes_;
    std::u16string units_;
    std::vector<std::int32_t> starts_;
};

// Why a file was refused. A refused file loads no table and the user is told it could not be
// opened.
enum class CodeTableFault : std::uint8_t {
    None,
    TooLarge,       // more than kMaxCodeTableFileBytes
    ShortHeader,    // fewer bytes than the counts and starts
    BadHeader,      // a negative count, start[0] not 0, or a start that is not the sum of counts
    TooManyEntries, // N is more than the bytes after the header could hold
    Truncated,      // the file ends inside its N entries
    BadLength,      // a length byte of 0 or above 127
};

// Describes a fault in a few words of English, for tests and diagnostics.
std::string_view describe(CodeTableFault fault);

struct CodeTableParse {
    explicit CodeTableParse(CodeTableLayout layout);

    CodeTableFault fault = CodeTableFault::None;
    // The file's table when fault is None; empty otherwise.
    CodeTableData table;
    // Entries left out of an accepted file, by reason. Their framing was sound, so the
    // entries after them are still read.
    std::size_t skippedWrongBucket = 0;
    std::size_t skippedNotGbk = 0;

    bool ok() const { return fault == CodeTableFault::None; }
    std::size_t skipped() const { return skippedWrongBucket + skippedNotGbk; }
};

// Where one of a file's N entries lies in the file, as the header and the length bytes frame it.
struct FramedEntry {
    std::uint32_t offset;   // first byte of the code; the text's length byte follows the code
    std::uint8_t codeBytes; // 1 to 127
    std::uint8_t textBytes; // 1 to 127
    std::uint8_t bucket;    // the bucket the header puts the entry in

    std::size_t textOffset() const { return offset + codeBytes + 1u; }
};

// Walks the entries of a framed file in order, reading each one's length bytes again (bounded
// by the buffer); it holds no per-entry storage, so framing a large table costs no memory.
class FramedEntryCursor {
public:
    FramedEntryCursor() = default;
    FramedEntryCursor(std::span<const std::byte> file, std::size_t bodyOffset,
                      std::span<const std::int32_t> starts);

    // The next entry; none after the last. `fault` tells why a walk stopped early (only a file
    // that was not framed first can do that).
    std::optional<FramedEntry> next(CodeTableFault& fault);
    std::optional<FramedEntry> next() {
        CodeTableFault ignored = CodeTableFault::None;
        return next(ignored);
    }

private:
    std::span<const std::byte> file_;
    std::size_t offset_ = 0;
    std::size_t index_ = 0;
    std::size_t bucket_ = 0;
    std::span<const std::int32_t> starts_;
};

// The header and the framing of a file, checked before any entry is used: either a fault, or
// all N entries located. The contents of the fields are not checked (that is the caller's part:
// a code outside its bucket, bytes that are not GBK). A frame views the buffer it framed.
struct CodeTableFrame {
    CodeTableFault fault = CodeTableFault::None;
    std::size_t entryCount = 0;

    bool ok() const { return fault == CodeTableFault::None; }
    // The N entries, from the first; none when the file was refused.
    FramedEntryCursor entries() const;
    // The fields of entry `e` in `file`, the buffer that was framed.
    static std::string_view code(std::span<const std::byte> file, const FramedEntry& e);
    static std::string_view text(std::span<const std::byte> file, const FramedEntry& e);

    std::span<const std::byte> file;
    std::size_t bodyOffset = 0;
    std::array<std::int32_t, bucketCount(CodeTableLayout::Letters) + 1> starts{};
    std::size_t buckets = 0;
};

// Frames a whole file with the rules of parseCodeTable.
CodeTableFrame frameCodeTable(std::span<const std::byte> file, CodeTableLayout layout);

// Parses a whole file. The bytes are untrusted: every read is bounded by the buffer and nothing
// is allocated beyond a small multiple of its size.
//
// Faults in the header or in the framing of the entries (lengths, a file shorter than N entries)
// refuse the file: past such a fault nothing says where entries begin, and a table loaded from
// part of a file would be saved back without the rest at the next edit, so the user's file would
// be lost. An entry whose framing is sound but whose content is unusable (a code outside its
// bucket, bytes that are not GBK, an embedded NUL) is skipped and counted; the rest of the table
// loads, with counts and starts recomputed from the entries kept. Bytes after the N-th entry are
// ignored.
CodeTableParse parseCodeTable(std::span<const std::byte> file, CodeTableLayout layout);
CodeTableParse parseCodeTable(std::string_view file, CodeTableLayout layout);

// Size of the header of a file with `buckets` buckets: the counts and the starts.
constexpr std::size_t codeTableHeaderBytes(std::size_t buckets) {
    return (2 * buckets + 1) * 4;
}

// Appends the header for the given entries per bucket: the counts, then the starts they add up
// to, from 0 to the total. The entries must follow it bucket after bucket.
void appendCodeTableHeader(std::string& out, std::span<const std::int32_t> counts);

// The file's bytes for `table`.
std::string writeCodeTable(const CodeTableData& table);

} // namespace tovi
