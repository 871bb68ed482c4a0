// Test hooks on windows: one pass of pending events, and reading a window's
// backing image.
#include <platform/testing.h>

#include <QCoreApplication>
#include <mutex>

#include "painting/painting_private.h"
#include "windows/windows_private.h"

using namespace plat;

extern "C" {

void PlatformProcessEvents(void) {
    if (!PlatformIsUiThread()) return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (proc_depth() == 0) delete_pending_widgets();
    PlatformServeSentMessages();
    deliver_posted();
    paint_all();
    flush_shown();
}

BOOL PlatformReadWindowPixels(HWND hwnd, DWORD* out, int maxPixels, int* w, int* h) {
    QImage* img = nullptr;
    std::recursive_mutex* m = nullptr;
    if (!backing_image(hwnd, &img, &m) || !img) return FALSE;
    std::unique_lock<std::recursive_mutex> lock;
    if (m) lock = std::unique_lock<std::recursive_mutex>(*m);
    if (w) *w = img->width();
    if (h) *h = img->height();
    if (!out) return TRUE;
    QImage rgb = img->depth() == 32 ? *img : img->convertToFormat(QImage::Format_RGB32);
    long long n = 0;
    for (int y = 0; y < rgb.height() && n < maxPixels; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width() && n < maxPixels; ++x) out[n++] = row[x] & 0x00FFFFFFu;
    }
    return TRUE;
}

COLORREF PlatformWindowPixel(HWND hwnd, int x, int y) {
    QImage* img = nullptr;
    std::recursive_mutex* m = nullptr;
    if (!backing_image(hwnd, &img, &m) || !img) return 0xFFFFFFFFu;
    std::unique_lock<std::recursive_mutex> lock;
    if (m) lock = std::unique_lock<std::recursive_mutex>(*m);
    if (!img->valid(x, y)) return 0xFFFFFFFFu;
    return gdi::to_colorref(img->pixel(x, y));
}
}
