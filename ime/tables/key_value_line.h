// Splitting a line of the module's text tables into a key and what follows it.
#pragma once

#include <string_view>

namespace tovi {

struct KeyValueLine {
    std::u16string_view key;   // the units before the first tab or space
    std::u16string_view value; // the rest after the run of tabs and spaces behind the key, as is
    bool separated = false;    // whether the line holds a tab or space at all
};

// Splits `line` at its first run of tabs and spaces. Without one the whole line is the key and
// the value is empty. The value keeps any later separators, trailing ones included, and never
// begins with one.
KeyValueLine splitKeyValueLine(std::u16string_view line);

} // namespace tovi
