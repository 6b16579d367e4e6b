#include "ui/win32/status_menu_popup.h"

#include <string>
#include <utility>

namespace tovi {
namespace {

// Owns a loaded menu; DestroyMenu destroys its submenus with it.
class UniqueMenu {
public:
    explicit UniqueMenu(HMENU menu) : menu_(menu) {}
    ~UniqueMenu() {
        if (menu_)
            DestroyMenu(menu_);
    }
    UniqueMenu(const UniqueMenu&) = delete;
    UniqueMenu& operator=(const UniqueMenu&) = delete;
    HMENU get() const { return menu_; }

private:
    HMENU menu_;
};

UniqueMenu loadMenu(HINSTANCE instance, int id) {
    return UniqueMenu(LoadMenuW(instance, MAKEINTRESOURCEW(id)));
}

void check(HMENU menu, std::uint32_t command) {
    CheckMenuItem(menu, command, MF_BYCOMMAND | MF_CHECKED);
}

void checkSoftKeyboard(HMENU menu, std::size_t layout) {
    if (const auto command = softKeyboardCommand(layout))
        check(menu, *command);
}

std::uint32_t track(HMENU menu, HWND bar) {
    if (!menu)
        return 0;
    POINT origin{0, 0};
    ClientToScreen(bar, &origin);
    const BOOL chosen =
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_BOTTOMALIGN, origin.x, origin.y, 0, bar, nullptr);
    return chosen > 0 ? static_cast<std::uint32_t>(chosen) : 0;
}

// The settings menu with the soft-keyboard submenu cascading in place of its placeholder item.
std::uint32_t trackSettingsMenu(HINSTANCE instance, HWND bar, const StatusMenuMarks& marks) {
    const UniqueMenu settings = loadMenu(instance, kSettingsMenuId);
    const HMENU shown = GetSubMenu(settings.get(), 0);
    if (!shown)
        return 0;
    if (marks.settings.traditionalChecked)
        check(shown, menu_command::Traditional);
    if (marks.settings.settingsGrayed)
        EnableMenuItem(shown, menu_command::SettingsDialog, MF_BYCOMMAND | MF_DISABLED | MF_GRAYED);

    const UniqueMenu keyboards = loadMenu(instance, kSoftKeyboardMenuId);
    if (const HMENU cascade = GetSubMenu(keyboards.get(), 0)) {
        checkSoftKeyboard(cascade, marks.softKeyboard);
        const std::wstring caption(kSoftKeyboardCascadeCaption.begin(),
                                   kSoftKeyboardCascadeCaption.end());
        // The settings menu takes the cascade over: it leaves the soft-keyboard menu first, so
        // that each menu is destroyed once.
        if (InsertMenuW(shown, menu_command::SoftKeyboards, MF_BYCOMMAND | MF_POPUP | MF_STRING,
                        reinterpret_cast<UINT_PTR>(cascade), caption.c_str())) {
            RemoveMenu(keyboards.get(), 0, MF_BYPOSITION);
            RemoveMenu(shown, menu_command::SoftKeyboards, MF_BYCOMMAND);
        }
    }
    return track(shown, bar);
}

} // namespace

std::uint32_t trackStatusMenu(HINSTANCE instance, HWND bar, StatusMenu menu,
                              const StatusMenuMarks& marks) {
    switch (menu) {
    case StatusMenu::InputMode: {
        const UniqueMenu modes = loadMenu(instance, kInputModeMenuId);
        const HMENU shown = GetSubMenu(modes.get(), 0);
        if (shown)
            check(shown, schemeCommand(marks.scheme));
        return track(shown, bar);
    }
    case StatusMenu::SoftKeyboard: {
        const UniqueMenu keyboards = loadMenu(instance, kSoftKeyboardMenuId);
        const HMENU shown = GetSubMenu(keyboards.get(), 0);
        if (shown)
            checkSoftKeyboard(shown, marks.softKeyboard);
        return track(shown, bar);
    }
    case StatusMenu::Settings:
        return trackSettingsMenu(instance, bar, marks);
    case StatusMenu::None:
        break;
    }
    return 0;
}

} // namespace tovi
