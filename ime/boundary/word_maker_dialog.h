// The word maker dialog ("手工造词"): the application's selection and its proposed code, added
// to or deleted from the current scheme's table; it stays open for the next word.
#pragma once

#include <windows.h>

namespace tovi {

class WordMaker;

// Runs the dialog modally, owned by `owner` (which may be null).
void showWordMakerDialog(HINSTANCE instance, HWND owner, WordMaker& maker);

} // namespace tovi
