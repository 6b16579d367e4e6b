// Where the code tables' message boxes go: the Windows layer shows them, tests record them.
#pragma once

#include <cstdint>
#include <string_view>

namespace tovi {

class CodeTableReporter {
public:
    enum class Style : std::uint8_t {
        Plain,   // OK button only: failures of the load and of the save
        Warning, // warning icon and OK button: the word maker's refusals
    };
    virtual ~CodeTableReporter() = default;
    virtual void messageBox(std::u16string_view text, std::u16string_view caption, Style style) = 0;
};

} // namespace tovi
