#include "code_table_file.h"

#include "platform/code_page.h"

#include <algorithm>
#include <array>
#include <limits>

namespace tovi {
namespace {

constexpr std::size_t kMaxBuckets = 26;

// Sequential little-endian reads that fail instead of passing the end of the buffer.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::byte> bytes) : bytes_(bytes) {}

    std::size_t remaining() const { return bytes_.size() - pos_; }

    std::optional<std::int32_t> int32() {
        if (remaining() < 4)
            return std::nullopt;
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < 4; ++i)
            value |= std::to_integer<std::uint32_t>(bytes_[pos_ + i]) << (8 * i);
        pos_ += 4;
        return static_cast<std::int32_t>(value);
    }

private:
    std::span<const std::byte> bytes_;
    std::size_t pos_ = 0;
};

void putInt32(std::string& out, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

// Decodes one field into `out`; a GBK string never needs more units than it has bytes.
std::optional<std::size_t> decodeField(std::string_view gbk, std::span<char16_t> out) {
    if (gbk.find('\0') != std::string_view::npos)
        return std::nullopt;
    // Codes are ASCII, which code page 936 keeps as it is; only other bytes need the converter.
    if (std::all_of(gbk.begin(), gbk.end(), [](char c) { return (c & 0x80) == 0; })) {
        std::copy(gbk.begin(), gbk.end(), out.begin());
        return gbk.size();
    }
    return platform::gbkToUtf16(gbk, out.first(gbk.size()));
}

} // namespace

std::optional<CodeTableLayout> layoutOfScheme(Scheme scheme) {
    switch (scheme) {
    case Scheme::Keypad:
        return CodeTableLayout::Digits;
    case Scheme::Pinyin:
        return CodeTableLayout::Letters;
    default:
        return std::nullopt;
    }
}

CodeTableData::CodeTableData(CodeTableLayout layout)
    : layout_(layout), starts_(bucketCount(layout) + 1, 0) {}

std::string_view CodeTableData::codeBytes(std::size_t i) const {
    const Entry& e = entries_.at(i);
    return std::string_view(bytes_).substr(e.bytes, e.codeBytes);
}

std::string_view CodeTableData::textBytes(std::size_t i) const {
    const Entry& e = entries_.at(i);
    return std::string_view(bytes_).substr(e.bytes + e.codeBytes, e.textBytes);
}

std::u16string_view CodeTableData::code(std::size_t i) const {
    const Entry& e = entries_.at(i);
    return std::u16string_view(units_).substr(e.units, e.codeUnits);
}

std::u16string_view CodeTableData::text(std::size_t i) const {
    const Entry& e = entries_.at(i);
    return std::u16string_view(units_).substr(e.units + e.codeUnits, e.textUnits);
}

void CodeTableData::reserve(std::size_t entries, std::size_t stringBytes) {
    entries_.reserve(entries);
    bytes_.reserve(stringBytes);
    units_.reserve(stringBytes);
}

EntryFault CodeTableData::appendGbk(std::string_view code, std::string_view text) {
    if (code.empty() || code.size() > kMaxFieldBytes || text.empty() ||
        text.size() > kMaxFieldBytes)
        return EntryFault::BadLength;

    const auto bucket = bucketOf(layout_, static_cast<unsigned char>(code.front()));
    if (!bucket)
        return EntryFault::WrongBucket;
    if (!entries_.empty()) {
        const auto last = bucketOf(layout_, static_cast<unsigned char>(codeBytes(size() - 1)[0]));
        if (*bucket < *last)
            return EntryFault::WrongBucket;
    }

    // Offsets are 32-bit and the starts are signed 32-bit in the file.
    constexpr std::size_t kMaxOffset = std::numeric_limits<std::uint32_t>::max();
    const std::size_t fieldBytes = code.size() + text.size();
    if (entries_.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) ||
        bytes_.size() > kMaxOffset - fieldBytes || units_.size() > kMaxOffset - fieldBytes)
        return EntryFault::TableFull;

    std::array<char16_t, kMaxFieldBytes> codeUnits{};
    std::array<char16_t, kMaxFieldBytes> textUnits{};
    const auto codeLength = decodeField(code, codeUnits);
    const auto textLength = decodeField(text, textUnits);
    if (!codeLength || !textLength || *codeLength == 0 || *textLength == 0)
        return EntryFault::NotGbk;

    entries_.push_back(
        Entry{static_cast<std::uint32_t>(bytes_.size()), static_cast<std::uint32_t>(units_.size()),
              static_cast<std::uint8_t>(code.size()), static_cast<std::uint8_t>(text.size()),
              static_cast<std::uint8_t>(*codeLength), static_cast<std::uint8_t>(*textLength)});
    bytes_.append(code);
    bytes_.append(text);
    units_.append(codeUnits.data(), *codeLength);
    units_.append(textUnits.data(), *textLength);
    for (std::size_t k = *bucket + 1; k < starts_.size(); ++k)
        ++starts_[k];
    return EntryFault::None;
}

EntryFault CodeTableData::append(std::u16string_view code, std::u16string_view text) {
    // Longer strings cannot fit a field whatever their encoding; this also bounds the buffers.
    if (code.size() > kMaxFieldBytes || text.size() > kMaxFieldBytes)
        return EntryFault::BadLength;
    std::array<char, 2 * kMaxFieldBytes> codeBytes{};
    std::array<char, 2 * kMaxFieldBytes> textBytes{};
    const auto codeLength = platform::utf16ToGbk(code, codeBytes);
    const auto textLength = platform::utf16ToGbk(text, textBytes);
    if (!codeLength || !textLength)
        return EntryFault::NotGbk;
    return appendGbk(std::string_view(codeBytes.data(), *codeLength),
                     std::string_view(textBytes.data(), *textLength));
}

std::string_view describe(CodeTableFault fault) {
    switch (fault) {
    case CodeTableFault::None:
        return "no fault";
    case CodeTableFault::TooLarge:
        return "file too large";
    case CodeTableFault::ShortHeader:
        return "file shorter than its header";
    case CodeTableFault::BadHeader:
        return "bucket counts and starts disagree";
    case CodeTableFault::TooManyEntries:
        return "more entries than the file can hold";
    case CodeTableFault::Truncated:
        return "file ends inside an entry";
    case CodeTableFault::BadLength:
        return "length byte of 0 or above 127";
    }
    return "unknown fault";
}

CodeTableParse::CodeTableParse(CodeTableLayout layout) : table(layout) {}

std::string_view CodeTableFrame::code(std::span<const std::byte> file, const FramedEntry& e) {
    return std::string_view(reinterpret_cast<const char*>(file.data()) + e.offset, e.codeBytes);
}

std::string_view CodeTableFrame::text(std::span<const std::byte> file, const FramedEntry& e) {
    return std::string_view(reinterpret_cast<const char*>(file.data()) + e.textOffset(),
                            e.textBytes);
}

FramedEntryCursor::FramedEntryCursor(std::span<const std::byte> file, std::size_t bodyOffset,
                                     std::span<const std::int32_t> starts)
    : file_(file), offset_(bodyOffset), starts_(starts) {}

std::optional<FramedEntry> FramedEntryCursor::next(CodeTableFault& fault) {
    if (starts_.empty() || index_ >= static_cast<std::size_t>(starts_.back()) ||
        offset_ > file_.size())
        return std::nullopt;
    while (bucket_ + 2 < starts_.size() && index_ >= static_cast<std::size_t>(starts_[bucket_ + 1]))
        ++bucket_;
    // Read byte by byte rather than through ByteReader: this runs for every entry of every load.
    const std::size_t remaining = file_.size() - offset_;
    const auto lengthAt = [this](std::size_t at) {
        return std::to_integer<std::size_t>(file_[offset_ + at]);
    };
    const auto bad = [&fault](CodeTableFault f) -> std::optional<FramedEntry> {
        fault = f;
        return std::nullopt;
    };
    if (remaining < 1)
        return bad(CodeTableFault::Truncated);
    const std::size_t codeBytes = lengthAt(0);
    if (codeBytes == 0 || codeBytes > kMaxFieldBytes)
        return bad(CodeTableFault::BadLength);
    if (remaining < codeBytes + 2)
        return bad(CodeTableFault::Truncated);
    const std::size_t textBytes = lengthAt(codeBytes + 1);
    if (textBytes == 0 || textBytes > kMaxFieldBytes)
        return bad(CodeTableFault::BadLength);
    if (remaining < codeBytes + textBytes + 2)
        return bad(CodeTableFault::Truncated);
    const FramedEntry entry{
        static_cast<std::uint32_t>(offset_ + 1), static_cast<std::uint8_t>(codeBytes),
        static_cast<std::uint8_t>(textBytes), static_cast<std::uint8_t>(bucket_)};
    offset_ += codeBytes + textBytes + 2;
    ++index_;
    return entry;
}

FramedEntryCursor CodeTableFrame::entries() const {
    if (!ok() || buckets == 0)
        return {};
    return FramedEntryCursor(file, bodyOffset, std::span(starts).first(buckets + 1));
}

CodeTableFrame frameCodeTable(std::span<const std::byte> file, CodeTableLayout layout) {
    const auto refuse = [&](CodeTableFault fault) {
        CodeTableFrame refused;
        refused.fault = fault;
        return refused;
    };

    if (file.size() > kMaxCodeTableFileBytes)
        return refuse(CodeTableFault::TooLarge);

    const std::size_t buckets = bucketCount(layout);
    ByteReader reader(file);
    if (reader.remaining() < codeTableHeaderBytes(buckets))
        return refuse(CodeTableFault::ShortHeader);

    CodeTableFrame frame;
    std::array<std::int32_t, kMaxBuckets> counts{};
    for (std::size_t k = 0; k < buckets; ++k)
        counts[k] = *reader.int32();
    for (std::size_t k = 0; k <= buckets; ++k)
        frame.starts[k] = *reader.int32();

    if (frame.starts[0] != 0)
        return refuse(CodeTableFault::BadHeader);
    for (std::size_t k = 0; k < buckets; ++k) {
        if (counts[k] < 0 || static_cast<std::int64_t>(frame.starts[k + 1]) !=
                                 static_cast<std::int64_t>(frame.starts[k]) + counts[k])
            return refuse(CodeTableFault::BadHeader);
    }

    // Every entry takes at least four bytes, which bounds N by what the file really holds.
    const auto entries = static_cast<std::size_t>(frame.starts[buckets]);
    if (entries > reader.remaining() / 4)
        return refuse(CodeTableFault::TooManyEntries);
    frame.file = file;
    frame.bodyOffset = file.size() - reader.remaining();
    frame.buckets = buckets;
    frame.entryCount = entries;

    // Every entry must be framed before any is used.
    FramedEntryCursor cursor = frame.entries();
    for (std::size_t i = 0; i < entries; ++i) {
        CodeTableFault fault = CodeTableFault::None;
        if (!cursor.next(fault))
            return refuse(fault == CodeTableFault::None ? CodeTableFault::Truncated : fault);
    }
    return frame;
}

CodeTableParse parseCodeTable(std::span<const std::byte> file, CodeTableLayout layout) {
    CodeTableParse result(layout);
    const CodeTableFrame frame = frameCodeTable(file, layout);
    if (!frame.ok()) {
        result.fault = frame.fault;
        return result;
    }
    result.table.reserve(frame.entryCount, file.size());

    FramedEntryCursor cursor = frame.entries();
    while (const auto framed = cursor.next()) {
        const FramedEntry& entry = *framed;
        const std::string_view code = CodeTableFrame::code(file, entry);
        const std::string_view text = CodeTableFrame::text(file, entry);
        const char16_t key = static_cast<char16_t>(firstKey(layout) + entry.bucket);
        if (static_cast<unsigned char>(code.front()) != key) {
            ++result.skippedWrongBucket;
            continue;
        }
        switch (result.table.appendGbk(code, text)) {
        case EntryFault::None:
            break;
        case EntryFault::NotGbk:
            ++result.skippedNotGbk;
            break;
        case EntryFault::WrongBucket: // the key check above and the header's order rule it out
            ++result.skippedWrongBucket;
            break;
        case EntryFault::BadLength: // checked by the framing
        case EntryFault::TableFull: // unreachable under kMaxCodeTableFileBytes
        {
            CodeTableParse refused(layout);
            refused.fault = CodeTableFault::TooLarge;
            return refused;
        }
        }
    }
    return result;
}

CodeTableParse parseCodeTable(std::string_view file, CodeTableLayout layout) {
    return parseCodeTable(std::as_bytes(std::span(file.data(), file.size())), layout);
}

void appendCodeTableHeader(std::string& out, std::span<const std::int32_t> counts) {
    for (const std::int32_t count : counts)
        putInt32(out, count);
    std::int32_t start = 0;
    putInt32(out, start);
    for (const std::int32_t count : counts)
        putInt32(out, start += count);
}

std::string writeCodeTable(const CodeTableData& table) {
    const std::size_t buckets = bucketCount(table.layout());
    // The table's starts begin at 0 and add up its counts, so they are written back unchanged.
    std::array<std::int32_t, kMaxBuckets> counts{};
    for (std::size_t k = 0; k < buckets; ++k)
        counts[k] = table.count(k);
    std::string out;
    out.reserve(codeTableHeaderBytes(buckets) + table.size() * 2);
    appendCodeTableHeader(out, std::span(counts).first(buckets));
    for (std::size_t i = 0; i < table.size(); ++i) {
        for (const std::string_view field : {table.codeBytes(i), table.textBytes(i)}) {
            out.push_back(static_cast<char>(field.size()));
            out.append(field);
        }
    }
    return out;
}

} // namespace tovi
