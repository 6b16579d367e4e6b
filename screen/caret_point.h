// The point next to which the one-shot card opens: the text caret of the foreground window.
#pragma once

#include "card_placement.h"

#include <optional>

namespace tovi::screen {

// The bottom-left corner of the foreground thread's caret in screen coordinates; none when that
// thread shows no caret.
std::optional<ScreenPoint> foregroundCaretPoint();

} // namespace tovi::screen
