// The small text files of the installation: the keypad code hints ("codePyMain.pmt"), the two
// prompt tables ("vemoraPY.pmt", "vemoraSP.pmt") and the pinyin key table ("deduSPNum.pi"). All
// are UTF-16LE with a byte-order mark and CR LF line ends, as the module's line reader expects.
#pragma once

#include "dict_source.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tovi::tools {

// The lines as a file: byte-order mark, each line followed by CR LF.
std::string utf16File(const std::vector<std::u16string>& lines);

struct KeypadKey {
    std::string digits; // zone and position, "11" … "55"
    char letter = 0;    // the five-stroke letter
    std::u16string mnemonic;
};

// The hand-written source data/keypad_keys.txt.
struct KeypadKeys {
    std::string error; // empty when the source is complete and consistent
    std::array<std::u16string, 5> zoneNames;
    std::vector<KeypadKey> keys; // 25, in code order

    bool ok() const { return error.empty(); }
};

KeypadKeys readKeypadKeys(std::string_view utf8);

// Hint lines ("key<TAB>hint") for every one- and two-digit keypad input.
std::vector<std::u16string> codeHintLines(const KeypadKeys& keys);

// Prompt rows keyed by keypad code: row 0 lists the 25 keys, rows 1 to 5 a zone's keys, rows
// 11 to 55 a key's letter and the parts of its mnemonic.
std::vector<std::u16string> keypadPromptLines(const KeypadKeys& keys);

// The prompt row of the pinyin scheme: row 0, the 35 cells of the prompt grid with the
// initials and finals.
std::vector<std::u16string> pinyinPromptLines();

// The pinyin key table: for every initial, the finals that follow it in the dictionary's
// syllables (key "0": syllables without an initial). `dropped` counts syllables that split into
// no known initial and final.
std::vector<std::u16string> pinyinKeyLines(const std::vector<DictEntry>& pinyin,
                                           std::size_t& dropped);

// Line limits of the readers: hint and key-table lines 998 units, prompt lines 254 units and 100
// fields after the key. Returns a message for the first line that breaks them, or empty.
std::string checkHintLines(const std::vector<std::u16string>& lines);
std::string checkPromptLines(const std::vector<std::u16string>& lines);

} // namespace tovi::tools
