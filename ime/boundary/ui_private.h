// The UI window's private block: where each of the module's four tool windows is, as the window
// objects record it when they create their windows.
#pragma once

#include "ui/win32/window_record.h"

#include <cstddef>

namespace tovi {

struct UiPrivate {
    WindowRecord status;
    WindowRecord candidate; // x, y: where the candidate window goes; -1, -1 = not yet placed
    WindowRecord prompt;
    WindowRecord info;
};
#ifndef _WIN64
static_assert(sizeof(UiPrivate) == 80);
static_assert(offsetof(UiPrivate, candidate) == 20);
static_assert(offsetof(UiPrivate, info) == 60);
#endif

} // namespace tovi
