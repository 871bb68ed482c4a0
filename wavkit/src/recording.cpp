// The entry points of recording, the level check, and the texts both dialogs show.
#include "recording.h"

#include <sonrel/dialogs.h>
#include <sonrel/ids.h>

#include <cstdio>

#include "dialogs_private.h"
#include "document.h"
#include "entry.h"
#include "filedialogs.h"

namespace rec {

Params g_params;

namespace {

constexpr int kLeftBar = 201, kRightBar = 202;
constexpr int kFormat = 102, kCdStart = 103, kHint = 301, kMixer = 101;
constexpr DWORD kLevelBytes = 800;  // a buffer every 50 ms at 16000 bytes per second
constexpr char kPeakWarning[] = "You should try to turn down the volume.\rVolume peak was reached!";

// The level check's input and its one buffer; the buffer's allocation is
// twice its length.
struct Meter {
    HWAVEIN in = nullptr;
    HGLOBAL headerMem = nullptr, bufferMem = nullptr;
    WAVEHDR* header = nullptr;
};
Meter g_meter;

WAVEFORMATEX level_format() {
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = 2;
    f.nSamplesPerSec = 8000;
    f.nAvgBytesPerSec = 16000;
    f.nBlockAlign = 2;
    f.wBitsPerSample = 8;
    return f;
}

void close_meter() {
    Meter& m = g_meter;
    if (m.in) {
        waveInReset(m.in);
        if (m.header) waveInUnprepareHeader(m.in, m.header, sizeof(WAVEHDR));
        waveInClose(m.in);
    }
    if (m.header) GlobalUnlock(m.headerMem);
    if (m.bufferMem) GlobalUnlock(m.bufferMem);
    GlobalFree(m.headerMem);
    GlobalFree(m.bufferMem);
    m = Meter{};
}

void open_meter(HWND dlg) {
    Meter& m = g_meter;
    m.headerMem = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, sizeof(WAVEHDR));
    m.bufferMem = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, 2 * kLevelBytes);
    m.header = static_cast<WAVEHDR*>(GlobalLock(m.headerMem));
    char* buffer = static_cast<char*>(GlobalLock(m.bufferMem));
    if (!m.header || !buffer) return;
    m.header->lpData = buffer;
    m.header->dwBufferLength = kLevelBytes;
    m.header->dwLoops = 1;
    WAVEFORMATEX f = level_format();
    // An input that cannot open leaves the bars still.
    if (waveInOpen(&m.in, WAVE_MAPPER, &f, DWORD_PTR(dlg), 0, CALLBACK_WINDOW) !=
        MMSYSERR_NOERROR) {
        m.in = nullptr;
        return;
    }
    waveInPrepareHeader(m.in, m.header, sizeof(WAVEHDR));
    waveInAddBuffer(m.in, m.header, sizeof(WAVEHDR));
    waveInStart(m.in);
}

void show_level(HWND dlg, WAVEHDR* h) {
    Meter& m = g_meter;
    if (!m.in || h != m.header) return;  // a buffer given back while the input closes
    waveInUnprepareHeader(m.in, h, sizeof(WAVEHDR));
    auto* bytes = reinterpret_cast<const BYTE*>(h->lpData);
    SendDlgItemMessage(dlg, kLeftBar, PBM_SETPOS, WPARAM(level_of(bytes[0])), 0);
    SendDlgItemMessage(dlg, kRightBar, PBM_SETPOS, WPARAM(level_of(bytes[1])), 0);
    if (is_peak(bytes[0])) SetDlgItemText(dlg, kHint, kPeakWarning);
    waveInPrepareHeader(m.in, h, sizeof(WAVEHDR));
    waveInAddBuffer(m.in, h, sizeof(WAVEHDR));
}

void init_level(HWND dlg, HWND frame) {
    filedlg::centre_over_parent(dlg, dlgs::kRaise);
    open_meter(dlg);
    for (int bar : {kLeftBar, kRightBar})
        SendDlgItemMessage(dlg, bar, PBM_SETRANGE, 0, MAKELPARAM(0, 127));
    HWND doc = doc::active_document(frame);
    doc::Pin<HeaderBlock> h(doc, PROP_HEADER);
    if (doc && h)
        SetDlgItemText(dlg, kFormat,
                       level_format_text(h->bitsPerSample, h->samplesPerSec, h->channels).c_str());
    if (g_params.cd)
        SetDlgItemText(dlg, kCdStart,
                       cd_start_text(g_params.track, g_params.minutes, g_params.seconds).c_str());
}

INT_PTR CALLBACK level_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    return entry::guarded(FALSE, [&]() -> INT_PTR {
        switch (msg) {
            case WM_INITDIALOG:
                init_level(dlg, reinterpret_cast<HWND>(lp));
                return TRUE;
            case MM_WIM_DATA:
                show_level(dlg, reinterpret_cast<WAVEHDR*>(lp));
                return TRUE;
            case WM_DESTROY:
                close_meter();
                return FALSE;
            case WM_COMMAND:
                break;
            default:
                return FALSE;
        }
        switch (LOWORD(wp)) {
            case kMixer:
                // The frame starts the desktop's volume control.
                SendMessage(g_params.frame, WM_COMMAND, IDM_VOLUMECONTROL, 0);
                return TRUE;
            case IDOK:
            case IDCANCEL:
                close_meter();
                EndDialog(dlg, LOWORD(wp) == IDOK ? 1 : 0);
                return TRUE;
        }
        return FALSE;
    });
}

// Recording needs a capture device; without one the user is told and nothing changes.
bool have_input(HWND frame) {
    if (waveInGetNumDevs() > 0) return true;
    ErrorBox(frame, "No sound input device was found.\rRecording is not possible.");
    return false;
}

BOOL record(HWND frame, const Params& p) {
    // One recording at a time: a second request while the dialogs are open
    // (the CD player's button) is ignored.
    static bool running = false;
    if (running || !have_input(frame)) return 1;
    running = true;
    g_params = p;
    entry::guarded([&] {
        if (run_level_check(frame)) run_recording(frame);
    });
    running = false;
    return 1;
}

}  // namespace

BOOL run_level_check(HWND frame) {
    return dlgs::run(frame, g_params.cd ? "BEFORERECORDCD" : "BEFORERECORD", level_proc,
                     reinterpret_cast<LPARAM>(frame));
}

}  // namespace rec

WAVKIT_API BOOL ShowRecord(HWND frame) {
    return entry::guarded(1, [&] { return rec::record(frame, rec::Params{frame}); });
}

WAVKIT_API BOOL ShowRecordCD(HWND frame, int track, int minutes, int seconds) {
    return entry::guarded(1, [&] {
        return rec::record(frame, rec::Params{frame, true, track, minutes, seconds});
    });
}
