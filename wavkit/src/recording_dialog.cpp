// The recording dialog: records through the MCI "waveaudio" device in the
// target document's format until the user stops, shows the length, the size
// and the free space every second, pauses and resumes, and reads the take
// into the document when it goes.
//
// The document is changed only when a take was saved and read completely:
// No to the overwrite question, a device that fails, or a take that cannot
// be read leave it as it was.
#include <sonrel/messages.h>

#include <cstdio>
#include <string>

#include "dialogs_private.h"
#include "document.h"
#include "entry.h"
#include "filedialogs.h"
#include "recording.h"

namespace rec {

namespace {

constexpr int kAnimation = 101, kFileName = 102, kFormat = 201, kCdStart = 202;
constexpr int kKilobytes = 301, kLength = 302, kFreeSpace = 303, kPause = 555;
constexpr UINT_PTR kTimer = 4;
constexpr UINT kTimerMs = 1000;

struct Take {
    HWND target = nullptr;  // the document the take goes into
    std::string temp;
    MCIDEVICEID device = 0;  // 0: no device open
    DWORD bytesPerSec = 0;
    bool recorded = false;  // still set when the dialog goes: the take is read in
    bool paused = false;
};
Take g_take;

void show_mci_error(HWND dlg, MCIERROR err) {
    char text[256] = "";
    if (!mciGetErrorString(err, text, sizeof text))
        std::snprintf(text, sizeof text, "The recording device failed (error %lu).",
                      static_cast<unsigned long>(err));
    ErrorBox(dlg, text);
}

void close_device() {
    if (g_take.device) mciSendCommand(g_take.device, MCI_CLOSE, 0, 0);
    g_take.device = 0;
}

// Ends the dialog without a take.
void give_up(HWND dlg) {
    g_take.recorded = false;
    close_device();
    EndDialog(dlg, 0);
}

bool confirm_overwrite(HWND dlg, HWND doc) {
    doc::Pin<InfoBlock> info(doc, PROP_INFO);
    std::string text = std::string("Do you confirm overwriting\n") + (info ? info->path : "") + "?";
    info.release();
    return MessageBox(dlg, text.c_str(), "Overwrite", MB_ICONQUESTION | MB_YESNO) == IDYES;
}

MCIERROR open_and_record(const HeaderBlock& h) {
    MCI_OPEN_PARMS open{};
    open.lpstrDeviceType = "waveaudio";
    open.lpstrElementName = "";
    if (MCIERROR err =
            mciSendCommand(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, DWORD_PTR(&open)))
        return err;
    g_take.device = open.wDeviceID;
    MCI_WAVE_SET_PARMS set{};
    set.nChannels = h.channels;
    set.nSamplesPerSec = h.samplesPerSec;
    set.nAvgBytesPerSec = h.bytesPerSec;
    set.nBlockAlign = h.blockAlign;
    set.wBitsPerSample = h.bitsPerSample;
    DWORD formatFlags = MCI_WAVE_SET_CHANNELS | MCI_WAVE_SET_SAMPLESPERSEC |
                        MCI_WAVE_SET_AVGBYTESPERSEC | MCI_WAVE_SET_BLOCKALIGN |
                        MCI_WAVE_SET_BITSPERSAMPLE;
    if (MCIERROR err = mciSendCommand(g_take.device, MCI_SET, formatFlags, DWORD_PTR(&set)))
        return err;
    MCI_RECORD_PARMS record{};
    return mciSendCommand(g_take.device, MCI_RECORD, MCI_RECORD_INSERT, DWORD_PTR(&record));
}

// The CD the CD player keeps open under "cd" starts where the user asked.
void start_cd(HWND dlg) {
    char play[64];
    std::snprintf(play, sizeof play, "play cd from %d:%d:%d:00", g_params.track, g_params.minutes,
                  g_params.seconds);
    mciSendString("set cd time format tmsf wait", nullptr, 0, nullptr);
    mciSendString(play, nullptr, 0, nullptr);
    SetDlgItemText(dlg, kCdStart,
                   cd_start_text(g_params.track, g_params.minutes, g_params.seconds).c_str());
}

void play_animation(HWND dlg) {
    (void)Animate_Play(GetDlgItem(dlg, kAnimation), 0, 0xFFFF, -1);
}

void init(HWND dlg) {
    g_take = Take{};
    g_take.recorded = true;
    HWND doc = doc::active_document(g_params.frame);
    if (!doc) {
        g_take.recorded = false;
        return;
    }
    g_take.target = doc;
    g_take.temp = temp_file();
    HeaderBlock h{};
    {
        doc::Pin<HeaderBlock> p(doc, PROP_HEADER);
        if (!p) return give_up(dlg);
        h = *p;
    }
    if (h.dataSize != 0 && !confirm_overwrite(dlg, doc)) return give_up(dlg);
    SetDlgItemText(dlg, kFormat,
                   record_format_text(h.bitsPerSample, h.samplesPerSec, h.channels).c_str());
    {
        doc::Pin<InfoBlock> info(doc, PROP_INFO);
        SetDlgItemText(dlg, kFileName, info ? info->path : "");
    }
    g_take.bytesPerSec = h.bytesPerSec;
    if (MCIERROR err = open_and_record(h)) {
        close_device();
        show_mci_error(dlg, err);
        return give_up(dlg);
    }
    if (g_params.cd) start_cd(dlg);
    SetTimer(dlg, kTimer, kTimerMs, nullptr);
    auto inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtr(g_params.frame, GWLP_HINSTANCE));
    (void)Animate_OpenEx(GetDlgItem(dlg, kAnimation), inst, "RECORD");
    play_animation(dlg);
}

void show_progress(HWND dlg) {
    if (!g_take.device) return;
    MCI_STATUS_PARMS status{};
    status.dwItem = MCI_STATUS_POSITION;
    if (mciSendCommand(g_take.device, MCI_STATUS, MCI_STATUS_ITEM, DWORD_PTR(&status))) return;
    DWORD ms = DWORD(status.dwReturn);
    SetDlgItemText(dlg, kLength, length_text(ms).c_str());
    SetDlgItemText(dlg, kKilobytes, kilobytes_text(ms, g_take.bytesPerSec).c_str());
    // The drive is named by the first characters of the folder on the platform
    // it came from; here the folder itself names it.
    std::string folder = PlatformFolder(GetTempPath);
    DWORD perCluster = 0, perSector = 0, freeClusters = 0, total = 0;
    if (GetDiskFreeSpace(folder.c_str(), &perCluster, &perSector, &freeClusters, &total))
        SetDlgItemInt(dlg, kFreeSpace, free_megabytes(perSector, freeClusters, perCluster), FALSE);
}

void toggle_pause(HWND dlg) {
    MCI_GENERIC_PARMS generic{};
    HWND anim = GetDlgItem(dlg, kAnimation);
    if (!g_take.paused) {
        (void)Animate_Stop(anim);
        KillTimer(dlg, kTimer);
        g_take.paused = true;
        if (g_take.device) mciSendCommand(g_take.device, MCI_PAUSE, MCI_WAIT, DWORD_PTR(&generic));
        return;
    }
    g_take.paused = false;
    SetTimer(dlg, kTimer, kTimerMs, nullptr);
    play_animation(dlg);
    if (g_take.device) mciSendCommand(g_take.device, MCI_RESUME, MCI_WAIT, DWORD_PTR(&generic));
}

// Stop Recording: the take is saved to the temporary file; the CD plays on.
void stop(HWND dlg) {
    if (!g_take.device) {
        EndDialog(dlg, 0);
        return;
    }
    MCI_GENERIC_PARMS generic{};
    MCIERROR err = mciSendCommand(g_take.device, MCI_STOP, MCI_WAIT, DWORD_PTR(&generic));
    if (!err) {
        MCI_SAVE_PARMS save{};
        save.lpfilename = g_take.temp.c_str();
        err = mciSendCommand(g_take.device, MCI_SAVE, MCI_SAVE_FILE | MCI_WAIT, DWORD_PTR(&save));
    }
    if (err) {
        show_mci_error(dlg, err);
        return give_up(dlg);
    }
    close_device();
    EndDialog(dlg, 0);
}

// A take starts with no mark and the view at its start.
void clear_mark(HWND doc) {
    DocumentLock guard(doc);
    doc::Pin<PositionBlock> pos(doc, PROP_POSITION);
    if (!pos) return;
    pos->markStart = pos->markLength = 0;
    pos->viewStart = 0;
}

// The take replaces the document's format and samples; the old undo record no
// longer fits them and the document is now unsaved.
void read_take(HWND frame) {
    HWND doc = g_take.target;
    SetMouseWait(frame);
    if (IsWindow(doc) && ReloadWAV(frame, doc, g_take.temp.c_str())) {
        ForbidUndo(doc);
        doc::update_peaks(doc);
        clear_mark(doc);
        SetFileNotSaved(doc);
        InvalidateRect(reinterpret_cast<HWND>(SendMessage(frame, UM_GETSTATUSBAR, 0, 0)), nullptr,
                       TRUE);
        InvalidateRect(reinterpret_cast<HWND>(SendMessage(frame, UM_GETPREVIEW, 0, 0)), nullptr,
                       TRUE);
        InvalidateRect(doc, nullptr, TRUE);
        EnableScrollBar(doc, SB_HORZ, ESB_ENABLE_BOTH);
        SendMessage(doc, UM_DOCCHANGED, 0, 0);
    }
    SetMouseActive();
}

void finish(HWND dlg) {
    (void)Animate_Close(GetDlgItem(dlg, kAnimation));
    KillTimer(dlg, kTimer);
    // A dialog taken down while still recording leaves no take.
    if (g_take.device) {
        g_take.recorded = false;
        close_device();
    }
    if (g_take.recorded && g_take.target) read_take(g_params.frame);
    if (!g_take.temp.empty()) DeleteFile(g_take.temp.c_str());
    g_take = Take{};
}

INT_PTR CALLBACK record_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
    return entry::guarded(FALSE, [&]() -> INT_PTR {
        switch (msg) {
            case WM_INITDIALOG:
                filedlg::centre_over_parent(dlg, dlgs::kRaise);
                init(dlg);
                return TRUE;
            case WM_TIMER:
                if (wp == kTimer && !g_take.paused) show_progress(dlg);
                return TRUE;
            case WM_DESTROY:
                finish(dlg);
                return FALSE;
            case WM_COMMAND:
                if (LOWORD(wp) == kPause) {
                    toggle_pause(dlg);
                    return TRUE;
                }
                if (LOWORD(wp) == IDCANCEL) {
                    stop(dlg);
                    return TRUE;
                }
                return FALSE;
        }
        return FALSE;
    });
}

}  // namespace

void run_recording(HWND frame) {
    auto inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtr(frame, GWLP_HINSTANCE));
    DialogBoxParam(inst, g_params.cd ? "RECORDTOFILECD" : "RECORDTOFILE", frame, record_proc, 0);
}

}  // namespace rec
