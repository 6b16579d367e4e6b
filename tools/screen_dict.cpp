#include "screen_dict.h"

#include "platform/code_page.h"
#include "table_builder.h"

#include <algorithm>
#include <map>
#include <optional>
#include <unordered_map>

namespace tovi::tools {
namespace {

struct Reading {
    std::string syllables;
    double weight = 0;
};

struct Word {
    std::u16string text;
    std::vector<std::string> codes; // distinct five-stroke codes, in source order
    double weight = 0;              // of the heaviest entry
};

std::u16string fromUtf8(const std::string& text) {
    std::u16string out;
    return utf8ToUtf16(text, out) ? out : std::u16string();
}

// Readings of each text, heaviest first, each once.
std::unordered_map<std::u16string, std::vector<Reading>>
readingsOf(const std::vector<DictEntry>& pinyin) {
    std::unordered_map<std::u16string, std::vector<Reading>> readings;
    for (const DictEntry& entry : pinyin) {
        auto& list = readings[entry.text];
        const auto same = std::find_if(list.begin(), list.end(),
                                       [&](const Reading& r) { return r.syllables == entry.code; });
        if (same == list.end())
            list.push_back({entry.code, entry.weight});
        else
            same->weight = std::max(same->weight, entry.weight);
    }
    for (auto& [text, list] : readings)
        std::stable_sort(list.begin(), list.end(),
                         [](const Reading& a, const Reading& b) { return a.weight > b.weight; });
    return readings;
}

std::string joined(const std::vector<std::string>& parts, const std::string& separator) {
    std::string out;
    for (const std::string& part : parts)
        out += (out.empty() ? "" : separator) + part;
    return out;
}

} // namespace

std::vector<std::string> screenDictLines(const std::vector<DictEntry>& wubi,
                                         const std::vector<DictEntry>& pinyin,
                                         ScreenDictCounts& counts) {
    counts = {};
    std::vector<Word> words;
    std::unordered_map<std::u16string, std::size_t> index;
    for (const DictEntry& entry : wubi) {
        if (!keypadCode(entry.code))
            continue; // not a code of the keypad table (z, the wildcard)
        const auto [at, added] = index.try_emplace(entry.text, words.size());
        if (added)
            words.push_back({entry.text, {}, entry.weight});
        Word& word = words[at->second];
        word.weight = std::max(word.weight, entry.weight);
        if (std::find(word.codes.begin(), word.codes.end(), entry.code) == word.codes.end())
            word.codes.push_back(entry.code);
    }

    const auto readings = readingsOf(pinyin);
    std::vector<std::string> lines;
    for (const Word& word : words) {
        const bool character = word.text.size() == 1;
        if (!character && word.weight < kFrequentWordWeight)
            continue;
        const auto full = std::max_element(
            word.codes.begin(), word.codes.end(),
            [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
        std::vector<std::string> shorter;
        for (const std::string& code : word.codes)
            if (&code != &*full)
                shorter.push_back(code);
        std::string description = "五笔：" + *full;
        if (!shorter.empty())
            description += "　简码：" + joined(shorter, "、");
        std::vector<std::string> spoken;
        if (const auto found = readings.find(word.text); found != readings.end())
            for (const Reading& reading : found->second)
                if (spoken.size() < kMaxReadings)
                    spoken.push_back(reading.syllables);
        if (spoken.empty())
            ++counts.noPinyin;
        else
            description += "　拼音：" + joined(spoken, "、");

        const std::optional<std::string> text = platform::utf16ToGbk(word.text);
        const std::optional<std::string> about = platform::utf16ToGbk(fromUtf8(description));
        if (!text || !about) {
            ++counts.notGbk;
            continue;
        }
        lines.push_back(*text + " " + *keypadCode(*full) + " " + *about);
        ++(character ? counts.characters : counts.words);
    }
    return lines;
}

std::string screenDictFile(const std::vector<std::string>& lines) {
    std::string file;
    for (const std::string& line : lines)
        file += line + "\r\n";
    return file;
}

} // namespace tovi::tools
