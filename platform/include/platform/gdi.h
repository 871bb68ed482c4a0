// Painting into each window's backing image (32-bit RGB). Colours are
// 0x00BBGGRR. BeginPaint/EndPaint inside WM_PAINT; GetDC from any thread draws
// under the window's lock and schedules a repaint. Memory device contexts hold
// a selected bitmap and BitBlt between contexts.
#pragma once

#include <platform/window.h>

PLATFORM_API HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
PLATFORM_API BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
PLATFORM_API HDC GetDC(HWND hwnd);
PLATFORM_API int ReleaseDC(HWND hwnd, HDC hdc);
PLATFORM_API HDC CreateCompatibleDC(HDC hdc);
PLATFORM_API HBITMAP CreateCompatibleBitmap(HDC hdc, int w, int h);
PLATFORM_API BOOL DeleteDC(HDC hdc);
PLATFORM_API int SaveDC(HDC hdc);
PLATFORM_API BOOL RestoreDC(HDC hdc, int saved);

PLATFORM_API HPEN CreatePen(int style, int width, COLORREF color);
PLATFORM_API HBRUSH CreateSolidBrush(COLORREF color);
PLATFORM_API HBRUSH GetSysColorBrush(int index);
PLATFORM_API HFONT CreateFont(int height, int width, int escapement, int orientation, int weight,
                              DWORD italic, DWORD underline, DWORD strike, DWORD charset,
                              DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                              DWORD pitchAndFamily, LPCSTR face);
PLATFORM_API HGDIOBJ GetStockObject(int index);           // stock objects survive DeleteObject
PLATFORM_API HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj);  // gives the one it replaces
PLATFORM_API BOOL DeleteObject(HGDIOBJ obj);
PLATFORM_API int GetObject(HGDIOBJ obj, int size, LPVOID out);  // BITMAP for a bitmap
PLATFORM_API COLORREF GetSysColor(int index);                   // one fixed table
PLATFORM_API HBITMAP PlatformCreateBitmap(int w, int h, const DWORD* pixels0RGB);

PLATFORM_API int SetROP2(HDC hdc, int rop);
PLATFORM_API int GetROP2(HDC hdc);
PLATFORM_API int SetBkMode(HDC hdc, int mode);
PLATFORM_API COLORREF SetBkColor(HDC hdc, COLORREF color);
PLATFORM_API COLORREF SetTextColor(HDC hdc, COLORREF color);
PLATFORM_API BOOL MoveToEx(HDC hdc, int x, int y, POINT* old);
PLATFORM_API BOOL LineTo(HDC hdc, int x, int y);
PLATFORM_API BOOL Polyline(HDC hdc, const POINT* pts, int n);
PLATFORM_API COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
PLATFORM_API COLORREF GetPixel(HDC hdc, int x, int y);
PLATFORM_API BOOL Rectangle(HDC hdc, int l, int t, int r, int b);
PLATFORM_API BOOL Ellipse(HDC hdc, int l, int t, int r, int b);
PLATFORM_API int FillRect(HDC hdc, const RECT* rc, HBRUSH brush);
PLATFORM_API int FrameRect(HDC hdc, const RECT* rc, HBRUSH brush);
PLATFORM_API BOOL InvertRect(HDC hdc, const RECT* rc);
PLATFORM_API BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop);
PLATFORM_API BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop);
PLATFORM_API BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw,
                             int sh, DWORD rop);
PLATFORM_API BOOL TextOut(HDC hdc, int x, int y, LPCSTR text, int len);
PLATFORM_API int DrawText(HDC hdc, LPCSTR text, int len, RECT* rc, UINT format);
PLATFORM_API BOOL GetTextExtentPoint32(HDC hdc, LPCSTR text, int len, SIZE* out);
PLATFORM_API int IntersectClipRect(HDC hdc, int l, int t, int r, int b);
PLATFORM_API int SelectClipRgn(HDC hdc, HRGN rgn);  // null rgn: no clipping
PLATFORM_API BOOL DrawEdge(HDC hdc, RECT* rc, UINT edge, UINT flags);
PLATFORM_API BOOL DrawIcon(HDC hdc, int x, int y, HICON icon);
#define NULLREGION 1
#define SIMPLEREGION 2
#define COMPLEXREGION 3
#define ERROR_REGION 0
#define BDR_RAISEDOUTER 0x0001
#define BDR_SUNKENOUTER 0x0002
#define BDR_RAISEDINNER 0x0004
#define BDR_SUNKENINNER 0x0008
#define EDGE_RAISED (BDR_RAISEDOUTER | BDR_RAISEDINNER)
#define EDGE_SUNKEN (BDR_SUNKENOUTER | BDR_SUNKENINNER)
#define EDGE_ETCHED (BDR_SUNKENOUTER | BDR_RAISEDINNER)
#define BF_LEFT 0x0001
#define BF_TOP 0x0002
#define BF_RIGHT 0x0004
#define BF_BOTTOM 0x0008
#define BF_RECT (BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM)
