// Everything the engine does to the world outside the module goes through this interface: the
// Windows layer implements it with IMM32 and USER32 (turning compositions into WM_IME_*
// messages), tests with a recorder.
#pragma once

#include "engine/info_messages.h"
#include "tables/code_table_reporter.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace tovi {

// An input context as the engine knows it: the system's handle, opaque here. 0 is "none".
using ContextHandle = std::uintptr_t;

class ImeHost {
public:
    virtual ~ImeHost() = default;

    // The composition of `context` starts, changes or ends (its code or candidates).
    virtual void startComposition(ContextHandle context) = 0;
    virtual void updateComposition(ContextHandle context) = 0;
    virtual void endComposition(ContextHandle context) = 0;
    // Commits `text` as the context's result string.
    virtual void commitText(ContextHandle context, std::u16string_view text) = 0;

    // Repaints the module's candidate, prompt and info windows.
    virtual void invalidateWindows() = 0;
    virtual void invalidateStatusWindow() = 0;
    virtual void invalidateCandidateWindow() = 0;
    // Shows a transient message in the info window.
    virtual void showInfoMessage(std::u16string_view text, unsigned milliseconds) = 0;
    void showInfo(const InfoText& message) { showInfoMessage(message.text, message.milliseconds); }
    // The default system beep.
    virtual void beep() = 0;
    // The live state of a key, as the system reports it now (not from a key-state array).
    virtual bool isKeyDown(unsigned virtualKey) = 0;
    // Opens a web address in the user's browser.
    virtual void openUrl(std::u16string_view url) = 0;
    // Starts a program with a command line whose program path is quoted.
    virtual void startProgram(std::u16string_view commandLine) = 0;
    // Types a Backspace into the application (a press and a release).
    virtual void sendBackspace() = 0;
    // Where the code tables' message boxes go. The loading thread keeps it, and may show a box
    // after the host itself is gone, so it must not depend on the host.
    virtual std::shared_ptr<CodeTableReporter> codeTableReporter() = 0;
};

} // namespace tovi
