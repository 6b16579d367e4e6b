#include "caret_point.h"

#include <windows.h>

namespace tovi::screen {

std::optional<ScreenPoint> foregroundCaretPoint() {
    const HWND foreground = GetForegroundWindow();
    if (!foreground)
        return std::nullopt;
    // GetGUIThreadInfo reads another thread's caret without attaching to its input state.
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &info) || !info.hwndCaret)
        return std::nullopt;
    // The caret rectangle is in the caret window's client coordinates.
    POINT corner{info.rcCaret.left, info.rcCaret.bottom};
    if (!ClientToScreen(info.hwndCaret, &corner))
        return std::nullopt;
    return ScreenPoint{corner.x, corner.y};
}

} // namespace tovi::screen
