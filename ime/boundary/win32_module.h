// The Windows side of the process-wide state: the module instance, its keyboard layout, the
// four tool windows and the bitmaps. It is the engine's host, and it owns the portable Module.
#pragma once

#include "engine/ime_host.h"
#include "ui/gdi_objects_win32.h"
#include "ui/tool_window_win32.h"

#include <memory>
#include <string>
#include <windows.h>

namespace tovi {

class Module;

class Win32Module final : public ImeHost {
public:
    explicit Win32Module(HINSTANCE instance);
    ~Win32Module() override;
    Win32Module(const Win32Module&) = delete;
    Win32Module& operator=(const Win32Module&) = delete;

    HINSTANCE instance() const { return instance_; }

    bool generateMessage(ContextHandle context, std::uint32_t message, std::uintptr_t wParam,
                         std::intptr_t lParam) override;
    void commitText(ContextHandle context, std::u16string_view text) override;
    void endComposition(ContextHandle context, bool withResult) override;
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

    ToolWindow statusWindow{L"DEDU_STATUS", &UiPrivate::status};
    ToolWindow promptWindow{L"DEDU_PROMPT", &UiPrivate::prompt};
    ToolWindow infoWindow{L"DEDU_INFO", &UiPrivate::info};
    ToolWindow candidateWindow{L"DEDU_CAND", &UiPrivate::candidate};
    // The composition window handle; no class uses it, so it stays null.
    HWND compositionWindow = nullptr;

    // The module's own keyboard layout, once found.
    HKL ownLayout = nullptr;
    UniqueBitmap candidateBitmap;
    UniqueBitmap statusBitmap;
    UINT_PTR timer = 0;
    // The info window's current message and for how long it shows.
    std::u16string infoText;
    unsigned infoMilliseconds = 0;

private:
    HINSTANCE instance_;
};

// The process's Windows state, or null outside attach..detach.
Win32Module* win32Module();

// Process attach and detach, in their fixed order.
void InitGlobals(HINSTANCE instance);
void FreeGlobals();

} // namespace tovi
