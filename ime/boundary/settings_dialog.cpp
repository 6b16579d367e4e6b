#include "settings_dialog.h"

#include "modal_dialog.h"
#include "process_host.h"
#include "resources/resource_ids.h"
#include "thread_ui.h"
#include "ui/settings_dialog_model.h"

#include <array>
#include <string>

namespace tovi {
namespace {

std::wstring wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

// What one run of the dialog works on.
struct SettingsDialogState {
    ProcessHost& process;
    ThreadUi& ui;
    Module& module;
    UniqueBitmap preview; // the picture the preview control shows
};

// The status bar of the picture `statusBitmapName` names, its first row only, in the preview
// control; nothing when the file is missing.
void showPreview(HWND dialog, SettingsDialogState& state) {
    const std::wstring path =
        wide(state.module.folder().fileToRead(state.process.statusBitmapName));
    const UniqueBitmap picture(static_cast<HBITMAP>(
        LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    UniqueBitmap bar;
    if (picture) {
        const WindowDc screen(nullptr);
        bar.reset(CreateCompatibleBitmap(screen.get(), 120, 20));
        const MemoryDc from(screen.get());
        const MemoryDc to(screen.get());
        const Selected source(from.get(), picture.get());
        const Selected target(to.get(), bar.get());
        if (bar && from.get() && to.get())
            BitBlt(to.get(), 0, 0, 120, 20, from.get(), 0, 0, SRCCOPY);
    }
    SendDlgItemMessageW(dialog, IDC_SKIN_PREVIEW, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(bar.get()));
    // The control shows the new picture now; the old one can go.
    state.preview = std::move(bar);
}

void onInit(HWND dialog, SettingsDialogState& state) {
    const auto checks = checksFromFlags(state.module.settings().flags);
    for (std::size_t i = 0; i < kFlagCheckBoxCount; ++i)
        CheckDlgButton(dialog, flagCheckBoxes()[i].control,
                       checks[i] ? BST_CHECKED : BST_UNCHECKED);
    for (const std::u16string_view entry : kSkinEntries)
        SendDlgItemMessageW(dialog, IDC_SKIN_LIST, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(wide(entry).c_str()));
    showPreview(dialog, state);
}

// A skin chosen in the list: previewed, and its colours on the candidate window at once.
void onSkinChosen(HWND dialog, SettingsDialogState& state) {
    const LRESULT index = SendDlgItemMessageW(dialog, IDC_SKIN_LIST, LB_GETCURSEL, 0, 0);
    if (index < 0 || index >= static_cast<LRESULT>(kSkinCount))
        return;
    std::array<wchar_t, 64> entry{};
    const LRESULT length = SendDlgItemMessageW(dialog, IDC_SKIN_LIST, LB_GETTEXTLEN, index, 0);
    if (length <= 0 || length >= static_cast<LRESULT>(entry.size()))
        return;
    SendDlgItemMessageW(dialog, IDC_SKIN_LIST, LB_GETTEXT, index,
                        reinterpret_cast<LPARAM>(entry.data()));
    state.process.statusBitmapName =
        statusSkinPicture(std::u16string(entry.data(), entry.data() + length));
    state.module.settings().skin = static_cast<std::int32_t>(index);
    state.ui.candidateWindow.invalidate();
    showPreview(dialog, state);
    InvalidateRect(dialog, nullptr, FALSE);
}

void onOk(HWND dialog, SettingsDialogState& state) {
    std::array<bool, kFlagCheckBoxCount> checks{};
    for (std::size_t i = 0; i < kFlagCheckBoxCount; ++i)
        checks[i] = IsDlgButtonChecked(dialog, flagCheckBoxes()[i].control) == BST_CHECKED;
    ImeSettings& settings = state.module.settings();
    settings.flags = flagsFromChecks(settings.flags, checks);
    state.process.saveSettings();
    // The chosen skin's pictures become the user's copies; a skin file that is missing leaves
    // the picture in use as it is.
    const platform::InstallFolder& folder = state.module.folder();
    useSkinPicture(folder, state.process.statusBitmapName, kInstalledStatusPicture);
    useSkinPicture(folder, candidateSkinPicture(settings.skin), kInstalledCandidatePicture);
    state.process.reloadBitmaps();
    state.module.flags().selectionPending = false;
    // Made again at the next update, with the size of the layout now chosen.
    if (const HWND candidates = state.ui.candidateWindow.handle())
        DestroyWindow(candidates);
    state.ui.invalidateToolWindows();
    EndDialog(dialog, 1);
}

bool onCommand(HWND dialog, SettingsDialogState& state, WORD id, WORD notification) {
    if (id == IDC_SKIN_LIST) {
        if (notification == LBN_SELCHANGE)
            onSkinChosen(dialog, state);
        return true;
    }
    if (id != IDOK)
        return false;
    onOk(dialog, state);
    return true;
}

} // namespace

void showSettingsDialog(HWND owner, ProcessHost& process, ThreadUi& ui) {
    Module* module = process.module();
    if (!module)
        return;
    SettingsDialogState state{process, ui, *module, {}};
    runModalDialog(process.instance(), kSettingsDialog, owner, state,
                   DialogHandlers<SettingsDialogState>{onInit, onCommand});
    // The control is gone with the dialog; the picture it showed goes with the state.
}

} // namespace tovi
