#include "clipboard_selection.h"

#include <windows.h>

namespace tovi {
namespace {

// The focus window, its top-level ancestor, and two levels of the ancestor's children.
void askToCopy() {
    HWND window = GetFocus();
    if (!window)
        return;
    SendMessageW(window, WM_COPY, 0, 0);
    for (HWND parent = GetParent(window); parent && parent != window; parent = GetParent(window))
        window = parent;
    SendMessageW(window, WM_COPY, 0, 0);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageW(child, WM_COPY, 0, 0);
        for (HWND grandchild = GetWindow(child, GW_CHILD); grandchild;
             grandchild = GetWindow(grandchild, GW_HWNDNEXT))
            SendMessageW(grandchild, WM_COPY, 0, 0);
    }
}

class OpenClipboardScope {
public:
    OpenClipboardScope() : open_(OpenClipboard(nullptr) != FALSE) {}
    ~OpenClipboardScope() {
        if (open_)
            CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool open() const { return open_; }

private:
    bool open_;
};

class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL memory) : memory_(memory), data_(GlobalLock(memory)) {}
    ~GlobalLockScope() {
        if (data_)
            GlobalUnlock(memory_);
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    const void* data() const { return data_; }

private:
    HGLOBAL memory_;
    void* data_;
};

} // namespace

std::optional<std::u16string> collectSelection(std::size_t limit) {
    askToCopy();
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT))
        return std::nullopt;
    const OpenClipboardScope clipboard;
    if (!clipboard.open())
        return std::nullopt;
    const HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data)
        return std::nullopt;
    const GlobalLockScope locked(data);
    if (!locked.data())
        return std::nullopt;
    // Bounded by the memory block as well as by the terminator, which another program may have
    // left out.
    const std::size_t units = GlobalSize(data) / sizeof(char16_t);
    const auto* text = static_cast<const char16_t*>(locked.data());
    std::u16string copied;
    for (std::size_t i = 0; i < units && i < limit && text[i] != u'\0'; ++i)
        copied += text[i];
    return copied;
}

} // namespace tovi
