// Drawing shortcuts on the platform's device contexts. Boxes follow the
// platform's rectangles: left and top are inside, right and bottom are not, so
// FilledBox(l, t, r, b) paints the same pixels as FillRect of {l, t, r, b} and
// EmptyBox outlines exactly those pixels.
#include <kit/rvg32.h>

#include <cstring>

namespace {

void strip(HDC hdc, int l, int t, int r, int b, HBRUSH brush) {
    if (r <= l || b <= t) return;
    RECT rc{l, t, r, b};
    FillRect(hdc, &rc, brush);
}

}  // namespace

RVG32_API void Line(HDC hdc, int x1, int y1, int x2, int y2) {
    MoveToEx(hdc, x1, y1, nullptr);
    LineTo(hdc, x2, y2);
}

RVG32_API void LineEx(HDC hdc, int x1, int y1, int x2, int y2, COLORREF color) {
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ old = SelectObject(hdc, pen);
    Line(hdc, x1, y1, x2, y2);
    SelectObject(hdc, old);
    DeleteObject(pen);
}

RVG32_API void FilledBox(HDC hdc, int left, int top, int right, int bottom, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    strip(hdc, left, top, right, bottom, brush);
    DeleteObject(brush);
}

RVG32_API void EmptyBox(HDC hdc, int left, int top, int right, int bottom, COLORREF color) {
    if (right <= left || bottom <= top) return;
    HBRUSH brush = CreateSolidBrush(color);
    RECT rc{left, top, right, bottom};
    FrameRect(hdc, &rc, brush);
    DeleteObject(brush);
}

// A sunken frame one pixel wide: shadow along the top and left, highlight along
// the bottom and right (the highlight owns the top-right and bottom-left corners).
RVG32_API void Down3Drectangle(HDC hdc, int left, int top, int right, int bottom) {
    HBRUSH shadow = GetSysColorBrush(COLOR_BTNSHADOW);
    HBRUSH light = GetSysColorBrush(COLOR_BTNHIGHLIGHT);
    strip(hdc, left, top, right - 1, top + 1, shadow);
    strip(hdc, left, top, left + 1, bottom - 1, shadow);
    strip(hdc, left, bottom - 1, right, bottom, light);
    strip(hdc, right - 1, top, right, bottom, light);
}

// A button-face box inside a sunken frame.
RVG32_API void Down3Dbox(HDC hdc, int left, int top, int right, int bottom) {
    strip(hdc, left + 1, top + 1, right - 1, bottom - 1, GetSysColorBrush(COLOR_BTNFACE));
    Down3Drectangle(hdc, left, top, right, bottom);
}

// A button-face box inside a one-pixel shadow outline.
RVG32_API void Flat3Dbox(HDC hdc, int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top) return;
    strip(hdc, left + 1, top + 1, right - 1, bottom - 1, GetSysColorBrush(COLOR_BTNFACE));
    RECT rc{left, top, right, bottom};
    FrameRect(hdc, &rc, GetSysColorBrush(COLOR_BTNSHADOW));
}

RVG32_API void Text(HDC hdc, int x, int y, const char* text) {
    if (!text) return;
    TextOut(hdc, x, y, text, static_cast<int>(std::strlen(text)));
}

RVG32_API void ExtText(HDC hdc, int left, int top, int right, int bottom, const char* text,
                       UINT format) {
    if (!text) return;
    RECT rc{left, top, right, bottom};
    DrawText(hdc, text, -1, &rc, format);
}

RVG32_API void ShowBitmap(HDC hdc, int x, int y, HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || GetObject(bitmap, sizeof bm, &bm) == 0) return;
    HDC mem = CreateCompatibleDC(hdc);
    if (!mem) return;
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(hdc, x, y, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

RVG32_API void ShowResourceBitmap(HDC hdc, HINSTANCE inst, const char* name, int x, int y) {
    HBITMAP bitmap = LoadBitmap(inst, name);
    if (!bitmap) return;
    ShowBitmap(hdc, x, y, bitmap);
    DeleteObject(bitmap);
}

// The height is in points and becomes a character height in pixels at 96 dots
// per inch (8 points: 11 pixels), as dialog fonts are sized.
RVG32_API HFONT RVCreateFont(int height, int weight, int flag, const char* face) {
    int pixels = -((height * 96 + 36) / 72);
    return CreateFont(pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0,
                      face ? face : "");
}

RVG32_API HFONT RVGetStockObject(int number) {
    return GetStockObject(DEFAULT_GUI_FONT);
}
