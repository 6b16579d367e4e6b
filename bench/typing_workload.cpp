#include "typing_workload.h"

#include <algorithm>
#include <fstream>

namespace tovi::bench {
namespace {

constexpr std::size_t kMaxKeysPerWord = 64;

bool isLetters(const std::string& s) {
    return !s.empty() && s.size() <= kMaxKeysPerWord &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// The fields of `line` between its tabs.
std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::size_t from = 0;
    while (true) {
        const std::size_t tab = line.find('\t', from);
        out.push_back(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
        if (tab == std::string::npos)
            return out;
        from = tab + 1;
    }
}

} // namespace

Workload readWorkload(const std::filesystem::path& file) {
    Workload workload;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        workload.error = "cannot read " + file.string();
        return workload;
    }
    std::string line;
    std::size_t number = 0;
    while (std::getline(in, line)) {
        if (++number > kMaxWorkloadLines) {
            workload.error = "more than " + std::to_string(kMaxWorkloadLines) + " lines";
            break;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        std::vector<std::string> parts = fields(line);
        if (parts.size() != 3 || parts[0].empty() || !isLetters(parts[1]) || !isLetters(parts[2])) {
            workload.error = "line " + std::to_string(number) +
                             ": expected word<TAB>five-stroke letters<TAB>pinyin (a to z)";
            break;
        }
        workload.words.push_back(
            WorkloadWord{std::move(parts[0]), std::move(parts[1]), std::move(parts[2])});
    }
    if (!workload.error.empty())
        workload.words.clear();
    else if (workload.words.empty())
        workload.error = "no words in " + file.string();
    return workload;
}

std::optional<KeypadKeys> KeypadKeys::read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    KeypadKeys keys;
    bool any = false;
    std::string line;
    while (std::getline(in, line)) {
        // "<zone digit><position digit> <letter> <mnemonic>"
        if (line.size() < 4 || line[0] < '1' || line[0] > '9' || line[1] < '1' || line[1] > '9' ||
            line[2] != ' ' || line[3] < 'a' || line[3] > 'z')
            continue;
        keys.digits_[static_cast<std::size_t>(line[3] - 'a')] = line.substr(0, 2);
        any = true;
    }
    if (!any)
        return std::nullopt;
    return keys;
}

std::optional<std::string> KeypadKeys::digits(const std::string& letters) const {
    std::string out;
    for (const char c : letters) {
        if (c < 'a' || c > 'z' || digits_[static_cast<std::size_t>(c - 'a')].empty())
            return std::nullopt;
        out += digits_[static_cast<std::size_t>(c - 'a')];
    }
    return out;
}

} // namespace tovi::bench
