#include "table_check.h"

#include "dict_source.h"
#include "platform/code_page.h"

#include <cstdint>
#include <numeric>
#include <unordered_map>
#include <unordered_set>

namespace tovi::tools {
namespace {

constexpr std::size_t kMaxDetails = 20;

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return bytes_.size() - pos_; }

    std::optional<std::int32_t> int32() {
        if (remaining() < 4)
            return std::nullopt;
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < 4; ++i)
            v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[pos_ + i]))
                 << (8 * i);
        pos_ += 4;
        return static_cast<std::int32_t>(v);
    }

    std::optional<unsigned> byte() {
        if (remaining() < 1)
            return std::nullopt;
        return static_cast<unsigned char>(bytes_[pos_++]);
    }

    std::optional<std::string_view> take(std::size_t n) {
        if (remaining() < n)
            return std::nullopt;
        const std::string_view s = bytes_.substr(pos_, n);
        pos_ += n;
        return s;
    }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

bool isKey(CodeTableLayout layout, char c) {
    return layout == CodeTableLayout::Digits ? c >= '1' && c <= '9' : c >= 'a' && c <= 'z';
}

// The bytes of a field in a form fit for a message: ASCII as is, anything else as hex.
std::string printable(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F) {
            out.push_back(c);
        } else {
            out += "\\x";
            out.push_back(kHex[u >> 4]);
            out.push_back(kHex[u & 0xF]);
        }
    }
    return out;
}

// Whether bytes are text in code page 936. The characters are checked one by one through the
// converter, remembering the answers: a table holds a few hundred thousand texts.
class GbkChecker {
public:
    bool valid(std::string_view bytes) {
        std::size_t i = 0;
        while (i < bytes.size()) {
            const auto lead = static_cast<unsigned char>(bytes[i]);
            if (lead == 0)
                return false;
            if (lead < 0x80) {
                ++i;
                continue;
            }
            // Lead bytes 0x81 to 0xFE take a trail byte; 0x80 and 0xFF stand alone.
            const std::size_t n = (lead >= 0x81 && lead <= 0xFE) ? 2 : 1;
            if (bytes.size() - i < n)
                return false;
            const std::string_view character = bytes.substr(i, n);
            const unsigned key =
                n == 2 ? (lead << 8) | static_cast<unsigned char>(bytes[i + 1]) : lead;
            auto it = known_.find(key);
            if (it == known_.end())
                it = known_.emplace(key, platform::gbkToUtf16(character).has_value()).first;
            if (!it->second)
                return false;
            i += n;
        }
        return true;
    }

private:
    std::unordered_map<unsigned, bool> known_;
};

class Recorder {
public:
    explicit Recorder(TableReport& report) : report_(report) {}

    void add(TableProblem p, std::string detail) {
        ++report_.counts[static_cast<std::size_t>(p)];
        if (report_.details.size() < kMaxDetails)
            report_.details.push_back(std::move(detail));
    }

    void entry(TableProblem p, std::size_t index, std::string_view code, std::string_view what) {
        add(p, "entry " + std::to_string(index) + " (code " + printable(code) +
                   "): " + std::string(what));
    }

private:
    TableReport& report_;
};

} // namespace

std::string_view describe(TableProblem problem) {
    switch (problem) {
    case TableProblem::Header:
        return "bad header";
    case TableProblem::Framing:
        return "bad entry framing";
    case TableProblem::TrailingBytes:
        return "bytes after the last entry";
    case TableProblem::NotGbk:
        return "not GBK";
    case TableProblem::BadKey:
        return "code character outside the layout";
    case TableProblem::WrongBucket:
        return "entry in the wrong bucket";
    case TableProblem::SplitCode:
        return "entries of one code apart";
    case TableProblem::ExactAfterLonger:
        return "code after a longer code it begins";
    case TableProblem::Duplicate:
        return "duplicate entry";
    }
    return "unknown";
}

std::size_t TableReport::total() const {
    return std::accumulate(counts.begin(), counts.end(), std::size_t{0});
}

TableReport verifyCodeTable(std::string_view file, CodeTableLayout layout) {
    TableReport report;
    Recorder problems(report);
    const std::size_t buckets = bucketCount(layout);
    Reader in(file);

    if (file.size() > kMaxCodeTableFileBytes) {
        problems.add(TableProblem::Header, "the file is larger than " +
                                               std::to_string(kMaxCodeTableFileBytes >> 20) +
                                               " MiB, which no table can be");
        return report;
    }
    std::vector<std::int32_t> counts(buckets), starts(buckets + 1);
    for (auto& c : counts) {
        const auto v = in.int32();
        if (!v) {
            problems.add(TableProblem::Header, "the file is shorter than its header (" +
                                                   std::to_string(file.size()) + " bytes)");
            return report;
        }
        c = *v;
    }
    for (auto& s : starts) {
        const auto v = in.int32();
        if (!v) {
            problems.add(TableProblem::Header, "the file is shorter than its header (" +
                                                   std::to_string(file.size()) + " bytes)");
            return report;
        }
        s = *v;
    }
    if (starts[0] != 0)
        problems.add(TableProblem::Header, "start[0] is " + std::to_string(starts[0]) + ", not 0");
    for (std::size_t k = 0; k < buckets; ++k) {
        if (counts[k] < 0)
            problems.add(TableProblem::Header, "count[" + std::to_string(k) + "] is negative");
        else if (static_cast<std::int64_t>(starts[k]) + counts[k] != starts[k + 1])
            problems.add(TableProblem::Header, "start[" + std::to_string(k + 1) +
                                                   "] = " + std::to_string(starts[k + 1]) +
                                                   " is not start[" + std::to_string(k) +
                                                   "] + count[" + std::to_string(k) + "]");
    }
    if (!report.ok())
        return report;
    const auto total = static_cast<std::size_t>(starts[buckets]);
    report.entries = total;
    if (total > in.remaining() / 4) {
        problems.add(TableProblem::Header, "the header announces " + std::to_string(total) +
                                               " entries, more than the file could hold");
        return report;
    }

    std::unordered_set<std::string> longerSeen;  // proper prefixes of the codes seen so far
    std::unordered_set<std::string> closedCodes; // codes whose run of entries has ended
    std::unordered_set<std::string> pairs;       // code, NUL, text
    GbkChecker gbk;
    std::string previousCode;
    std::size_t bucket = 0;
    for (std::size_t i = 0; i < total; ++i) {
        while (bucket + 1 < buckets && i >= static_cast<std::size_t>(starts[bucket + 1]))
            ++bucket;
        std::optional<std::string_view> fields[2];
        for (auto& field : fields) {
            const std::size_t at = in.position();
            const auto length = in.byte();
            if (!length || *length == 0 || *length > kMaxFieldBytes) {
                problems.add(TableProblem::Framing,
                             "entry " + std::to_string(i) + ": " +
                                 (length ? "length byte " + std::to_string(*length) +
                                               " at offset " + std::to_string(at)
                                         : std::string("the file ends before it")));
                return report;
            }
            field = in.take(*length);
            if (!field) {
                problems.add(TableProblem::Framing,
                             "entry " + std::to_string(i) + ": the file ends inside it");
                return report;
            }
        }
        const std::string_view code = *fields[0];
        const std::string_view text = *fields[1];

        if (!gbk.valid(code) || !gbk.valid(text))
            problems.entry(TableProblem::NotGbk, i, code, "not valid GBK text");
        bool keys = true;
        for (const char c : code)
            keys = keys && isKey(layout, c);
        if (!keys)
            problems.entry(TableProblem::BadKey, i, code, "a character that is not a key");
        const char bucketKey = static_cast<char>(firstKey(layout) + bucket);
        if (code.front() != bucketKey)
            problems.entry(TableProblem::WrongBucket, i, code,
                           std::string("stands in bucket ") + bucketKey);

        const std::string codeText(code);
        if (longerSeen.contains(codeText))
            problems.entry(TableProblem::ExactAfterLonger, i, code,
                           "comes after a longer code that begins with it");
        if (codeText != previousCode) {
            if (closedCodes.contains(codeText))
                problems.entry(TableProblem::SplitCode, i, code,
                               "entries of this code stand apart");
            if (!previousCode.empty())
                closedCodes.insert(previousCode);
            previousCode = codeText;
        }
        for (std::size_t len = 1; len < code.size(); ++len)
            longerSeen.emplace(code.substr(0, len));
        std::string pair = codeText;
        pair.push_back('\0');
        pair += text;
        if (!pairs.insert(std::move(pair)).second)
            problems.entry(TableProblem::Duplicate, i, code, "the same code and text again");
    }
    if (in.remaining() > 0)
        problems.add(TableProblem::TrailingBytes,
                     std::to_string(in.remaining()) + " bytes after the last entry");
    return report;
}

std::string dumpCodeTable(std::string_view file, CodeTableLayout layout, std::string& error) {
    const CodeTableParse parse = parseCodeTable(file, layout);
    if (!parse.ok()) {
        error = std::string(describe(parse.fault));
        return {};
    }
    const CodeTableData& table = parse.table;
    std::string out = "# ";
    out += layout == CodeTableLayout::Digits ? "keypad" : "pinyin";
    out += " table, " + std::to_string(bucketCount(layout)) + " buckets, " +
           std::to_string(table.size()) + " entries";
    if (parse.skipped() > 0)
        out += " (" + std::to_string(parse.skipped()) + " unreadable entries left out)";
    out += '\n';
    for (std::size_t k = 0; k < bucketCount(layout); ++k) {
        out += "# bucket ";
        out.push_back(static_cast<char>(firstKey(layout) + k));
        out += ": " + std::to_string(table.count(k)) + " entries\n";
        for (auto i = static_cast<std::size_t>(table.starts()[k]);
             i < static_cast<std::size_t>(table.starts()[k + 1]); ++i) {
            out += utf16ToUtf8(table.code(i));
            out += '\t';
            out += utf16ToUtf8(table.text(i));
            out += '\n';
        }
    }
    return out;
}

std::optional<CodeTableLayout> layoutFromFileName(std::string_view name) {
    const std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string_view::npos)
        name.remove_prefix(slash + 1);
    if (name == "toviwb.mb")
        return CodeTableLayout::Digits;
    if (name == "tovipy.mb")
        return CodeTableLayout::Letters;
    return std::nullopt;
}

} // namespace tovi::tools
