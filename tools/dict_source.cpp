#include "dict_source.h"

#include <charconv>
#include <cstdint>
#include <optional>

namespace tovi::tools {
namespace {

constexpr std::size_t kMaxNotes = 10;

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::string_view trim(std::string_view s) {
    s = trimRight(s);
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    return s;
}

std::vector<std::string_view> splitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

// A weight as Rime writes it: a decimal number, maybe with a fraction or a trailing "%".
std::optional<double> parseWeight(std::string_view s) {
    s = trim(s);
    if (!s.empty() && s.back() == '%')
        s.remove_suffix(1);
    if (s.empty())
        return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || !(value >= 0) || value > 1e300)
        return std::nullopt;
    return value;
}

struct Columns {
    std::size_t text = 0;
    std::size_t code = 1;
    std::optional<std::size_t> weight = 2;
};

// The "columns:" list of the header, if it has one.
std::optional<std::string> readColumns(const std::vector<std::string_view>& header,
                                       Columns& columns) {
    std::vector<std::string_view> names;
    bool inList = false;
    bool found = false;
    for (const std::string_view raw : header) {
        const std::string_view line = trimRight(raw);
        if (inList) {
            const std::string_view item = trim(line);
            if (!line.empty() && (line.front() == ' ' || line.front() == '\t') &&
                item.starts_with('-')) {
                names.push_back(trim(item.substr(1)));
                continue;
            }
            inList = false;
        }
        if (line.starts_with("columns:")) {
            found = true;
            inList = true;
        }
    }
    if (!found)
        return std::nullopt;
    std::optional<std::size_t> text, code, weight;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == "text")
            text = i;
        else if (names[i] == "code")
            code = i;
        else if (names[i] == "weight")
            weight = i;
    }
    if (!text || !code)
        return std::string("the header's \"columns:\" list names no text or no code column");
    columns = Columns{*text, *code, weight};
    return std::nullopt;
}

void note(DictSource& source, std::size_t line, std::string_view reason) {
    if (source.notes.size() < kMaxNotes)
        source.notes.push_back("line " + std::to_string(line) + ": " + std::string(reason));
}

} // namespace

bool utf8ToUtf16(std::string_view in, std::u16string& out) {
    out.clear();
    out.reserve(in.size());
    std::size_t i = 0;
    while (i < in.size()) {
        const auto b0 = static_cast<unsigned char>(in[i]);
        std::uint32_t cp = 0;
        std::size_t extra = 0;
        if (b0 < 0x80) {
            cp = b0;
        } else if (b0 >= 0xC2 && b0 <= 0xDF) {
            cp = b0 & 0x1F;
            extra = 1;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            cp = b0 & 0x0F;
            extra = 2;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            cp = b0 & 0x07;
            extra = 3;
        } else {
            return false;
        }
        if (in.size() - i <= extra)
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto b = static_cast<unsigned char>(in[i + k]);
            if ((b & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (b & 0x3F);
        }
        const bool overlong = (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
        if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += extra + 1;
    }
    return true;
}

std::string utf16ToUtf8(std::u16string_view in) {
    std::string out;
    out.reserve(in.size() * 3);
    for (std::size_t i = 0; i < in.size(); ++i) {
        std::uint32_t cp = in[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 &&
            in[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (in[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

DictSource readRimeDict(std::string_view bytes) {
    DictSource source;
    if (bytes.size() > kMaxDictBytes) {
        source.error = "the file is larger than " + std::to_string(kMaxDictBytes >> 20) + " MiB";
        return source;
    }
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);

    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t nl = bytes.find('\n', start);
        const std::size_t end = nl == std::string_view::npos ? bytes.size() : nl;
        std::string_view line = bytes.substr(start, end - start);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }

    std::size_t bodyStart = 0;
    bool headerEnds = false;
    for (std::size_t i = 0; i < lines.size() && !headerEnds; ++i) {
        headerEnds = trimRight(lines[i]) == "...";
        bodyStart = i + 1;
    }
    if (!headerEnds) {
        source.error = "no line \"...\" ends the YAML header; is this a Rime .dict.yaml file?";
        return source;
    }

    Columns columns;
    const std::vector<std::string_view> header(lines.begin(),
                                               lines.begin() + static_cast<long>(bodyStart));
    if (auto error = readColumns(header, columns)) {
        source.error = *error;
        return source;
    }

    for (std::size_t i = bodyStart; i < lines.size(); ++i) {
        const std::size_t lineNo = i + 1;
        const std::string_view line = lines[i];
        if (trim(line).empty()) {
            ++source.counts.blank;
            continue;
        }
        if (line.starts_with('#')) {
            ++source.counts.comments;
            continue;
        }
        const auto fields = splitTabs(line);
        const auto field = [&](std::size_t k) {
            return k < fields.size() ? fields[k] : std::string_view();
        };
        DictEntry entry;
        entry.line = lineNo;
        const std::string_view text = field(columns.text);
        if (text.empty() || !utf8ToUtf16(text, entry.text)) {
            ++source.counts.badText;
            note(source, lineNo, text.empty() ? "no text" : "text is not UTF-8");
            continue;
        }
        const std::string_view code = trim(field(columns.code));
        if (code.empty()) {
            ++source.counts.noCode;
            continue;
        }
        entry.code = code;
        if (columns.weight && !trim(field(*columns.weight)).empty()) {
            const auto weight = parseWeight(field(*columns.weight));
            if (!weight) {
                ++source.counts.badWeight;
                note(source, lineNo, "weight is not a number");
                continue;
            }
            entry.weight = *weight;
        }
        source.entries.push_back(std::move(entry));
    }
    source.counts.entries = source.entries.size();
    return source;
}

} // namespace tovi::tools
