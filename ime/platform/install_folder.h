// The installation folder, where every data file of the module lives, and paths inside it.
#pragma once

#include <string>
#include <string_view>

namespace tovi::platform {

// The folder recorded by the installer, read anew at every call; empty when none is recorded.
std::u16string installPath();

// installPath() + "\" + name.
std::u16string installFilePath(std::u16string_view name);

// Narrow form for command lines and narrow file functions: each unit of the folder keeps only its
// low byte (only ASCII folder names survive), then "\" and the narrow name.
std::string installFilePathNarrow(std::string_view name);

} // namespace tovi::platform
