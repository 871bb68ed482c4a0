// Drawing the player from its pictures. The worker draws the buttons and the
// displays through GetDC as well as WM_PAINT does, so every function here may
// run on either thread.
#include <kit/rvg32.h>

#include <cstdio>

#include "cdplayer.h"
#include "frame.h"

namespace cdplayer {

namespace {

constexpr COLORREF kDisplayColour = 0x081A00;  // the display windows' background
constexpr COLORREF kNoticeColour = 0x40C0FF;

void picture(HDC dc, const char* name, int x, int y) {
    ShowResourceBitmap(dc, g_shell.instance, name, x, y);
}

// Five characters of digits and colons from x, digits 16 pixels wide and the
// colon 6.
void draw_digits(HDC dc, const std::string& text, int x, int y) {
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            char name[8] = {'D', 'I', 'G', c, 0};
            picture(dc, name, x, y);
            x += 16;
        } else if (c == ':') {
            picture(dc, "DIGD", x, y);
            x += 6;
        }
    }
}

}  // namespace

void draw_button(HDC dc, int n, bool yellow) {
    char name[24];
    std::snprintf(name, sizeof name, "CD%d%s", n, yellow ? "YELLOW" : "BLUE");
    POINT o = button_origin(n);
    picture(dc, name, o.x, o.y);
}

void draw_more(HDC dc, bool yellow) {
    POINT o = button_origin(CD_MAX_BUTTONS + 1);
    picture(dc, yellow ? "CDMOREYELLOW" : "CDMOREBLUE", o.x, o.y);
}

void unlight_all(HDC dc) {
    for (int n = 1; n <= CD_MAX_BUTTONS; ++n)
        if (g_cdPlayer.lit[n].exchange(0)) draw_button(dc, n, false);
    if (g_cdPlayer.moreLit.exchange(0)) draw_more(dc, false);
}

void draw_display(HDC dc) {
    std::string time, track, notice;
    {
        std::lock_guard lock(g_cdPlayer.display);
        time = g_cdPlayer.timeText;
        track = g_cdPlayer.trackText;
        notice = g_cdPlayer.notice;
    }
    FilledBox(dc, 187, 27, 271, 58, kDisplayColour);
    FilledBox(dc, 273, 27, 309, 58, kDisplayColour);
    if (!notice.empty()) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, kNoticeColour);
        HGDIOBJ old = SelectObject(dc, RVGetStockObject(2));
        Text(dc, 194, 36, notice.c_str());
        SelectObject(dc, old);
        return;
    }
    draw_digits(dc, time, 190, 30);
    if (track.size() == 2) {
        draw_digits(dc, track.substr(0, 1), 275, 30);
        draw_digits(dc, track.substr(1, 1), 291, 30);
    }
}

void paint(HWND player) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(player, &ps);
    picture(dc, "CDBACK", 0, 0);
    const int count = g_cdPlayer.trackCount;
    for (int n = 1; n <= count && n <= CD_MAX_BUTTONS; ++n) draw_button(dc, n, g_cdPlayer.lit[n]);
    if (count > CD_MAX_BUTTONS) draw_more(dc, g_cdPlayer.moreLit);
    picture(dc, "CDSEEKBACK", 147, 82);
    picture(dc, "CDSTOP", 188, 82);
    picture(dc, "CDPLAY", 229, 82);
    picture(dc, "CDSEEKFORWARD", 270, 82);
    draw_display(dc);
    EndPaint(player, &ps);
}

}  // namespace cdplayer
