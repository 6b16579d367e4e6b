#include "indicator.h"

#include "imm_ddk.h"
#include "process_host.h"

#include <vector>

namespace tovi {
namespace {
constexpr UINT kSetImeIcon = 1124;
constexpr UINT kSetImeTooltips = 1125;
constexpr UINT kRemoveDefaultMenuItems = 1126;
} // namespace

HKL FindOwnLayout() {
    const int count = GetKeyboardLayoutList(0, nullptr);
    if (count <= 0)
        return nullptr;
    std::vector<HKL> layouts(static_cast<std::size_t>(count));
    const int filled = GetKeyboardLayoutList(count, layouts.data());
    for (int i = 0; i < filled && i < count; ++i) {
        wchar_t file[64] = {};
        if (ImmGetIMEFileNameW(layouts[i], file, 64) <= 0)
            continue;
        // Some systems report the path the layout was installed with; the name decides.
        const wchar_t* name = file;
        for (const wchar_t* p = file; *p; ++p)
            if (*p == L'\\' || *p == L'/')
                name = p + 1;
        if (lstrcmpiW(name, L"tovi.ime") == 0)
            return layouts[i];
    }
    return nullptr;
}

void UpdateIndicator() {
    ProcessHost* host = processHost();
    if (!host)
        return;
    if (!host->ownLayout)
        host->ownLayout = FindOwnLayout();
    if (!host->ownLayout)
        return;
    const HWND indicator = FindWindowW(L"Indicator", nullptr);
    if (!IsWindow(indicator))
        return;
    // The session's atom table is small and shared: the process adds its name once and keeps it.
    if (!host->tooltipAtom)
        host->tooltipAtom = GlobalAddAtomW(L"朔昕输入法（全词库版）");
    const ATOM tooltip = host->tooltipAtom;
    const Module* module = modulePtr();
    const bool selected = module && module->process().contextSelected;
    const auto layout = reinterpret_cast<LPARAM>(host->ownLayout);
    PostMessageW(indicator, kSetImeIcon, selected ? 1 : static_cast<WPARAM>(-1), layout);
    PostMessageW(indicator, kSetImeTooltips, selected ? tooltip : static_cast<WPARAM>(-1), layout);
    PostMessageW(indicator, kRemoveDefaultMenuItems, selected ? 1 : 0, layout);
}

} // namespace tovi
