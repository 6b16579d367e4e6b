// The text service DLL's own module handle, recorded at process attach.
#pragma once

#include <string>
#include <windows.h>

namespace tovi::tsf {

HINSTANCE dllInstance();
void setDllInstance(HINSTANCE instance);
// The DLL's full path; empty when it cannot be read.
std::wstring dllPath();

} // namespace tovi::tsf
