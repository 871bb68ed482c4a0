#include "playback.h"

#include <sonrel/blocks.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/settings.h>
#include <sonrel/wavkit.h>

#include <cstdio>

#include "frame.h"

PlaybackState g_playback;

namespace {

#define VOLUME_STEP 0x1000

// Mark start and length (bytes) of a document, for the preview bar.
void mark_of(HWND doc, DWORD* start, DWORD* length) {
    *start = *length = 0;
    HGLOBAL h = GetProp(doc, PROP_POSITION);
    auto* p = static_cast<PositionBlock*>(GlobalLock(h));
    if (!p) return;
    *start = p->markStart;
    *length = p->markLength;
    GlobalUnlock(h);
}

DWORD data_size(HWND doc) {
    HGLOBAL h = GetProp(doc, PROP_HEADER);
    auto* header = static_cast<HeaderBlock*>(GlobalLock(h));
    if (!header) return 0;
    DWORD size = header->dataSize;
    GlobalUnlock(h);
    return size;
}

void tell_preview_started(HWND doc) {
    DWORD start = 0, length = 0;
    mark_of(doc, &start, &length);
    SendMessage(g_shell.preview, UM_PLAYSTARTED, start, static_cast<LPARAM>(length));
}

void forget_output() {
    g_playback.output = nullptr;
    g_playback.header = nullptr;
    g_playback.document = nullptr;
    g_playback.paused = FALSE;
}

void resume() {
    waveOutRestart(g_playback.output);
    g_playback.paused = FALSE;
    tell_preview_started(ActiveDocument());
}

void stop() {
    if (g_playback.paused) {
        waveOutRestart(g_playback.output);
        g_playback.paused = FALSE;
    }
    CloseOutput(g_playback.output, g_playback.header);
    forget_output();
    SendMessage(g_shell.preview, UM_PLAYSTOPPED, 0, 0);
}

void play(HWND frame, WORD id) {
    HWND doc = ActiveDocument();
    if (!doc || IsFileWorking(doc) || data_size(doc) == 0) return;
    if (!g_playback.output) {
        HWAVEOUT out = OpenOutput(g_shell.outputDevice, doc);
        if (!out) return;
        g_playback.output = out;
        g_playback.document = doc;
        g_playback.paused = FALSE;
        g_playback.header = PlayWAV(out, doc, id == IDM_PLAYLOOP);
        if (g_playback.header) tell_preview_started(doc);
    } else if (g_playback.paused) {
        resume();
    } else {
        // Playing: start afresh with the document active now.
        stop();
        PostMessage(frame, WM_COMMAND, id, 0);
    }
}

// True when the active document is missing or an operation works on it.
bool active_busy() {
    return IsFileWorking(ActiveDocument()) != 0;
}

void pause() {
    if (active_busy() || !g_playback.output) return;
    if (g_playback.paused) {
        resume();
        return;
    }
    g_playback.paused = TRUE;
    waveOutPause(g_playback.output);
    SendMessage(g_shell.preview, UM_PLAYSTOPPED, 0, 0);
}

void step_volume(bool up) {
    DWORD volume = 0;
    if (waveOutGetVolume(g_playback.output, &volume) != MMSYSERR_NOERROR) return;
    DWORD left = LOWORD(volume), right = HIWORD(volume);
    if (up) {
        if (left > 0xFFFF - VOLUME_STEP || right > 0xFFFF - VOLUME_STEP) return;
        left += VOLUME_STEP;
        right += VOLUME_STEP;
    } else {
        if (left < VOLUME_STEP || right < VOLUME_STEP) return;
        left -= VOLUME_STEP;
        right -= VOLUME_STEP;
    }
    waveOutSetVolume(g_playback.output, MAKELONG(left, right));
}

INT_PTR CALLBACK select_output_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG: {
            HWND owner = GetParent(dlg);
            RECT oc{}, dc{};
            GetClientRect(owner, &oc);
            GetClientRect(dlg, &dc);
            POINT at{oc.right / 2 - dc.right / 2, oc.bottom / 2 - dc.bottom / 2 - 30};
            ClientToScreen(owner, &at);
            SetWindowPos(dlg, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            UINT devices = waveOutGetNumDevs();
            if (devices == 0) {
                ErrorBox(dlg, "No output device installed.");
                EndDialog(dlg, 0);
                return TRUE;
            }
            SendDlgItemMessage(dlg, 101, CB_ADDSTRING, 0,
                               reinterpret_cast<LPARAM>("Plug & Play (Automatic recognition)"));
            for (UINT i = 0; i < devices; ++i) {
                WAVEOUTCAPS caps{};
                waveOutGetDevCaps(i, &caps, sizeof caps);
                SendDlgItemMessage(dlg, 101, CB_ADDSTRING, 0,
                                   reinterpret_cast<LPARAM>(caps.szPname));
            }
            SendDlgItemMessage(dlg, 101, CB_SETCURSEL, g_shell.outputDevice + 1, 0);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK) {
                auto entry = static_cast<DWORD>(SendDlgItemMessage(dlg, 101, CB_GETCURSEL, 0, 0));
                g_shell.outputDevice = entry - 1;
                char text[16];
                std::snprintf(text, sizeof text, "%u", g_shell.outputDevice);
                RegWriteString(SET_WAVEOUTID.path, text);
                RegWriteString(SET_WAVEINID.path, text);
                EndDialog(dlg, 1);
                return TRUE;
            }
            if (LOWORD(wp) == IDCANCEL) {
                EndDialog(dlg, 0);
                return TRUE;
            }
            break;
    }
    return FALSE;
}

}  // namespace

void PlayCommand(HWND frame, WORD id) {
    play(frame, id);
}

void PauseCommand(void) {
    pause();
}

void StopCommand(void) {
    if (!active_busy() && g_playback.output) stop();
}

void StepOutputVolume(BOOL up) {
    step_volume(up != FALSE);
}

void SelectOutputDevice(HWND frame) {
    DialogBoxParam(g_shell.instance, "SELECTWAVEOUT", frame, select_output_proc, 0);
}

void PlaybackFinished(HWAVEOUT out) {
    if (!out || out != g_playback.output) return;
    CloseOutput(g_playback.output, g_playback.header);
    forget_output();
}

void PlaybackDocumentClosing(HWND doc) {
    if (!doc || doc != g_playback.document) return;
    CloseOutput(g_playback.output, g_playback.header);
    forget_output();
}
