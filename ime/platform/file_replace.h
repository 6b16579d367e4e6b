// Replacing a file's contents so that a crash or a full disk never leaves it half written.
#pragma once

#include <string>
#include <string_view>

namespace tovi::platform {

// Writes `bytes` to a new file beside `path` (same name with ".new" added), flushes it to the
// disk and then puts it in place of `path` in one step. On failure `path` is unchanged, the new
// file is removed and false is returned.
bool replaceFileContents(const std::u16string& path, std::string_view bytes);

} // namespace tovi::platform
