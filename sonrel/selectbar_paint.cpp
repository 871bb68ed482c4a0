// The select bar's fields and how they are drawn.
#include <kit/rvg32.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "bars.h"
#include "frame.h"
#include "selectbar.h"
#include "selectbar_private.h"

SelectField SelectFieldAt(int x, int w) {
    if (x >= 0 && x < 80) return FIELD_RECENT;
    if (x > 80 && x < 170) return FIELD_EXTENSIONS;
    if (x > 170 && x < 275) return FIELD_WINDOWS;
    if (x > w - 320 && x < w - 220) return FIELD_CLIPBOARD;
    if (x > w - 220 && x < w - 200) return FIELD_INFO;
    if (x > w - 200 && x < w - 184) return FIELD_ZOOMIN;
    if (x > w - 184 && x < w - 116) return FIELD_ZOOM;
    if (x > w - 116 && x < w - 100) return FIELD_ZOOMOUT;
    return FIELD_NONE;
}

long long ClipboardFileSize(void) {
    std::error_code error;
    auto bytes = std::filesystem::file_size(PlatformFolder(GetTempPath) + "SnrCLIP.WAV", error);
    return error ? -1 : static_cast<long long>(bytes);
}

std::vector<std::string> ClipboardFieldTexts(long long bytes, const char* tempDir) {
    if (bytes <= 10) return {"Clipboard"};
    // No drive letters here: the first folder of the path says where it lives.
    std::string where = tempDir ? tempDir : "";
    size_t second = where.find('/', 1);
    if (second != std::string::npos) where.resize(second);
    if (where.empty()) where = "/";
    const std::string size = std::to_string(static_cast<unsigned long long>(bytes / 1024)) + " KB";
    return {size + "  (on " + where + ")", size + " (" + where + ")", size};
}

std::string ZoomText(DWORD zoom) {
    if (zoom == 0) return "Whole File";
    char text[32];
    std::snprintf(text, sizeof text, "%u x", static_cast<unsigned>(zoom));
    return text;
}

namespace selectbar {

namespace {

void picture(HDC dc, const char* name, int x, int y) {
    ShowResourceBitmap(dc, g_shell.instance ? g_shell.instance : GetModuleHandle(nullptr), name, x,
                       y);
}

void text(HDC dc, int x, int y, const char* t) {
    Text(dc, x, y, t);
}

void raised_lines(HDC dc, int l, int t, int r, int b) {
    FilledBox(dc, l, t, r, b, GetSysColor(COLOR_BTNFACE));
    FilledBox(dc, l, t, r, t + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    FilledBox(dc, l, t, l + 1, b, GetSysColor(COLOR_BTNHIGHLIGHT));
    FilledBox(dc, l, b - 1, r, b, GetSysColor(COLOR_BTNSHADOW));
    FilledBox(dc, r - 1, t, r, b, GetSysColor(COLOR_BTNSHADOW));
}

// A button field: flat, or sunken while it is pressed.
void button_box(HDC dc, SelectField f, int l, int r, int h) {
    if (g_select.pressed == f)
        Down3Dbox(dc, l, 0, r, h);
    else
        Flat3Dbox(dc, l, 0, r, h);
}

void rolldown(HDC dc, SelectField f, int l, int r, int h, const char* title, int arrowX) {
    if (f == FIELD_RECENT && g_select.pressed != f)
        raised_lines(dc, l, 0, r, h);
    else
        button_box(dc, f, l, r, h);
    text(dc, l + 2, 2, title);
    picture(dc, g_select.pressed == f ? "ROLLUP" : "ROLLDOWN", arrowX, 4);
}

void clipboard(HDC dc, int R, int h) {
    long long bytes = ClipboardFileSize();
    if (bytes <= 10) {
        Flat3Dbox(dc, R - 320, 0, R - 220, h);
        picture(dc, "EMPTYCLP", R - 317, 4);
    } else {
        Down3Dbox(dc, R - 320, 0, R - 220, h);
        picture(dc, "FULLCLP", R - 316, 4);
    }
    const int room = R - 222 - (R - 304);
    std::vector<std::string> texts =
        ClipboardFieldTexts(bytes, PlatformFolder(GetTempPath).c_str());
    for (const std::string& t : texts) {
        SIZE size{};
        GetTextExtentPoint32(dc, t.c_str(), int(t.size()), &size);
        if (size.cx <= room || &t == &texts.back()) {
            text(dc, R - 304, 3, t.c_str());
            break;
        }
    }
}

}  // namespace

void Paint(HWND bar) {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(bar, &ps);
    RECT rc{};
    GetClientRect(bar, &rc);
    const int R = rc.right, H = rc.bottom;
    HFONT font = RVGetStockObject(2);
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    rolldown(dc, FIELD_RECENT, 0, 80, H, "Recent Files", 63);
    rolldown(dc, FIELD_EXTENSIONS, 80, 170, H, "Extensions", 153);
    rolldown(dc, FIELD_WINDOWS, 170, 275, H, "Active Windows", 258);
    Flat3Dbox(dc, 275, 0, R - 320, H);
    clipboard(dc, R, H);
    button_box(dc, FIELD_INFO, R - 219, R - 201, H);
    picture(dc, "INFOROLL", R - 218, 2);
    button_box(dc, FIELD_ZOOMIN, R - 200, R - 184, H);
    picture(dc, "ZOOMIN", R - 199, 4);
    HWND doc = ActiveDoc(bar);
    std::string zoom = "Zoom";
    DWORD factor = 0;
    if (doc && ReadZoom(doc, &factor)) zoom = ZoomText(factor);
    if (g_select.pressed == FIELD_ZOOM) Down3Dbox(dc, R - 184, 0, R - 116, H);
    ExtText(dc, R - 184, 0, R - 116, H, zoom.c_str(), 37);
    button_box(dc, FIELD_ZOOMOUT, R - 116, R - 100, H);
    picture(dc, "ZOOMOUT", R - 115, 4);
    text(dc, R - 98, 3, "Threads");
    picture(dc, "IDTHREADS", R - 15, 4);
    SelectObject(dc, old);
    DeleteObject(font);
    EndPaint(bar, &ps);
}

}  // namespace selectbar
