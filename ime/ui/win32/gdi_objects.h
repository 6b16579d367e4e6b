// RAII owners for GDI objects and device contexts: every object a painter makes is released on
// every path, and every object it selects is put back.
#pragma once

#include <windows.h>

#include <utility>

namespace tovi {

// Owns one GDI object (bitmap, pen, brush, font, region); DeleteObject at the end.
template <typename Handle>
class UniqueGdi {
public:
    UniqueGdi() = default;
    explicit UniqueGdi(Handle object) : object_(object) {}
    ~UniqueGdi() { reset(); }
    UniqueGdi(UniqueGdi&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    UniqueGdi& operator=(UniqueGdi&& other) noexcept {
        reset(std::exchange(other.object_, nullptr));
        return *this;
    }
    UniqueGdi(const UniqueGdi&) = delete;
    UniqueGdi& operator=(const UniqueGdi&) = delete;

    Handle get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void reset(Handle object = nullptr) {
        if (object_)
            DeleteObject(object_);
        object_ = object;
    }
    // Hands the object over (to SetWindowRgn, which owns the region from then on).
    Handle release() { return std::exchange(object_, nullptr); }

private:
    Handle object_ = nullptr;
};

using UniqueBitmap = UniqueGdi<HBITMAP>;
using UniquePen = UniqueGdi<HPEN>;
using UniqueBrush = UniqueGdi<HBRUSH>;
using UniqueFont = UniqueGdi<HFONT>;
using UniqueRegion = UniqueGdi<HRGN>;

// Selects an object into a device context for a scope and puts the old one back.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object)
        : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~Selected() {
        if (old_ && old_ != HGDI_ERROR)
            SelectObject(dc_, old_);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
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

// A memory device context compatible with another; DeleteDC at the end.
class MemoryDc {
public:
    explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
    ~MemoryDc() {
        if (dc_)
            DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// BeginPaint .. EndPaint.
class PaintSession {
public:
    explicit PaintSession(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintSession() { EndPaint(window_, &paint_); }
    PaintSession(const PaintSession&) = delete;
    PaintSession& operator=(const PaintSession&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

} // namespace tovi
