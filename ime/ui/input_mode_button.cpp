#include "ui/input_mode_button.h"

#include "tables/ime_settings.h"

namespace tovi {
namespace {

constexpr std::uint32_t kKeypadCommand = 1;
constexpr std::uint32_t kPinyinCommand = 2;
constexpr std::uint32_t kFullWidthSymbolsCommand = 3;
constexpr std::uint32_t kFullWidthLettersCommand = 4;

std::u16string_view schemeName(Scheme scheme) {
    switch (scheme) {
    case Scheme::Keypad:
        return u"朔昕拼形";
    case Scheme::Pinyin:
        return u"汉语拼音";
    case Scheme::A:
        return u"霁川A";
    case Scheme::D:
        return u"霁川D";
    }
    return u"";
}

} // namespace

std::u16string inputModeText(const InputModeState& state) {
    if (state.keyboardClosed)
        return u"英";
    std::u16string text;
    if (state.englishMode)
        text = u"英";
    else if (state.scheme == Scheme::Keypad)
        text = u"形";
    else if (state.scheme == Scheme::Pinyin)
        text = u"拼";
    else
        text = u"－";
    if (state.settingsFlags & flag::FullWidthSymbols)
        text += u"全";
    return text;
}

std::u16string inputModeTooltip(const InputModeState& state) {
    std::u16string text(schemeName(state.scheme));
    if (state.keyboardClosed)
        return text + u" 已关闭";
    if (state.englishMode)
        text += u" 英文";
    text += (state.settingsFlags & flag::FullWidthSymbols) ? u" 全角符号" : u" 半角符号";
    text += (state.settingsFlags & flag::FullWidthLetters) ? u" 全角字母" : u" 半角字母";
    return text;
}

std::vector<InputModeMenuItem> inputModeMenu(const InputModeState& state) {
    return {
        {kKeypadCommand, std::u16string(schemeName(Scheme::Keypad)),
         state.scheme == Scheme::Keypad},
        {kPinyinCommand, std::u16string(schemeName(Scheme::Pinyin)),
         state.scheme == Scheme::Pinyin},
        {0, u"", false},
        {kFullWidthSymbolsCommand, u"全角符号",
         (state.settingsFlags & flag::FullWidthSymbols) != 0},
        {kFullWidthLettersCommand, u"全角字母",
         (state.settingsFlags & flag::FullWidthLetters) != 0},
    };
}

InputModeChange inputModeCommand(std::uint32_t command) {
    switch (command) {
    case kKeypadCommand:
        return {Scheme::Keypad, 0};
    case kPinyinCommand:
        return {Scheme::Pinyin, 0};
    case kFullWidthSymbolsCommand:
        return {std::nullopt, flag::FullWidthSymbols};
    case kFullWidthLettersCommand:
        return {std::nullopt, flag::FullWidthLetters};
    default:
        return {};
    }
}

InputModeChange inputModeClick(const InputModeState& state) {
    return {state.scheme == Scheme::Keypad ? Scheme::Pinyin : Scheme::Keypad, 0};
}

} // namespace tovi
