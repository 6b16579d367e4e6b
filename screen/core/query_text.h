// What the card is asked to show: the character under the pointer out of the text the capture
// component reports, and the rule that single-byte text is never looked up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tovi::screen {

enum class PickFault {
    None,
    NoText,       // the text pointer is null
    IndexOutside, // the cursor index is negative or past the end of the text
    Surrogate,    // the index lands on half of a surrogate pair: no code page 936 character
};

struct PickedCharacter {
    PickFault fault = PickFault::None;
    char16_t unit = 0;
};

// The UTF-16 unit at the 0-based `index` of `text` (`length` units).
PickedCharacter characterAt(const char16_t* text, std::size_t length, std::int64_t index);

// True when the code page 936 text is worth a lookup: not empty and greater than the one-byte
// string 0x80 in byte order, which leaves out ASCII and every other single-byte text.
bool worthLookingUp(std::string_view gbk);

} // namespace tovi::screen
