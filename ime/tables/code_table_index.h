// The per-process index of a loaded code table and the candidate searches that run on it.
//
// A search reads a CodeTableView: the bucket starts and every entry's code and text in UTF-16, in
// index order. The strings live wherever the table was loaded (a CodeTableData here, the shared
// pools for the module), so a view is only valid while that storage is.
#pragma once

#include "tables/code_table_file.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tovi {

// Where one entry's strings lie: offsets in UTF-16 units into the view's code and text storage.
// Twelve bytes an entry keep a process's private index small: it is built in every process that
// types, and a large table has some 140,000 entries.
struct IndexEntry {
    std::uint32_t code;
    std::uint32_t text;
    std::uint8_t codeUnits;
    std::uint8_t textUnits;
};

struct CodeTableView {
    CodeTableLayout layout = CodeTableLayout::Digits;
    // bucketCount(layout) + 1 starts, or none when no table is loaded.
    std::span<const std::int32_t> starts;
    // The strings the entries point into (the same storage for a CodeTableData, the two shared
    // pools for the module).
    const char16_t* codeUnits = nullptr;
    const char16_t* textUnits = nullptr;
    std::span<const IndexEntry> entries;
    // Entry indices with each bucket sorted by code (see code_order.h); empty when there is no
    // such order, and the searches then scan the buckets.
    std::span<const std::uint32_t> byCode;

    std::size_t size() const { return entries.size(); }
    std::u16string_view code(std::size_t i) const {
        return {codeUnits + entries[i].code, entries[i].codeUnits};
    }
    std::u16string_view text(std::size_t i) const {
        return {textUnits + entries[i].text, entries[i].textUnits};
    }

    // Index range [first, second) of the entries of the bucket of a code beginning with `key`.
    // Empty when `key` is not a key of the layout or no table is loaded. The range is clamped to
    // the entries present, so starts that disagree with them (they may come from memory that
    // other processes write) never index outside the arrays.
    std::pair<std::size_t, std::size_t> bucket(char16_t key) const;
};

// A view together with a share in the storage it reads, so that a candidate list built from it
// stays valid when its table loads again or is edited. An empty owner shares nothing: the
// storage must then outlive the list.
struct HeldView {
    CodeTableView view;
    std::shared_ptr<const void> owner;
    // False once the strings may have been rewritten (another process refilled the shared
    // pools); a list then makes no more strings from the view. Empty: never rewritten.
    std::function<bool()> unchanged;
};

// An index that owns its entries, over the strings of a CodeTableData.
class CodeTableIndex {
public:
    // No table: every search on it yields nothing.
    CodeTableIndex() = default;
    // `data` must outlive the index and stay where it is (its strings are viewed in place).
    explicit CodeTableIndex(const CodeTableData& data);

    CodeTableView view() const;

private:
    CodeTableLayout layout_ = CodeTableLayout::Digits;
    std::vector<std::int32_t> starts_;
    const char16_t* units_ = nullptr;
    std::vector<IndexEntry> entries_;
    std::vector<std::uint32_t> byCode_;
};

// Same characters as `typed` at positions 1 .. typed.size() - 1; position 0 is the bucket's key.
// An entry code shorter than the typed code fails. Written out rather than with substr and
// compare: it runs on every entry of a bucket.
inline bool isPrefixMatch(std::u16string_view entry, std::u16string_view typed) {
    if (entry.size() < typed.size())
        return false;
    for (std::size_t p = 1; p < typed.size(); ++p) {
        if (entry[p] != typed[p])
            return false;
    }
    return true;
}

// Engine state the searches read.
struct SearchOptions {
    bool traditionalOutput = false; // candidates are converted to traditional characters
    bool selectionPending = false;  // findByCode stops at the first longer matching code
};

// What findByCode reports about entries whose code equals the typed code.
struct ExactMatch {
    std::uint32_t count = 0;
    bool single = false; // exactly one such entry
};

// A candidate as the engine lists it: an entry's text followed by `rest` (the keys of its code
// beyond those typed), in traditional characters when the options ask for them.
std::u16string candidateText(std::u16string_view text, std::u16string_view rest,
                             const SearchOptions& options);

// The keypad search lists at most this many entries.
inline constexpr std::size_t kMaxCodeCandidates = 150;

// The symbols listed after the entries when a keypad code begins with "/".
std::span<const std::u16string_view> codeSymbols();

// Keypad scheme, code with a "z" at position 1 or later. Every entry of the bucket whose code has
// the typed code's length and agrees with it before the first "z"; the text is followed by what
// stands in the entry's code from the "z" on. Codes under 2 characters give nothing.
std::vector<std::u16string> findByWildcard(const CodeTableView& table, std::u16string_view code,
                                           const SearchOptions& options);

// Association. The texts of the bucket's entries whose codes agree with `code` at positions 1 to
// length - 2 and that extend `text` (begin with it and are longer).
std::vector<std::u16string> findContinuations(const CodeTableView& table, std::u16string_view code,
                                              std::u16string_view text,
                                              const SearchOptions& options);

// Engine state that textToCommit reads.
struct CommitContext {
    std::u16string_view engineCode;    // the code being typed
    bool ctrlSelect = false;           // the candidate was chosen with Ctrl
    bool wordAssociation = false;      // the WordAssociation setting
    std::u16string_view lastCommitted; // the text committed before
};

// The part of a candidate that is committed: the code keys the searches appended are dropped,
// and an association candidate (engine code beginning with a space) loses the text already
// committed.
std::u16string textToCommit(std::u16string_view candidate, const CommitContext& context);

} // namespace tovi
