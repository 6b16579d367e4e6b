// The Windows side of the process-wide state: the module instance, its keyboard layout, the
// four tool windows, their fonts and the bitmaps. It is the engine's host and what the windows
// show, and it owns the portable Module,
// which it builds at its first use rather than at process attach: attach runs under the loader
// lock in every process that loads the module, so it reads no file.
#pragma once

#include "core/module.h"
#include "engine/ime_host.h"
#include "imm_ddk.h"
#include "ui/dialog_open_flags.h"
#include "ui/settings_dialog_model.h"
#include "ui/win32/candidate_window.h"
#include "ui/win32/gdi_objects.h"
#include "ui/win32/info_window.h"
#include "ui/win32/prompt_window.h"
#include "ui/win32/soft_keyboard_window.h"
#include "ui/win32/status_window.h"
#include "ui/win32/tool_window.h"

#include <memory>
#include <string>

namespace tovi {

class Win32Module final : public ImeHost, public WindowContent {
public:
    Win32Module(HINSTANCE instance, std::uint32_t instanceNumber);
    ~Win32Module() override;
    Win32Module(const Win32Module&) = delete;
    Win32Module& operator=(const Win32Module&) = delete;

    HINSTANCE instance() const { return instance_; }
    // The portable module, built from the installation folder at the first call; null when it
    // cannot be built (it is tried again at the next call).
    Module* module();
    // The module if it was built; never builds it.
    Module* builtModule() { return module_.get(); }
    // The logon desktop: remembered here for good, so that a module built later knows it too.
    void markSecureDesktop();

    void startComposition(ContextHandle context) override;
    void updateComposition(ContextHandle context) override;
    void endComposition(ContextHandle context) override;
    void commitText(ContextHandle context, std::u16string_view text) override;
    void invalidateWindows() override;
    void invalidateStatusWindow() override;
    void invalidateCandidateWindow() override;
    void showInfoMessage(std::u16string_view text, unsigned milliseconds) override;
    void beep() override;
    bool isKeyDown(unsigned virtualKey) override;
    void openUrl(std::u16string_view url) override;
    void startProgram(std::u16string_view commandLine) override;
    void sendBackspace() override;
    std::shared_ptr<CodeTableReporter> codeTableReporter() override;

    std::uint32_t settingsFlags() override;
    Scheme scheme() override;
    CandidateView candidateView() override;
    PromptView promptView() override;
    void promptRow(std::array<std::u16string, PromptRow::kFields>& row) override;
    InfoMessage& infoMessage() override { return infoMessage_; }
    void turnPage(bool forward) override;
    void selectCandidate(int slot) override;
    StatusDisplay statusDisplay() override;
    StatusClickState statusClickState() override;
    void applyStatusClick(const StatusClick& click) override;
    StatusMenuMarks statusMenuMarks() override;
    void chooseMenuCommand(StatusMenu menu, std::uint32_t command) override;
    Point statusPosition() override;
    void moveStatus(Point topLeft) override;

    // The soft keyboard: shown with the current layout, hidden for good, switched to another
    // layout (and shown), or hidden and shown again with the status window.
    void showSoftKeyboard();
    void hideSoftKeyboard();
    void selectSoftKeyboard(std::size_t layout);
    void setSoftKeyboardVisible(bool visible);

    // The settings dialog, modal, owned by `owner`; one at a time, never on the logon desktop.
    // False when it was not shown.
    bool runSettingsDialog(HWND owner);
    // The word maker dialog, modal, owned by the window of the current input context, with the
    // application's selection; one at a time, never on the logon desktop.
    void openWordMaker();
    // Loads the installed status and candidate pictures again (after the settings dialog
    // installed a skin).
    void reloadBitmaps();

    // Repaints the status window, and the prompt and info windows when the settings show them.
    void invalidateToolWindows();
    // The info message's timer ran out.
    void infoTimerExpired();
    void stopInfoTimer();

    UniqueBitmap candidateBitmap;
    UniqueBitmap statusBitmap;
    UINT_PTR timer = 0;

private:
    ModuleFonts fonts_;
    InfoMessage infoMessage_;
    ToolWindowServices windowServices_;

public:
    StatusWindow statusWindow{windowServices_, statusBitmap};
    PromptWindow promptWindow{windowServices_};
    InfoWindow infoWindow{windowServices_};
    CandidateWindow candidateWindow{windowServices_, candidateBitmap};
    SoftKeyboardWindow softKeyboardWindow{windowServices_.instance, fonts_};
    // The module's modal dialogs that run.
    DialogOpenFlags openDialogs = 0;
    // The status picture the settings dialog previews and installs, relative to the
    // installation folder; it keeps the skin chosen last from one run of the dialog to the next.
    std::u16string statusBitmapName{kInstalledStatusPicture};
    // The composition window handle; no class uses it, so it stays null.
    HWND compositionWindow = nullptr;

    // The module's own keyboard layout, once found.
    HKL ownLayout = nullptr;

private:
    bool mayLaunch();
    // The window of the current input context, or null.
    HWND contextWindow();
    // Opens a help file of the installation folder in the help viewer, or starts a program of
    // it; says so in the info window when the file is missing or cannot be started.
    void launch(const ProgramStart& start);
    void runSettingsChoice(const SettingsChoice& choice);

    HINSTANCE instance_;
    std::uint32_t instanceNumber_;
    bool secureDesktop_ = false;
    // The window the info timer was set on (null for a thread timer).
    HWND timerWindow_ = nullptr;
    std::unique_ptr<Module> module_;
};

// The process's Windows state, or null outside attach..detach.
Win32Module* win32Module();
// The process's portable module, built at its first use; null outside attach..detach or when it
// cannot be built.
Module* modulePtr();

// Process attach and detach, in their fixed order.
void InitGlobals(HINSTANCE instance);
void FreeGlobals();

} // namespace tovi
