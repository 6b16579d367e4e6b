// The typing benchmark's workload: words with their five-stroke letters and their pinyin, and
// the keypad keyboard that turns each five-stroke letter into its two keypad digits.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tovi::bench {

struct WorkloadWord {
    std::string word;    // UTF-8, as the first candidate should commit it
    std::string letters; // five-stroke letters, a to z
    std::string pinyin;  // syllables joined, a to z
};

// Either the words of a workload or why it was refused.
struct Workload {
    std::vector<WorkloadWord> words;
    std::string error; // empty when the file was read
};

// A workload file holds at most this many lines; a longer one is refused.
inline constexpr std::size_t kMaxWorkloadLines = 1'000'000;

// Reads lines "word<TAB>letters<TAB>pinyin". An empty line or one starting with '#' is skipped;
// any other line without exactly those three non-empty fields (letters and pinyin in a to z, at
// most 64 of them) refuses the file, naming the line.
Workload readWorkload(const std::filesystem::path& file);

// Each five-stroke letter's two keypad digits, from lines "<zone digit><position digit> <letter>
// ..." of keypad_keys.txt.
class KeypadKeys {
public:
    // None when the file cannot be read or names no key.
    static std::optional<KeypadKeys> read(const std::filesystem::path& file);

    // The digits of every letter of `letters`; none when a letter has no key.
    std::optional<std::string> digits(const std::string& letters) const;

private:
    std::array<std::string, 26> digits_;
};

} // namespace tovi::bench
