// Real keyboard input through SendInput, as a user types: presses, releases, taps, chords and
// auto-repeat. Each function only sends; TsfApp waits until its loop has handled the keys.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace tovi::tsfhost::keyboard {

// The number of key messages (WM_KEYDOWN/WM_KEYUP) each call makes the loop see.
int press(WORD key);
int release(WORD key);
int tap(WORD key);
// Holds `modifiers` (VK_CONTROL, VK_SHIFT, ...), taps `key`, releases them in reverse order.
int chord(std::initializer_list<WORD> modifiers, WORD key);
// `count` key-downs of a held key (the auto-repeat a user gets), then one release.
int repeat(WORD key, int count);

} // namespace tovi::tsfhost::keyboard
