// One record of the screen dictionary "dict.txt": the text as written in the file, in code page
// 936 (GBK) bytes.
#pragma once

#include <string>

namespace tovi::screen {

struct DictEntry {
    std::string word;        // the character or word looked up
    std::string key;         // its input code
    std::string description; // free text shown under the code
};

} // namespace tovi::screen
