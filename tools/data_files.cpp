#include "data_files.h"

#include "table_builder.h"

#include <algorithm>
#include <map>
#include <set>

namespace tovi::tools {
namespace {

constexpr std::size_t kMaxHintLineUnits = 998;
constexpr std::size_t kMaxPromptLineUnits = 254;
constexpr std::size_t kMaxPromptFields = 100;

std::u16string ascii(std::string_view s) {
    return {s.begin(), s.end()};
}

bool isSeparator(char16_t c) {
    return c == u'\t' || c == u' ';
}

std::vector<std::string_view> words(std::string_view line, std::size_t max) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (out.size() + 1 < max) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i == line.size())
            return out;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        out.push_back(line.substr(start, i - start));
    }
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    std::string_view rest = line.substr(i);
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t' || rest.back() == '\r'))
        rest.remove_suffix(1);
    if (!rest.empty())
        out.push_back(rest);
    return out;
}

// The parts of a mnemonic, split at its commas.
std::vector<std::u16string> mnemonicParts(std::u16string_view mnemonic) {
    std::vector<std::u16string> parts;
    std::u16string part;
    for (const char16_t c : mnemonic) {
        if (c == u'，' || c == u',' || isSeparator(c)) {
            if (!part.empty())
                parts.push_back(std::move(part));
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    if (!part.empty())
        parts.push_back(std::move(part));
    return parts;
}

std::u16string label(const KeypadKey& key) {
    return ascii(key.digits) + static_cast<char16_t>(key.letter - 'a' + 'A');
}

// Finals in the order the grid shows them; "v" is how ü is typed.
constexpr std::array<std::string_view, 35> kFinals = {
    "a",   "o",  "e",   "i",   "u",    "v",    "ai", "ei", "ui",  "ao",  "ou",  "iu",
    "ie",  "ve", "ue",  "er",  "an",   "en",   "in", "un", "vn",  "ang", "eng", "ing",
    "ong", "ia", "iao", "ian", "iang", "iong", "ua", "uo", "uai", "uan", "uang"};

constexpr std::array<std::string_view, 23> kInitials = {"b",  "p", "m", "f", "d", "t", "n",  "l",
                                                        "g",  "k", "h", "j", "q", "x", "zh", "ch",
                                                        "sh", "r", "z", "c", "s", "y", "w"};

} // namespace

std::string utf16File(const std::vector<std::u16string>& lines) {
    std::string out = "\xFF\xFE";
    const auto put = [&out](char16_t c) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    };
    for (const std::u16string& line : lines) {
        for (const char16_t c : line)
            put(c);
        put(u'\r');
        put(u'\n');
    }
    return out;
}

KeypadKeys readKeypadKeys(std::string_view utf8) {
    KeypadKeys result;
    std::map<std::string, KeypadKey> keys;
    std::size_t lineNo = 0;
    const auto fail = [&](const std::string& what) {
        result.error = "line " + std::to_string(lineNo) + ": " + what;
        return result;
    };
    for (std::size_t start = 0; start < utf8.size();) {
        const std::size_t nl = utf8.find('\n', start);
        const std::size_t end = nl == std::string_view::npos ? utf8.size() : nl;
        const std::string_view line = utf8.substr(start, end - start);
        start = end + 1;
        ++lineNo;
        const auto w = words(line, 3);
        if (w.empty() || w[0].starts_with('#'))
            continue;
        if (w.size() < 3)
            return fail("expected \"zone <digit> <name>\" or \"<code> <letter> <mnemonic>\"");
        std::u16string text;
        if (!utf8ToUtf16(w[2], text))
            return fail("not UTF-8");
        if (w[0] == "zone") {
            if (w[1].size() != 1 || w[1][0] < '1' || w[1][0] > '5')
                return fail("zones are 1 to 5");
            result.zoneNames[static_cast<std::size_t>(w[1][0] - '1')] = text;
            continue;
        }
        if (w[1].size() != 1)
            return fail("the letter is one character");
        const auto digits = keypadDigits(w[1][0]);
        if (!digits)
            return fail(std::string(w[1]) + " is not one of the 25 five-stroke letters");
        if (*digits != w[0])
            return fail(std::string(w[1]) + " is the key " + std::string(*digits) + ", not " +
                        std::string(w[0]));
        if (!keys.emplace(*digits, KeypadKey{std::string(*digits), w[1][0], text}).second)
            return fail("the key " + std::string(w[0]) + " again");
    }
    lineNo = 0;
    for (std::size_t z = 0; z < 5; ++z)
        if (result.zoneNames[z].empty())
            return fail("no name for zone " + std::to_string(z + 1));
    if (keys.size() != 25)
        return fail("found " + std::to_string(keys.size()) + " keys, not 25");
    for (auto& [digits, key] : keys)
        result.keys.push_back(std::move(key));
    return result;
}

std::vector<std::u16string> codeHintLines(const KeypadKeys& keys) {
    std::vector<std::u16string> lines;
    for (char zone = '1'; zone <= '9'; ++zone) {
        const std::u16string z(1, static_cast<char16_t>(zone));
        if (zone > '5') {
            lines.push_back(z + u"\t区号只有1到5");
            for (char pos = '1'; pos <= '9'; ++pos)
                lines.push_back(z + static_cast<char16_t>(pos) + u"\t区号只有1到5");
            continue;
        }
        std::u16string zoneHint = keys.zoneNames[static_cast<std::size_t>(zone - '1')];
        for (const KeypadKey& key : keys.keys)
            if (key.digits[0] == zone)
                zoneHint += u" " + label(key);
        lines.push_back(z + u"\t" + zoneHint);
        for (char pos = '1'; pos <= '9'; ++pos) {
            const std::u16string code = z + static_cast<char16_t>(pos);
            if (pos > '5') {
                lines.push_back(code + u"\t位号只有1到5");
                continue;
            }
            for (const KeypadKey& key : keys.keys)
                if (key.digits[0] == zone && key.digits[1] == pos)
                    lines.push_back(code + u"\t" + static_cast<char16_t>(key.letter - 'a' + 'A') +
                                    u" " + key.mnemonic);
        }
    }
    return lines;
}

std::vector<std::u16string> keypadPromptLines(const KeypadKeys& keys) {
    std::vector<std::u16string> lines;
    std::u16string all = u"0";
    for (const KeypadKey& key : keys.keys)
        all += u"\t" + label(key);
    lines.push_back(all);
    for (std::size_t z = 0; z < 5; ++z) {
        std::u16string row = ascii(std::to_string(z + 1)) + u"\t" + keys.zoneNames[z];
        for (const KeypadKey& key : keys.keys)
            if (static_cast<std::size_t>(key.digits[0] - '1') == z)
                row += u"\t" + label(key);
        lines.push_back(row);
    }
    for (const KeypadKey& key : keys.keys) {
        std::u16string row = ascii(key.digits) + u"\t" + label(key);
        for (const std::u16string& part : mnemonicParts(key.mnemonic))
            row += u"\t" + part;
        lines.push_back(row);
    }
    return lines;
}

std::vector<std::u16string> pinyinPromptLines() {
    // Seven cells a row, five rows: the 23 initials, then the 24 basic finals.
    static constexpr std::array<std::u16string_view, 35> kGrid = {
        u"声母",     u"b",     u"p",  u"m",     u"f",        u"d",       u"t",
        u"n",        u"l",     u"g",  u"k",     u"h",        u"j",       u"q",
        u"x",        u"zh",    u"ch", u"sh",    u"r",        u"z",       u"c",
        u"s",        u"y",     u"w",  u"韵母",  u"a/o/e",    u"i/u/ü",   u"ai/ei/ui",
        u"ao/ou/iu", u"ie/üe", u"er", u"an/en", u"in/un/ün", u"ang/eng", u"ing/ong"};
    std::u16string row = u"0";
    for (const std::u16string_view cell : kGrid)
        row += u"\t" + std::u16string(cell);
    return {row};
}

std::vector<std::u16string> pinyinKeyLines(const std::vector<DictEntry>& pinyin,
                                           std::size_t& dropped) {
    std::set<std::string> syllables;
    for (const DictEntry& entry : pinyin) {
        std::size_t start = 0;
        const std::string& code = entry.code;
        while (start < code.size()) {
            std::size_t end = code.find(' ', start);
            if (end == std::string::npos)
                end = code.size();
            if (end > start)
                syllables.insert(code.substr(start, end - start));
            start = end + 1;
        }
    }
    // Initial -> indexes into kFinals.
    std::map<std::string, std::set<std::size_t>> finalsOf;
    dropped = 0;
    for (const std::string& syllable : syllables) {
        std::string initial = "0";
        for (const std::string_view i : kInitials) {
            if (syllable.starts_with(i) && (initial == "0" || i.size() > initial.size()))
                initial = i;
        }
        const std::string_view rest =
            std::string_view(syllable).substr(initial == "0" ? 0 : initial.size());
        const auto f = std::find(kFinals.begin(), kFinals.end(), rest);
        if (f == kFinals.end()) {
            ++dropped;
            continue;
        }
        finalsOf[initial].insert(static_cast<std::size_t>(f - kFinals.begin()));
    }
    std::vector<std::u16string> lines;
    const auto add = [&](const std::string& initial) {
        const auto it = finalsOf.find(initial);
        if (it == finalsOf.end())
            return;
        std::u16string line = ascii(initial) + u"\t";
        bool first = true;
        for (const std::size_t f : it->second) {
            if (!first)
                line += u" ";
            line += ascii(kFinals[f]);
            first = false;
        }
        lines.push_back(line);
    };
    for (const std::string_view initial : kInitials)
        add(std::string(initial));
    add("0");
    return lines;
}

std::string checkHintLines(const std::vector<std::u16string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::u16string& line = lines[i];
        if (line.size() > kMaxHintLineUnits)
            return "line " + std::to_string(i + 1) + " is longer than " +
                   std::to_string(kMaxHintLineUnits) + " units";
        if (std::none_of(line.begin(), line.end(), isSeparator))
            return "line " + std::to_string(i + 1) + " has no separator after its key";
        if (line.find(u'\r') != std::u16string::npos || line.find(u'\n') != std::u16string::npos)
            return "line " + std::to_string(i + 1) + " holds a line break";
    }
    return {};
}

std::string checkPromptLines(const std::vector<std::u16string>& lines) {
    if (auto error = checkHintLines(lines); !error.empty())
        return error;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::u16string& line = lines[i];
        if (line.size() > kMaxPromptLineUnits)
            return "line " + std::to_string(i + 1) + " is longer than " +
                   std::to_string(kMaxPromptLineUnits) + " units";
        std::size_t fields = 0;
        const std::size_t key = std::find_if(line.begin(), line.end(), isSeparator) - line.begin();
        for (std::size_t k = key; k < line.size(); ++k)
            if (!isSeparator(line[k]) && (k == key || isSeparator(line[k - 1])))
                ++fields;
        if (fields > kMaxPromptFields)
            return "line " + std::to_string(i + 1) + " has more than " +
                   std::to_string(kMaxPromptFields) + " fields";
        for (std::size_t k = 0; k < key; ++k)
            if (line[k] < u'0' || line[k] > u'9')
                return "line " + std::to_string(i + 1) + " has a key that is not a number";
    }
    return {};
}

} // namespace tovi::tools
