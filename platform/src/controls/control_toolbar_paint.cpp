// Painting of "ToolbarWindow32": the button face, etched separators on a flat
// toolbar, raised or sunken button edges, checked buttons on a dithered face,
// and each button's image, greyed when the button is disabled.
#include <vector>

#include "controls/common_controls.h"

namespace plat::dlg {

namespace {

// The checked look: button face and highlight in a one-pixel checker.
void dither(HDC dc, const RECT& r) {
    COLORREF face = GetSysColor(COLOR_BTNFACE), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    for (int y = r.top + 1; y < r.bottom - 1; ++y)
        for (int x = r.left + 1; x < r.right - 1; ++x)
            SetPixel(dc, x, y, (x + y) % 2 ? light : face);
}

void separator(HDC dc, const RECT& r) {
    int x = (r.left + r.right) / 2 - 1;
    RECT shadow{x, r.top + 2, x + 1, r.bottom - 2}, light{x + 1, r.top + 2, x + 2, r.bottom - 2};
    FillRect(dc, &shadow, GetSysColorBrush(COLOR_BTNSHADOW));
    FillRect(dc, &light, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
}

}  // namespace

void paint_toolbar(HWND hwnd, const std::vector<RECT>& rects, const std::vector<TBBUTTON>& buttons,
                   HIMAGELIST images) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT all{};
    GetClientRect(hwnd, &all);
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    bool flat = GetWindowLong(hwnd, GWL_STYLE) & TBSTYLE_FLAT;
    for (size_t i = 0; i < buttons.size(); ++i) {
        const TBBUTTON& b = buttons[i];
        RECT r = rects[i];
        if (b.fsStyle & BTNS_SEP) {
            if (flat) separator(dc, r);
            continue;
        }
        bool down = b.fsState & TBSTATE_PRESSED, checked = b.fsState & TBSTATE_CHECKED;
        if (checked && !down) dither(dc, r);
        if (down || checked)
            DrawEdge(dc, &r, flat ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
        else if (!flat)
            DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
        QImage image;
        if (!imagelist_image(images, b.iBitmap, &image)) continue;
        int shift = (down || checked) ? 1 : 0;
        int x = r.left + (r.right - r.left - image.width()) / 2 + shift;
        int y = r.top + (r.bottom - r.top - image.height()) / 2 + shift;
        draw_image(dc, x, y, image, !(b.fsState & TBSTATE_ENABLED));
    }
    EndPaint(hwnd, &ps);
}

}  // namespace plat::dlg
