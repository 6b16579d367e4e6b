// What DllRegisterServer writes and DllUnregisterServer removes: the COM class (in-process,
// apartment threaded), the zh-CN language profile with its name and icon, and the categories
// the text service belongs to.
#pragma once

#include <windows.h>

namespace tovi::tsf {

HRESULT registerServer();
// Removes everything registerServer wrote; what is already gone is no failure.
HRESULT unregisterServer();

} // namespace tovi::tsf
