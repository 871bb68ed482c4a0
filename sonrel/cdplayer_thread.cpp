// The player's worker: one cycle after another until the player is
// destroyed, each about 850 ms plus a dozen MCI queries. It ends
// cooperatively through the layer's Sleep when the player asks it to.
#include <sonrel/wavkit.h>

#include <cstdlib>

#include "cdplayer.h"

namespace cdplayer {

namespace {

constexpr DWORD kCycleMs = 850;

// Runs draw on the player's image from this thread.
template <class Draw>
void on_player(Draw draw) {
    HWND player = g_cdPlayer.player;
    HDC dc = player ? GetDC(player) : nullptr;
    if (!dc) return;
    draw(dc);
    ReleaseDC(player, dc);
}

void set_notice(const char* text) {
    bool changed;
    {
        std::lock_guard lock(g_cdPlayer.display);
        changed = g_cdPlayer.notice != text;
        g_cdPlayer.notice = text;
    }
    if (changed) on_player([](HDC dc) { draw_display(dc); });
}

void one_cycle() {
    if (!check_disc()) {
        Sleep(kCycleMs);
        return;
    }
    int t;
    {
        std::lock_guard lock(g_cdPlayer.mci);
        t = current_track();
    }
    indicate_track(t);
    Sleep(kCycleMs);
    refresh_display();
}

DWORD worker(LPVOID) {
    while (!g_cdPlayer.stop) {
        try {
            one_cycle();
        }
        PLATFORM_RETHROW_THREAD_EXIT catch (...) {
            ExceptionBox(g_cdPlayer.player, "CDPlayer (PositionThread)");
        }
    }
    return 0;
}

}  // namespace

bool check_disc() {
    if (!g_cdPlayer.deviceOpen) {
        set_notice(CD_NO_DRIVE_TEXT);
        return false;
    }
    bool present;
    {
        std::lock_guard lock(g_cdPlayer.mci);
        present = ask("status cd media present") == "true";
    }
    if (int(present) != g_cdPlayer.discPresent.exchange(present))
        PostMessage(g_cdPlayer.player, CDM_MEDIA, present, 0);
    set_notice(present ? "" : CD_NO_DISC_TEXT);
    return present;
}

void indicate_track(int t) {
    if (t < 1) return;
    on_player([t](HDC dc) {
        if (t > CD_MAX_BUTTONS) {
            if (!g_cdPlayer.moreLit) {
                draw_more(dc, true);
                g_cdPlayer.moreLit = 1;
            } else {
                for (int n = 1; n <= CD_MAX_BUTTONS; ++n)
                    if (g_cdPlayer.lit[n].exchange(0)) draw_button(dc, n, false);
            }
        } else if (g_cdPlayer.lit[t]) {
            unlight_all(dc);
        } else {
            draw_button(dc, t, true);
            g_cdPlayer.lit[t] = 1;
        }
    });
}

void refresh_display() {
    Readings r;
    int x;
    {
        std::lock_guard lock(g_cdPlayer.mci);
        int t = current_track();
        r.trackStart = ask("status cd position track %d", t);
        r.position = ask("status cd position");
        r.trackLength = ask("status cd length track %d", t);
        x = marker_x(msf_frames(r.position), msf_frames(r.trackStart), msf_frames(r.trackLength));
    }
    PostMessage(g_cdPlayer.player, CDM_MOVEMARKER, WPARAM(x), 0);
    const int mode = g_cdPlayer.timeMode;
    Readings shown;
    {
        std::lock_guard lock(g_cdPlayer.mci);
        int t = current_track();
        if (mode == CD_TIME_OF_TRACK || mode == CD_START_OF_TRACK || mode == CD_LEFT_ON_TRACK)
            shown.trackStart = ask("status cd position track %d", t);
        if (mode == CD_TIME_OF_TRACK || mode == CD_TIME_ON_DISK || mode == CD_LEFT_ON_TRACK ||
            mode == CD_LEFT_ON_DISK)
            shown.position = ask("status cd position");
        if (mode == CD_LENGTH_OF_TRACK || mode == CD_LEFT_ON_TRACK)
            shown.trackLength = ask("status cd length track %d", t);
        if (mode == CD_LENGTH_OF_DISK || mode == CD_LEFT_ON_DISK)
            shown.discLength = ask("status cd length");
        if (mode == CD_LEFT_ON_DISK) shown.discStart = ask("status cd start position");
    }
    std::string track;
    {
        std::lock_guard lock(g_cdPlayer.mci);
        track = ask(g_cdPlayer.trackMode == CD_SHOW_NUMBER_OF_TRACKS ? "status cd number of tracks"
                                                                     : "status cd current track");
    }
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02d", std::atoi(track.c_str()) % 100);
    {
        std::lock_guard lock(g_cdPlayer.display);
        g_cdPlayer.timeText = time_text(mode, shown);
        g_cdPlayer.trackText = digits;
    }
    on_player([](HDC dc) { draw_display(dc); });
}

void start_worker(HWND player) {
    g_cdPlayer.stop = 0;
    DWORD id = 0;
    g_cdPlayer.thread = CreateThread(nullptr, 0, worker, nullptr, CREATE_SUSPENDED, &id);
    if (!g_cdPlayer.thread) {
        ErrorBox(player, "CREATETHREAD failed");
        return;
    }
    if (!SetThreadPriority(g_cdPlayer.thread, THREAD_PRIORITY_BELOW_NORMAL))
        ErrorBox(player, "FAILED");
    ResumeThread(g_cdPlayer.thread);
}

void end_worker() {
    if (!g_cdPlayer.thread) return;
    g_cdPlayer.stop = 1;
    TerminateThread(g_cdPlayer.thread, 0);
    CloseHandle(g_cdPlayer.thread);
    g_cdPlayer.thread = nullptr;
}

}  // namespace cdplayer
