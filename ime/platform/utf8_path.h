// UTF-16 to UTF-8 for the POSIX side, whose file and object names are byte strings.
#pragma once

#include <string>
#include <string_view>

namespace tovi::platform {

// Unpaired surrogates become U+FFFD so that a name is always valid UTF-8.
std::string toUtf8(std::u16string_view text);

} // namespace tovi::platform
