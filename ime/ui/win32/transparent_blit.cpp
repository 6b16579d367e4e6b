#include "ui/win32/transparent_blit.h"

#include "ui/win32/gdi_objects.h"
#include "ui/win32/screen.h"

namespace tovi {

void transparentBlit(HDC destination, const Rect& to, HDC source, const Rect& from, Rgb key) {
    const int w = from.width();
    const int h = from.height();
    if (w <= 0 || h <= 0 || to.width() <= 0 || to.height() <= 0)
        return;
    // The mask: 1 where the source has the key colour.
    const MemoryDc maskDc(destination);
    const UniqueBitmap mask(CreateBitmap(w, h, 1, 1, nullptr));
    // The source with the key colour's pixels made black.
    const MemoryDc imageDc(destination);
    const UniqueBitmap image(CreateCompatibleBitmap(destination, w, h));
    if (!maskDc.get() || !mask || !imageDc.get() || !image)
        return;
    const Selected maskSelected(maskDc.get(), mask.get());
    const Selected imageSelected(imageDc.get(), image.get());

    const COLORREF oldBackground = SetBkColor(source, colorOf(key));
    BitBlt(maskDc.get(), 0, 0, w, h, source, from.left, from.top, SRCCOPY);
    SetBkColor(source, oldBackground);

    BitBlt(imageDc.get(), 0, 0, w, h, source, from.left, from.top, SRCCOPY);
    const COLORREF oldText = SetTextColor(imageDc.get(), RGB(255, 255, 255));
    const COLORREF oldImageBackground = SetBkColor(imageDc.get(), RGB(0, 0, 0));
    BitBlt(imageDc.get(), 0, 0, w, h, maskDc.get(), 0, 0, 0x00220326); // DSna: key pixels to black
    SetTextColor(imageDc.get(), oldText);
    SetBkColor(imageDc.get(), oldImageBackground);

    const int oldMode = SetStretchBltMode(destination, COLORONCOLOR);
    const COLORREF oldDestText = SetTextColor(destination, RGB(0, 0, 0));
    const COLORREF oldDestBackground = SetBkColor(destination, RGB(255, 255, 255));
    StretchBlt(destination, to.left, to.top, to.width(), to.height(), maskDc.get(), 0, 0, w, h,
               SRCAND);
    StretchBlt(destination, to.left, to.top, to.width(), to.height(), imageDc.get(), 0, 0, w, h,
               SRCPAINT);
    SetTextColor(destination, oldDestText);
    SetBkColor(destination, oldDestBackground);
    SetStretchBltMode(destination, oldMode);
}

} // namespace tovi
