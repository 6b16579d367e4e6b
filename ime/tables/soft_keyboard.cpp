#include "tables/soft_keyboard.h"

namespace tovi {

char16_t SoftKeyboard::symbolFor(unsigned virtualKey, bool shiftDown) const {
    const auto key = softKeyIndex(virtualKey);
    if (!key)
        return 0;
    const char16_t symbol = shiftDown ? layout().shifted[*key] : layout().plain[*key];
    return symbol == kNoSoftSymbol ? 0 : symbol;
}

} // namespace tovi
