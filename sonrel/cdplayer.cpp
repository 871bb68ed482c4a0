// The CD player's window: creation and destruction, clicks, its two menus and
// the reinitialising of the device.
#include "cdplayer.h"

#include <kit/rvg32.h>
#include <sonrel/dialogs.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>

#include <cstdlib>

#include "frame.h"

CdPlayerState g_cdPlayer;

namespace {

using namespace cdplayer;

LRESULT CALLBACK MarkerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_PAINT) return DefWindowProc(hwnd, msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    ShowResourceBitmap(dc, g_shell.instance, "CDPOS", 0, 0);
    EndPaint(hwnd, &ps);
    return 0;
}

void make_marker(HWND player) {
    WNDCLASSEX wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = MarkerProc;
    wc.hInstance = g_shell.instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "CDPOSWIN";
    RegisterClassEx(&wc);
    g_cdPlayer.marker = CreateWindowEx(0, "CDPOSWIN", "Current Position", WS_CHILD | WS_VISIBLE,
                                       150, 110, 6, 12, player, nullptr, g_shell.instance, nullptr);
}

// Whether the player has a disc to act on; with none its CD buttons do nothing.
bool has_disc() {
    return g_cdPlayer.deviceOpen && g_cdPlayer.trackCount > 0;
}

void unlight() {
    HDC dc = GetDC(g_cdPlayer.player);
    unlight_all(dc);
    ReleaseDC(g_cdPlayer.player, dc);
}

void play_track(int track) {
    std::lock_guard lock(g_cdPlayer.mci);
    ask("set cd time format tmsf");
    ask("play cd from %d:0:0:0 notify", track);
}

void reinitialise() {
    {
        std::lock_guard lock(g_cdPlayer.mci);
        ask("stop cd wait");
        ask("close cd wait");
    }
    open_device();
    InvalidateRect(g_cdPlayer.player, nullptr, TRUE);
}

// Previous (step -1) or next (+1) track, round the disc.
void step_track(int step) {
    std::lock_guard lock(g_cdPlayer.mci);
    ask("set cd time format tmsf");
    int t = std::atoi(ask("status cd current track").c_str()) + step;
    const int count = g_cdPlayer.trackCount;
    if (t < 1) t = count;
    if (t > count) t = 1;
    ask("play cd from %d:0:0:0 notify", t);
}

void seek(int offset) {
    std::lock_guard lock(g_cdPlayer.mci);
    ask("set cd time format tmsf");
    int t = std::atoi(ask("status cd current track").c_str());
    ask("set cd time format msf");
    long length = msf_frames(ask("status cd length track %d", t));
    long start = msf_frames(ask("status cd position track %d", t));
    long target = seek_target(offset, start, length);
    ask("set cd time format msf wait");
    ask("play cd from %ld:%ld:%ld", target / 4500, target / 75 % 60, target % 75);
}

void record(HWND player) {
    HWND frame = GetParent(player);
    HWND doc = reinterpret_cast<HWND>(SendMessage(frame, UM_GETACTIVEDOC, 0, 0));
    if (!doc || IsFileWorking(doc)) SendMessage(frame, WM_COMMAND, IDM_NEW, 0);
    std::string at;
    {
        std::lock_guard lock(g_cdPlayer.mci);
        ask("set cd time format tmsf");
        at = ask("status cd position");
    }
    ShowRecordCD(frame, field(at, 0), field(at, 3), field(at, 6));
}

void add_items(HMENU menu, const std::pair<UINT, const char*>* items, size_t n, UINT checked) {
    for (size_t i = 0; i < n; ++i) {
        if (!items[i].second) {
            AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING | (items[i].first == checked ? MF_CHECKED : MF_UNCHECKED);
        AppendMenu(menu, flags, items[i].first, items[i].second);
    }
}

void mode_menu(HWND player, bool time) {
    static const std::pair<UINT, const char*> kTime[] = {
        {CD_TIME_OF_TRACK, "Time of track"},
        {CD_TIME_ON_DISK, "Time on disk"},
        {0, nullptr},
        {CD_LENGTH_OF_TRACK, "Length of current track"},
        {CD_LENGTH_OF_DISK, "Length of disk"},
        {0, nullptr},
        {CD_START_OF_TRACK, "Start of track"},
        {0, nullptr},
        {CD_LEFT_ON_TRACK, "Left on current track"},
        {CD_LEFT_ON_DISK, "Left on disk"},
    };
    static const std::pair<UINT, const char*> kTrack[] = {
        {CD_SHOW_CURRENT_TRACK, "Current track"},
        {CD_SHOW_NUMBER_OF_TRACKS, "Number of tracks on disk"},
    };
    HMENU menu = CreatePopupMenu();
    POINT at{time ? 190 : 275, 75};
    if (time) {
        add_items(menu, kTime, std::size(kTime), UINT(g_cdPlayer.timeMode));
        SetMenuDefaultItem(menu, CD_TIME_OF_TRACK, FALSE);
    } else {
        add_items(menu, kTrack, std::size(kTrack), UINT(g_cdPlayer.trackMode));
    }
    ClientToScreen(player, &at);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, player, nullptr);
    DestroyMenu(menu);
}

void button_down(HWND player, int x, int y) {
    Hit hit = hit_test(x, y, g_cdPlayer.trackCount);
    const bool transport = hit.kind >= HIT_PREVIOUS && hit.kind <= HIT_NEXT;
    if (transport && has_disc()) unlight();
    switch (hit.kind) {
        case HIT_TRACK: {
            HDC dc = GetDC(player);
            draw_button(dc, hit.track, true);
            ReleaseDC(player, dc);
            g_cdPlayer.pressed = hit.track;
            break;
        }
        case HIT_REINIT:
            reinitialise();
            break;
        case HIT_PREVIOUS:
        case HIT_NEXT:
            if (has_disc()) step_track(hit.kind == HIT_NEXT ? 1 : -1);
            break;
        case HIT_STOP:
            if (has_disc()) ask("stop cd wait");
            break;
        case HIT_PLAY:
            if (has_disc()) ask("play cd notify");
            break;
        case HIT_TIME_MENU:
        case HIT_TRACK_MENU:
            mode_menu(player, hit.kind == HIT_TIME_MENU);
            break;
        case HIT_OPTIONS:
            ShowOptionsPropertySheetNum(GetParent(player), 4);
            break;
        case HIT_RECORD:
            if (has_disc()) record(player);
            break;
        case HIT_SEEK:
            if (has_disc()) seek(hit.offset);
            break;
        case HIT_NONE:
            break;
    }
}

void button_up(HWND player) {
    const int pressed = g_cdPlayer.pressed;
    g_cdPlayer.pressed = 0;
    if (!pressed) return;
    HDC dc = GetDC(player);
    draw_button(dc, pressed, false);
    g_cdPlayer.lit[pressed] = 0;
    ReleaseDC(player, dc);
    if (pressed < 19 && has_disc()) {
        unlight();
        play_track(pressed);
    }
}

void created(HWND player) {
    g_cdPlayer.player = player;
    g_cdPlayer.timeMode = CD_TIME_OF_TRACK;
    g_cdPlayer.trackMode = CD_SHOW_CURRENT_TRACK;
    for (auto& l : g_cdPlayer.lit) l = 0;
    g_cdPlayer.moreLit = 0;
    g_cdPlayer.pressed = 0;
    {
        std::lock_guard lock(g_cdPlayer.display);
        g_cdPlayer.timeText = "00:00";
        g_cdPlayer.trackText = "00";
        g_cdPlayer.notice.clear();
    }
    make_marker(player);
    open_device();
    start_worker(player);
}

void destroyed() {
    ask("close cd");
    end_worker();
    if (g_cdPlayer.marker) DestroyWindow(g_cdPlayer.marker);
    g_cdPlayer.marker = nullptr;
    g_cdPlayer.player = nullptr;
    g_cdPlayer.deviceOpen = 0;
    g_cdPlayer.trackCount = 0;
}

// A disc came or went since the worker last looked: its tracks are read again.
void media_changed(HWND player, bool present) {
    if (present) {
        std::lock_guard lock(g_cdPlayer.mci);
        ask("set cd time format tmsf");
        g_cdPlayer.trackCount = std::atoi(ask("status cd number of tracks").c_str());
    } else {
        g_cdPlayer.trackCount = 0;
        SetWindowPos(g_cdPlayer.marker, nullptr, 150, 110, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (auto& l : g_cdPlayer.lit) l = 0;
    g_cdPlayer.moreLit = 0;
    InvalidateRect(player, nullptr, TRUE);
}

}  // namespace

LRESULT CALLBACK CdPlayerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            created(hwnd);
            return 0;
        case WM_DESTROY:
            destroyed();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paint(hwnd);
            return 0;
        case WM_NCHITTEST: {
            POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            ScreenToClient(hwnd, &pt);
            if (pt.y <= 15 && pt.x < 290) return HTCAPTION;
            return HTCLIENT;
        }
        case WM_LBUTTONDOWN:
            button_down(hwnd, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return 0;
        case WM_LBUTTONUP:
            button_up(hwnd);
            return 0;
        case WM_COMMAND: {
            const UINT id = LOWORD(wp);
            if (id >= 1 && id <= 9) g_cdPlayer.timeMode = int(id);
            if (id >= 11 && id <= 19) g_cdPlayer.trackMode = int(id);
            return 0;
        }
        case WM_DEVICECHANGE:
            reinitialise();
            return TRUE;
        case CDM_MOVEMARKER:
            if (g_cdPlayer.marker)
                SetWindowPos(g_cdPlayer.marker, nullptr, int(wp), 110, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        case CDM_MEDIA:
            media_changed(hwnd, wp != 0);
            return 0;
        default:
            return DefWindowProc(hwnd, msg, wp, lp);
    }
}

void CdPlayerStartTrack(int track) {
    HWND player = g_cdPlayer.player;
    if (!player) return;
    if (!IsWindowVisible(player)) SendMessage(g_shell.frame, WM_COMMAND, IDM_CDPLAYER, 0);
    if (track < 1 || track > g_cdPlayer.trackCount || !has_disc()) return;
    unlight();
    play_track(track);
}
