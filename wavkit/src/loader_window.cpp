// The RevaZUD loader window: a modeless window of the frame that loads a part
// of a large wave file into a new document. It shows the chosen file's format
// and length, takes a start and a length in time, plays that part through the
// MCI device "hwave" (open on the file for the window's life) and loads it.
// The file name is remembered in SET_REVAZUD_FILENAME.
#include <sonrel/dialogs.h>
#include <sonrel/ids.h>
#include <sonrel/settings.h>

#include <cstdio>
#include <string>

#include "dialogs_private.h"
#include "entry.h"
#include "filedialogs.h"
#include "loader.h"

namespace {

constexpr int kFile = 101, kBrowse = 102, kFormat = 103, kLength = 104, kPlay = 105;
constexpr int kStart = 201, kPartLength = 202;
constexpr char kTimeHelp[] =
    "Type the start and the length as h:mm:ss.fff, m:ss or seconds, for example 20:00 and 10.";

// One loader window at a time: its file and what the file holds.
struct Loader {
    std::string file;
    loader::BigWave wave;
    bool usable = false;
};
Loader g_loader;

HWND owner_of(HWND dlg) {
    return reinterpret_cast<HWND>(GetWindowLongPtr(dlg, DWLP_USER));
}

void open_device() {
    std::string open = "open \"" + g_loader.file + "\" type waveaudio alias hwave";
    mciSendString(open.c_str(), nullptr, 0, nullptr);
}

void close_device() {
    mciSendString("stop hwave wait", nullptr, 0, nullptr);
    mciSendString("close hwave", nullptr, 0, nullptr);
}

// Shows the file and what it holds; the reader's message when it cannot be used.
const char* show_file(HWND dlg) {
    const char* message = nullptr;
    g_loader.usable = false;
    if (!g_loader.file.empty()) {
        message = loader::probe(g_loader.file.c_str(), &g_loader.wave);
        g_loader.usable = message == nullptr;
    }
    SetDlgItemText(dlg, kFile, g_loader.file.c_str());
    SetDlgItemText(dlg, kFormat,
                   g_loader.usable ? loader::format_text(g_loader.wave).c_str() : "No file chosen");
    SetDlgItemText(
        dlg, kLength,
        g_loader.usable ? loader::time_text(loader::duration_ms(g_loader.wave)).c_str() : "");
    EnableWindow(GetDlgItem(dlg, IDOK), g_loader.usable);
    EnableWindow(GetDlgItem(dlg, kPlay), g_loader.usable);
    return message;
}

void init(HWND dlg, HWND owner) {
    SetWindowLongPtr(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(owner));
    filedlg::centre_over_parent(dlg, dlgs::kRaise);
    g_loader = Loader{};
    g_loader.file = SettingText(SET_REVAZUD_FILENAME);
    SetDlgItemText(dlg, kStart, "0:00:00.000");
    SetDlgItemText(dlg, kPartLength, "0:00:10.000");
    show_file(dlg);
    open_device();
}

void browse(HWND dlg) {
    std::string chosen = OpenBox(dlg);
    if (chosen == "FALSE") return;
    close_device();
    g_loader.file = chosen;
    if (const char* message = show_file(dlg)) ErrorBox(dlg, message);
    open_device();
}

// The part the fields name; false after the reason was shown.
bool chosen_part(HWND dlg, loader::Part* part, uint64_t* startMs) {
    if (!g_loader.usable) {
        ErrorBox(dlg, "Choose a wave file first.");
        return false;
    }
    char start[64] = "", length[64] = "";
    GetDlgItemText(dlg, kStart, start, sizeof start);
    GetDlgItemText(dlg, kPartLength, length, sizeof length);
    uint64_t lengthMs = 0;
    if (!loader::parse_time(start, startMs) || !loader::parse_time(length, &lengthMs)) {
        ErrorBox(dlg, kTimeHelp);
        return false;
    }
    if (const char* message = loader::choose_part(g_loader.wave, *startMs, lengthMs, part)) {
        ErrorBox(dlg, message);
        return false;
    }
    return true;
}

void play(HWND dlg) {
    loader::Part part;
    uint64_t startMs = 0;
    if (!chosen_part(dlg, &part, &startMs)) return;
    const loader::BigWave& w = g_loader.wave;
    auto ms = [&](uint64_t bytes) {
        return static_cast<unsigned long long>(bytes / w.blockAlign * 1000 / w.rate);
    };
    char command[128];
    std::snprintf(command, sizeof command, "play hwave from %llu to %llu notify", ms(part.offset),
                  ms(part.offset + part.bytes));
    mciSendString("set hwave time format milliseconds", nullptr, 0, nullptr);
    char text[256] = "";
    if (MCIERROR err = mciSendString(command, nullptr, 0, dlg)) {
        mciGetErrorString(err, text, sizeof text);
        ErrorBox(dlg, text);
    }
}

void load(HWND dlg) {
    loader::Part part;
    uint64_t startMs = 0;
    if (!chosen_part(dlg, &part, &startMs)) return;
    loader::load_part(owner_of(dlg), dlg, g_loader.file.c_str(), g_loader.wave, part);
}

bool command(HWND dlg, int id) {
    switch (id) {
        case IDCANCEL:
            // The frame takes the window down, so its menu check follows.
            SendMessage(owner_of(dlg), WM_COMMAND, IDM_LOADER, 0);
            return true;
        case kBrowse:
            browse(dlg);
            return true;
        case kPlay:
            play(dlg);
            return true;
        case IDOK:
            load(dlg);
            return true;
    }
    return false;
}

INT_PTR CALLBACK loader_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    return entry::guarded(FALSE, [&]() -> INT_PTR {
        switch (msg) {
            case WM_INITDIALOG:
                init(dlg, reinterpret_cast<HWND>(lp));
                // The start is what the user types first; Return then loads.
                SetFocus(GetDlgItem(dlg, kStart));
                return FALSE;
            case MM_MCINOTIFY:
                mciSendString("stop hwave", nullptr, 0, nullptr);
                mciSendString("seek hwave to start", nullptr, 0, nullptr);
                return TRUE;
            case WM_DESTROY:
                RegWriteString(SET_REVAZUD_FILENAME.path, g_loader.file.c_str());
                close_device();
                return FALSE;
            case WM_COMMAND:
                return command(dlg, LOWORD(wp)) ? TRUE : FALSE;
        }
        return FALSE;
    });
}

}  // namespace

WAVKIT_API HWND ShowRevaZUD(HWND owner) {
    return entry::guarded(nullptr, [&] {
        auto inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtr(owner, GWLP_HINSTANCE));
        return CreateDialogParam(inst, "HUGE", owner, loader_proc, reinterpret_cast<LPARAM>(owner));
    });
}
