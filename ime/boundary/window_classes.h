// The module's five window classes: the UI window IMM32 creates, and the four tool windows.
#pragma once

#include <windows.h>

namespace tovi {

// Registers "ZHPYUI", "DEDU_CAND", "DEDU_PROMPT", "DEDU_INFO" and "DEDU_STATUS", stopping at
// the first failure, which is not reported: the module stays loaded.
void RegisterClasses(HINSTANCE instance);
void UnregisterClasses();

} // namespace tovi
