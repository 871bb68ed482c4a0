// rvg32: the user's settings and a few drawing shortcuts.
//
// Settings are text values under backslash paths whose first component is the
// product root ("Sonrel\Settings\Main\X"). They live in one INI file in the
// configuration folder; every write is flushed at once so that another running
// copy reads it. Numbers are stored as decimal text, booleans as "1"/"0".
//
// Drawing operations take the device context first; coordinates are client
// pixels; colours are 0x00BBGGRR values.
#pragma once

#include <platform/platform.h>

#define RVG32_API extern "C" __attribute__((visibility("default")))

// The value's text, or the default when absent. The pointer stays valid until
// the next RegGetString call on the same thread; callers copy it at once.
RVG32_API const char* RegGetString(const char* path, const char* def);
RVG32_API WORD RegGetWord(const char* path, WORD def);
RVG32_API DWORD RegGetDWord(const char* path, DWORD def);
RVG32_API BOOL RegGetBool(const char* path, BOOL def);
// Stores the text, creating the path as needed; FALSE when it could not be written.
RVG32_API BOOL RegWriteString(const char* path, const char* text);

// Boxes take the platform's rectangle: left/top inside, right/bottom outside.
// Lines end before their end point, as LineTo does. RVCreateFont takes the
// height in points; RVGetStockObject gives the stock label font for any number.
RVG32_API void Line(HDC hdc, int x1, int y1, int x2, int y2);
RVG32_API void LineEx(HDC hdc, int x1, int y1, int x2, int y2, COLORREF color);
RVG32_API void FilledBox(HDC hdc, int left, int top, int right, int bottom, COLORREF color);
RVG32_API void EmptyBox(HDC hdc, int left, int top, int right, int bottom, COLORREF color);
RVG32_API void Down3Dbox(HDC hdc, int left, int top, int right, int bottom);
RVG32_API void Flat3Dbox(HDC hdc, int left, int top, int right, int bottom);
RVG32_API void Down3Drectangle(HDC hdc, int left, int top, int right, int bottom);
RVG32_API void Text(HDC hdc, int x, int y, const char* text);
RVG32_API void ExtText(HDC hdc, int left, int top, int right, int bottom, const char* text,
                       UINT format);
RVG32_API void ShowBitmap(HDC hdc, int x, int y, HBITMAP bitmap);
RVG32_API void ShowResourceBitmap(HDC hdc, HINSTANCE inst, const char* name, int x, int y);
RVG32_API HFONT RVCreateFont(int height, int weight, int flag, const char* face);
// A label font; deleting it does no harm to later calls (a stock object).
RVG32_API HFONT RVGetStockObject(int number);

// One multimedia button of the position bar: its rectangle, state and bitmap.
struct RVMULTIMEDIABUTTON {
    RECT rect;
    int state;
    HBITMAP bitmap;
    int enabled;
};
RVG32_API void SetButton(RVMULTIMEDIABUTTON* button, RECT rect, int state, HBITMAP bitmap,
                         int enabled);
// Creates count buttons (child windows of class "RVMMBUTTON" with ids from
// firstId) on the window from the one description: button i lies i widths to
// the right of its rectangle and shows its bitmap. A click sends WM_COMMAND
// (id, BN_CLICKED) to the window. FALSE when a button could not be made.
RVG32_API BOOL CreateRVMULTIMEDIABUTTON(HWND parent, int firstId, int count,
                                        const RVMULTIMEDIABUTTON* buttons, int flags, int reserved);
