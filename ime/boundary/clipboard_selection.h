// The text selected in the application, fetched the only way a module can: every likely window
// of the focus window's top-level window is asked to copy its selection, and the clipboard is
// read.
#pragma once

#include <optional>
#include <string>

namespace tovi {

// The Unicode text on the clipboard after the copy, at most `limit` units; nothing when the
// clipboard holds no Unicode text or cannot be opened.
std::optional<std::u16string> collectSelection(std::size_t limit);

} // namespace tovi
