// The CD player ("CDPlayer"): a 321 x 126 bar inside the frame that plays the
// audio CD through the MCI device opened under the alias "cd". Track buttons
// 1..18 (a "more" button stands for the rest), previous / stop / play / next,
// a five-character time display with seven modes, a two-digit track display,
// a position strip with its marker (child "CDPOSWIN"), a record button and an
// options button.
//
// Its worker thread refreshes the displays about once a second: it blinks the
// current track's button, moves the marker and draws the time and track
// texts, all from MCI queries. It also watches whether a disc is there: with
// no device or no disc the display says so (once) and every CD button does
// nothing; a disc that comes or goes makes the player read its tracks again.
//
// The user-interface thread and the worker both change the device's time
// format; each group of "set time format" and the queries that depend on it
// runs under one lock, so neither reads an answer in the other's format.
#pragma once

#include <platform/platform.h>

#include <atomic>
#include <mutex>
#include <string>

LRESULT CALLBACK CdPlayerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Shows the player if it is hidden and plays track (1 .. track count; other
// numbers play nothing): the CD switch of the command line.
void CdPlayerStartTrack(int track);

// Time modes (the time menu's ids) and track modes (the track menu's ids).
enum CdTimeMode {
    CD_TIME_OF_TRACK = 1,
    CD_TIME_ON_DISK = 2,
    CD_LENGTH_OF_DISK = 3,
    CD_LENGTH_OF_TRACK = 4,
    CD_START_OF_TRACK = 5,
    CD_LEFT_ON_TRACK = 6,
    CD_LEFT_ON_DISK = 7,
};
enum CdTrackMode { CD_SHOW_CURRENT_TRACK = 11, CD_SHOW_NUMBER_OF_TRACKS = 12 };

// The player's private messages, posted by its worker.
#define CDM_MOVEMARKER (WM_USER + 1)  // wParam: the marker's new client x
#define CDM_MEDIA (WM_USER + 2)       // the disc came (wParam 1) or went (0)

#define CD_MAX_BUTTONS 18

// What the display shows when there is nothing to play.
#define CD_NO_DRIVE_TEXT "No CD drive"
#define CD_NO_DISC_TEXT "No disc"

// The one player of the program. Written on the user-interface thread; the
// worker reads the atomics and shares the display texts under `display`.
struct CdPlayerState {
    HWND player;
    HWND marker;
    std::atomic<int> trackCount;
    std::atomic<int> timeMode;
    std::atomic<int> trackMode;
    std::atomic<int> lit[CD_MAX_BUTTONS + 1];  // [n]: button n drawn yellow
    std::atomic<int> moreLit;
    int pressed;                   // the track button held down, 0 for none
    std::atomic<int> deviceOpen;   // "open cdaudio" succeeded
    std::atomic<int> discPresent;  // as the worker last saw it
    std::atomic<int> stop;         // asks the worker to end
    HANDLE thread;
    std::mutex mci;                   // one group of time format and queries at a time
    std::mutex display;               // guards the texts below
    std::string timeText, trackText;  // shown while a disc is there
    std::string notice;               // shown instead when there is none ("" otherwise)
};

extern CdPlayerState g_cdPlayer;

namespace cdplayer {

// --- arithmetic on the device's answers (cdplayer_time.cpp) ---

// The two-digit number at character position at of an answer; 0 when the
// answer is too short or holds no digits there.
int field(const std::string& answer, size_t at);
// Frames (1/75 s) of an msf answer "mm:ss:ff".
long msf_frames(const std::string& answer);
// Whole seconds as "%02d:%02d" (minutes, seconds); below 0 shows "00:00".
std::string minutes_seconds(long frames);
// The first five characters of an answer, or "00:00" when it has fewer.
std::string first_five(const std::string& answer);

// The msf answers a time mode is computed from ("" for those not asked).
struct Readings {
    std::string position;     // "status cd position"
    std::string trackStart;   // "status cd position track t"
    std::string trackLength;  // "status cd length track t"
    std::string discLength;   // "status cd length"
    std::string discStart;    // "status cd start position"
};
// The five characters the time display shows in mode.
std::string time_text(int mode, const Readings& r);
// The marker's client x for position, track start and track length (frames):
// 150 at the track's start to 300 at its end.
int marker_x(long position, long start, long length);
// The frame a click at offset (0 .. 155 pixels into the strip) plays from.
long seek_target(int offset, long start, long length);

// --- layout ---

// Where a left click lands, tested in the player's order.
enum HitKind {
    HIT_NONE,
    HIT_TRACK,  // track button `track`
    HIT_REINIT,
    HIT_PREVIOUS,
    HIT_STOP,
    HIT_PLAY,
    HIT_NEXT,
    HIT_TIME_MENU,
    HIT_TRACK_MENU,
    HIT_OPTIONS,
    HIT_RECORD,
    HIT_SEEK,  // offset pixels into the strip
};
struct Hit {
    HitKind kind;
    int track;   // HIT_TRACK
    int offset;  // HIT_SEEK
};
Hit hit_test(int x, int y, int trackCount);
// The top-left corner of track button n (1 .. 19; 19 is the "more" button).
POINT button_origin(int n);

// --- the device (cdplayer_device.cpp) ---

// Sends a command string to the device; the answer, or "" when it fails.
std::string ask(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Opens the device, sets tmsf and reads the track count (0 without a disc).
void open_device();
// The current track in tmsf, leaving the device in msf; 0 when unknown.
// Caller holds g_cdPlayer.mci.
int current_track();

// --- drawing (cdplayer_paint.cpp) ---

void draw_button(HDC dc, int n, bool yellow);
void draw_more(HDC dc, bool yellow);
// Redraws every lit button (the "more" one too) blue and clears its flag.
void unlight_all(HDC dc);
// The time and track displays, or the notice in their place.
void draw_display(HDC dc);
void paint(HWND player);

// --- the worker (cdplayer_thread.cpp) ---

// Step 2 of a cycle: the current track's button blinks, the "more" button
// lights for tracks above 18.
void indicate_track(int track);
// Steps 4 to 6: marker, time text and track text, read and drawn.
void refresh_display();
// Whether there is a disc to show; says so in the display when not, and tells
// the player when a disc came or went.
bool check_disc();
void start_worker(HWND player);
void end_worker();

}  // namespace cdplayer
