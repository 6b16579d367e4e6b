// RAII owners for GDI objects.
#pragma once

#include <windows.h>

namespace tovi {

class UniqueBitmap {
public:
    UniqueBitmap() = default;
    explicit UniqueBitmap(HBITMAP bitmap) : bitmap_(bitmap) {}
    ~UniqueBitmap() { reset(); }
    UniqueBitmap(const UniqueBitmap&) = delete;
    UniqueBitmap& operator=(const UniqueBitmap&) = delete;
    HBITMAP get() const { return bitmap_; }
    void reset(HBITMAP bitmap = nullptr) {
        if (bitmap_)
            DeleteObject(bitmap_);
        bitmap_ = bitmap;
    }

private:
    HBITMAP bitmap_ = nullptr;
};

// Borrows a window's device context for a scope.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

} // namespace tovi
