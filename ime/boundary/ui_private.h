// The UI window's private block (in its IMMGWL_PRIVATE slot): the records of the module's four
// tool windows. Its 32-bit layout is fixed.
#pragma once

#include "ui/win32/window_record.h"

#include <cstddef>

namespace tovi {

#ifndef _WIN64
static_assert(sizeof(UiPrivate) == 80);
static_assert(offsetof(UiPrivate, candidate) == 20);
static_assert(offsetof(UiPrivate, info) == 60);
#endif

} // namespace tovi
