// Every message the engine and the module show in the info window, with how long it shows.
#pragma once

#include "tables/scheme.h"

#include <string>
#include <string_view>

namespace tovi {

struct InfoText {
    std::u16string_view text;
    unsigned milliseconds;
};

namespace info {
// Most messages show for this long.
inline constexpr unsigned kDefaultMilliseconds = 9000;

inline constexpr InfoText FullWidthToggled{u"设置全角/半角！", kDefaultMilliseconds};
inline constexpr InfoText NothingToSelect{u"所选序号无内容！", kDefaultMilliseconds};
inline constexpr InfoText LastPage{u"已至最后页！", kDefaultMilliseconds};
inline constexpr InfoText FirstPage{u"已至最前页！", kDefaultMilliseconds};
// Clears the info window.
inline constexpr InfoText None{u"", kDefaultMilliseconds};
// The pinyin scheme's reminder of how words are typed, shown whenever its input is reset.
inline constexpr InfoText PinyinWordHint{u"组词方法:先输入声母，再输入韵母。", 20000};
// The word maker.
inline constexpr InfoText WordAdded{u"加词操作已经成功！", kDefaultMilliseconds};
inline constexpr InfoText WordDeleted{u"删词操作已经成功！", kDefaultMilliseconds};
inline constexpr InfoText TableNotReady{u"码表尚未载入，请稍后再试！", kDefaultMilliseconds};
// config.ini could not be written; the settings stay in force for this process.
inline constexpr InfoText SettingsNotSaved{u"设置保存失败！", kDefaultMilliseconds};

// A file the status bar's menus open is missing from the installation folder, or the system
// could not start it.
inline std::u16string missingFile(std::u16string_view name) {
    return u"找不到文件：" + std::u16string(name);
}
inline std::u16string cannotStart(std::u16string_view name) {
    return u"无法打开：" + std::u16string(name);
}
} // namespace info

// What the info window shows when a scheme's input is reset.
constexpr InfoText schemeHint(Scheme scheme) {
    return scheme == Scheme::Pinyin ? info::PinyinWordHint : info::None;
}

} // namespace tovi
