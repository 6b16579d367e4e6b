#include "resident_instance.h"

namespace tovi::screen {
namespace {

constexpr wchar_t kResidentMark[] = L"TVemoraScreenResident";

} // namespace

void markResident(HWND form) {
    SetPropW(form, kResidentMark, reinterpret_cast<HANDLE>(1));
}

void unmarkResident(HWND form) {
    RemovePropW(form, kResidentMark);
}

bool residentInstanceRunning() {
    HWND form = nullptr;
    // Every top-level window with the caption, whichever process made it.
    while ((form = FindWindowExW(nullptr, form, nullptr, kFormCaption)) != nullptr)
        if (GetPropW(form, kResidentMark))
            return true;
    return false;
}

} // namespace tovi::screen
