#include "table_builder.h"

#include "platform/code_page.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace tovi::tools {
namespace {

// Five-stroke letters by zone (1 to 5) and position (1 to 5).
constexpr std::array<std::string_view, 5> kZoneLetters = {"gfdsa", "hjklm", "trewq", "yuiop",
                                                          "nbvcx"};

// GBK forms of the characters met so far: a table holds a few tens of thousands of distinct
// characters in a few hundred thousand texts, and each conversion call opens a converter.
class GbkEncoder {
public:
    std::optional<std::string> encode(std::u16string_view text) {
        std::string out;
        for (const char16_t c : text) {
            auto it = known_.find(c);
            if (it == known_.end())
                it = known_.emplace(c, platform::utf16ToGbk(std::u16string_view(&c, 1))).first;
            if (!it->second)
                return std::nullopt;
            out += *it->second;
        }
        return out;
    }

private:
    std::unordered_map<char16_t, std::optional<std::string>> known_;
};

struct Candidate {
    std::string code; // in the scheme's keys
    std::string text; // GBK
    double weight;
};

} // namespace

std::optional<std::string_view> keypadDigits(char letter) {
    static constexpr std::array<std::string_view, 26> kDigits = [] {
        std::array<std::string_view, 26> digits{};
        constexpr std::array<std::string_view, 25> kPairs = {
            "11", "12", "13", "14", "15", "21", "22", "23", "24", "25", "31", "32", "33",
            "34", "35", "41", "42", "43", "44", "45", "51", "52", "53", "54", "55"};
        std::size_t k = 0;
        for (const std::string_view zone : kZoneLetters)
            for (const char c : zone)
                digits[static_cast<std::size_t>(c - 'a')] = kPairs[k++];
        return digits;
    }();
    if (letter < 'a' || letter > 'z')
        return std::nullopt;
    const std::string_view digits = kDigits[static_cast<std::size_t>(letter - 'a')];
    if (digits.empty())
        return std::nullopt;
    return digits;
}

std::optional<std::string> keypadCode(std::string_view letters) {
    std::string code;
    for (const char c : letters) {
        const auto digits = keypadDigits(c);
        if (!digits)
            return std::nullopt;
        code += *digits;
    }
    if (code.empty())
        return std::nullopt;
    return code;
}

std::optional<std::string> pinyinCode(std::string_view syllables) {
    std::string code;
    for (const char c : syllables) {
        if (c == ' ')
            continue;
        if (c < 'a' || c > 'z')
            return std::nullopt;
        code.push_back(c);
    }
    if (code.empty())
        return std::nullopt;
    return code;
}

BuiltTable buildCodeTable(const std::vector<DictEntry>& entries, Scheme scheme) {
    BuiltTable built{CodeTableData(layoutOf(scheme)), {}};
    BuildCounts& counts = built.counts;
    counts.read = entries.size();

    // Usable entries, one per code and text.
    std::vector<Candidate> candidates;
    candidates.reserve(entries.size());
    std::unordered_map<std::string, std::size_t> seen; // code, NUL, text -> candidate
    GbkEncoder gbk;
    for (const DictEntry& entry : entries) {
        const auto code =
            scheme == Scheme::Keypad ? keypadCode(entry.code) : pinyinCode(entry.code);
        if (!code) {
            ++counts.outsideKeys;
            continue;
        }
        const auto text = gbk.encode(entry.text);
        if (!text || text->empty() || text->find('\0') != std::string::npos) {
            ++counts.notGbk;
            continue;
        }
        if (code->size() > kMaxFieldBytes || text->size() > kMaxFieldBytes) {
            ++counts.tooLong;
            continue;
        }
        std::string key = *code;
        key.push_back('\0');
        key += *text;
        const auto [it, inserted] = seen.try_emplace(std::move(key), candidates.size());
        if (!inserted) {
            ++counts.duplicates;
            Candidate& earlier = candidates[it->second];
            earlier.weight = std::max(earlier.weight, entry.weight);
            continue;
        }
        candidates.push_back({*code, *text, entry.weight});
    }

    // Entries of one code, heaviest first.
    std::unordered_map<std::string, std::vector<std::size_t>> byCode;
    for (std::size_t i = 0; i < candidates.size(); ++i)
        byCode[candidates[i].code].push_back(i);
    std::vector<std::string> codes;
    codes.reserve(byCode.size());
    for (auto& [code, members] : byCode) {
        std::stable_sort(members.begin(), members.end(), [&](std::size_t a, std::size_t b) {
            return candidates[a].weight > candidates[b].weight;
        });
        codes.push_back(code);
    }

    // Rank of each code, shorter codes first so that every prefix is ranked before its
    // continuations.
    std::sort(codes.begin(), codes.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    std::unordered_map<std::string, double> rank;
    rank.reserve(codes.size());
    for (const std::string& code : codes) {
        double r = candidates[byCode[code].front()].weight;
        for (std::size_t len = code.size() - 1; len > 0; --len) {
            const auto prefix = rank.find(code.substr(0, len));
            if (prefix != rank.end()) {
                r = std::min(r, prefix->second);
                break;
            }
        }
        rank.emplace(code, r);
    }

    std::sort(codes.begin(), codes.end(), [&](const std::string& a, const std::string& b) {
        if (a.front() != b.front())
            return a.front() < b.front();
        const double ra = rank.at(a);
        const double rb = rank.at(b);
        if (ra != rb)
            return ra > rb;
        if (a.size() != b.size())
            return a.size() < b.size();
        return a < b;
    });

    std::size_t stringBytes = 0;
    for (const Candidate& c : candidates)
        stringBytes += c.code.size() + c.text.size();
    built.table.reserve(candidates.size(), stringBytes);
    for (const std::string& code : codes) {
        for (const std::size_t i : byCode[code]) {
            switch (built.table.appendGbk(code, candidates[i].text)) {
            case EntryFault::None:
                ++counts.kept;
                break;
            case EntryFault::TableFull:
                ++counts.tableFull;
                break;
            case EntryFault::NotGbk:
                ++counts.notGbk;
                break;
            case EntryFault::BadLength:
                ++counts.tooLong;
                break;
            case EntryFault::WrongBucket:
                // Codes are sorted by their first key, so this can't happen.
                ++counts.outsideKeys;
                break;
            }
        }
    }
    return built;
}

} // namespace tovi::tools
