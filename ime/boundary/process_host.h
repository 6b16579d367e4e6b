// The module's state that belongs to the whole process: the portable Module (settings, engine,
// tables), the fonts and pictures every window draws with, and the dialogs and programs the
// module starts. It is the engine's host; what the host does to windows it hands to the calling
// thread's ThreadUi, since each GUI thread has windows of its own.
//
// Every use runs inside the module gate (exception_barrier.h), so one thread at a time reaches
// this state. The Module is built at its first use rather than at process attach: attach runs
// under the loader lock in every process that loads the module, so it reads no file.
#pragma once

#include "composition_target.h"
#include "core/module.h"
#include "engine/ime_host.h"
#include "imm_ddk.h"
#include "platform/win32_handle.h"
#include "ui/dialog_open_flags.h"
#include "ui/settings_dialog_model.h"
#include "ui/status_menus.h"
#include "ui/win32/gdi_objects.h"
#include "ui/win32/module_fonts.h"

#include <map>
#include <memory>
#include <string>

namespace tovi {

class ThreadUi;

class ProcessHost final : public ImeHost {
public:
    explicit ProcessHost(HINSTANCE instance);
    ~ProcessHost() override;
    ProcessHost(const ProcessHost&) = delete;
    ProcessHost& operator=(const ProcessHost&) = delete;

    HINSTANCE instance() const { return instance_; }
    // The portable module, built from the installation folder at the first call; null when it
    // cannot be built (it is tried again at the next call).
    Module* module();
    // The module if it was built; never builds it.
    Module* builtModule() { return module_.get(); }
    // The logon desktop: remembered here for good, so that a module built later knows it too.
    void markSecureDesktop();

    // The calling thread's windows and input state, made at the thread's first call.
    ThreadUi& threadUi();
    // The calling thread's, if it has called before.
    ThreadUi* currentThreadUi();

    // Writes the settings when a window or dialog action changed them (a key saves its own).
    void saveSettings();

    // Notes that the calling thread uses `context`: IMM32 calls the module for a context only on
    // the thread that owns it.
    void noteContext(HIMC context);
    // Whether `context` was last used on another thread. Such a context is never locked or sent
    // anything from this one.
    bool ofAnotherThread(HIMC context) const;
    // Whether the engine's input belongs to a context of another thread: what this thread's
    // contexts do (deactivation, selection, closing the status bar) then leaves it alone.
    bool inputOfAnotherThread() const;

    // Sends the compositions to `target` instead of the input contexts (null: to the contexts
    // again). The target outlives its use here.
    void setCompositionTarget(CompositionTarget* target) { compositionTarget_ = target; }

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

    // The settings dialog, modal, owned by `owner`; one at a time in the process, never on the
    // logon desktop. False when it was not shown.
    bool runSettingsDialog(HWND owner);
    // The word maker dialog, modal, owned by `owner`, with the application's selection; one at
    // a time, never on the logon desktop.
    void openWordMaker(HWND owner);
    // Opens a help file of the installation folder in the help viewer, or starts a program of
    // it; says so in the info window when the file is missing or cannot be started.
    void launch(const ProgramStart& start);
    // Loads the installed status and candidate pictures again (after the settings dialog
    // installed a skin).
    void reloadBitmaps();
    bool mayLaunch();

    ModuleFonts& fonts() { return fonts_; }
    UniqueBitmap candidateBitmap;
    UniqueBitmap statusBitmap;
    // The module's modal dialogs that run, in any thread.
    DialogOpenFlags openDialogs = 0;
    // The status picture the settings dialog previews and installs, relative to the
    // installation folder; it keeps the skin chosen last from one run of the dialog to the next.
    std::u16string statusBitmapName{kInstalledStatusPicture};
    // The module's own keyboard layout, once found.
    HKL ownLayout = nullptr;
    // The language indicator's tooltip, added to the global atom table once per process.
    ATOM tooltipAtom = 0;

private:
    // Forgets the threads that have ended; their windows ended with them.
    void forgetEndedThreads();

    HINSTANCE instance_;
    CompositionTarget* compositionTarget_ = nullptr;
    bool secureDesktop_ = false;
    ModuleFonts fonts_;
    std::unique_ptr<Module> module_;
    std::map<DWORD, std::unique_ptr<ThreadUi>> threads_;
    std::map<HIMC, DWORD> contextThreads_;
};

// The process's host, or null outside attach..detach.
ProcessHost* processHost();
// The process's portable module, built at its first use; null outside attach..detach or when it
// cannot be built.
Module* modulePtr();
// The calling thread's windows and input state; null outside attach..detach.
ThreadUi* threadUiPtr();

// Process attach and detach. Attach allocates the host and registers the window classes; detach
// writes no file and destroys no window (it runs under the loader lock), it only frees memory.
void InitGlobals(HINSTANCE instance);
void FreeGlobals();

} // namespace tovi
