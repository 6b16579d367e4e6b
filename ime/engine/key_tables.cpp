#include "engine/key_tables.h"

#include <string_view>

namespace tovi {
namespace {
bool isOemPunctuation(unsigned key) {
    return (key >= 0xBA && key <= 0xC0) || (key >= 0xDB && key <= 0xDE);
}
} // namespace

bool isFullWidthKey(unsigned key) {
    return key == 0x20 || (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') ||
           isOemPunctuation(key);
}

bool isPunctuationKey(unsigned key, bool shiftDown) {
    return isOemPunctuation(key) || (shiftDown && key >= '0' && key <= '9');
}

bool isNoFeedbackPunctuation(char16_t unit) {
    constexpr std::u16string_view kUnits = u"，。、；─：“”？！…（）〔〕〈〉《》～‘’";
    return unit != 0 && kUnits.find(unit) != std::u16string_view::npos;
}

} // namespace tovi
