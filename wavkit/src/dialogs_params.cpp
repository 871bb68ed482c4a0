// The parameter dialogs of the editing operations. Each reads its settings
// with their defaults when it opens and writes them back as "%d" text on OK;
// the operation reads them when it runs. The number dialogs share one
// procedure driven by a row of kNumbers.
#include <sonrel/dialogs.h>
#include <sonrel/settings.h>

#include <cstdio>

#include "dialogs_private.h"
#include "document.h"
#include "entry.h"
#include "filedialogs.h"

namespace {

constexpr int kEdit = 101;
constexpr int kUpDown = 114;
constexpr int kSmooth = 102;
constexpr int kSlider = 201;
constexpr int kSliderMin = 1, kSliderMax = 8;

// One number dialog: its template, its setting, and the up-down range.
struct NumberDialog {
    const char* name;
    NumberSetting setting;
    int lower, upper;
};

const NumberDialog kNumbers[] = {
    {"VOLUME", SET_FILTERS_VOLUME, 1, 999},
    {"FADEIN", SET_FILTERS_FADEIN, 0, 99},
    {"FADEOUT", SET_FILTERS_FADEOUT, 0, 99},
    {"VELOCITY", SET_FILTERS_VELOCITY, 1, 999},
};
const NumberDialog& kVelocity = kNumbers[3];

void init_number(HWND dlg, const NumberDialog& n) {
    UINT value = SettingWord(n.setting);
    dlgs::attach_updown(dlg, kEdit, kUpDown, n.lower, n.upper, int(value));
    SetDlgItemInt(dlg, kEdit, value, FALSE);
}

// Text that is no number reads as 0; values outside the range are kept.
void store_number(HWND dlg, const NumberDialog& n) {
    BOOL ok = FALSE;
    dlgs::store(n.setting.path, int(GetDlgItemInt(dlg, kEdit, &ok, FALSE)));
}

void init_slider(HWND dlg, WORD pos) {
    SendDlgItemMessage(dlg, kSlider, TBM_SETRANGE, TRUE, MAKELONG(kSliderMin, kSliderMax));
    SendDlgItemMessage(dlg, kSlider, TBM_SETPOS, TRUE, pos);
}

int slider_pos(HWND dlg) {
    return int(SendDlgItemMessage(dlg, kSlider, TBM_GETPOS, 0, 0));
}

bool in_slider_range(int pos) {
    return pos >= kSliderMin && pos <= kSliderMax;
}

void follow_smooth_box(HWND dlg) {
    EnableWindow(GetDlgItem(dlg, kSlider), IsDlgButtonChecked(dlg, kSmooth) == BST_CHECKED);
}

// The part every dialog procedure shares: Cancel ends with 0, and an
// exception ends nothing and leaves the message unhandled.
template <typename Init, typename Command>
INT_PTR dispatch(HWND dlg, UINT msg, WPARAM wp, LPARAM lp, Init init, Command command) {
    return entry::guarded(FALSE, [&] {
        if (msg == WM_INITDIALOG) {
            init(dlg, lp);
            return TRUE;
        }
        if (msg != WM_COMMAND) return FALSE;
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(dlg, 0);
            return TRUE;
        }
        return command(dlg, LOWORD(wp)) ? TRUE : FALSE;
    });
}

INT_PTR CALLBACK number_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto init = [](HWND d, LPARAM param) {
        SetWindowLongPtr(d, DWLP_USER, param);
        filedlg::centre_over_parent(d, dlgs::kRaise);
        init_number(d, *reinterpret_cast<const NumberDialog*>(param));
    };
    auto command = [](HWND d, int id) {
        if (id != IDOK) return false;
        store_number(d, *reinterpret_cast<const NumberDialog*>(GetWindowLongPtr(d, DWLP_USER)));
        EndDialog(d, 1);
        return true;
    };
    return dispatch(dlg, msg, wp, lp, init, command);
}

// The velocity dialog keeps its template position.
INT_PTR CALLBACK velocity_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto init = [](HWND d, LPARAM) {
        init_number(d, kVelocity);
        CheckDlgButton(d, kSmooth,
                       SettingBool(SET_FILTERS_VELOCITYSMOOTH) ? BST_CHECKED : BST_UNCHECKED);
        init_slider(d, SettingWord(SET_FILTERS_VELOCITYSMOOTHVALUE));
        follow_smooth_box(d);
    };
    auto command = [](HWND d, int id) {
        if (id == kSmooth) {
            follow_smooth_box(d);
            return true;
        }
        if (id != IDOK) return false;
        store_number(d, kVelocity);
        RegWriteString(SET_FILTERS_VELOCITYSMOOTH.path,
                       IsDlgButtonChecked(d, kSmooth) == BST_CHECKED ? "1" : "0");
        if (in_slider_range(slider_pos(d)))
            dlgs::store(SET_FILTERS_VELOCITYSMOOTHVALUE.path, slider_pos(d));
        EndDialog(d, 1);
        return true;
    };
    return dispatch(dlg, msg, wp, lp, init, command);
}

INT_PTR CALLBACK lowpass_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto init = [](HWND d, LPARAM) {
        filedlg::centre_over_parent(d, dlgs::kRaise);
        init_slider(d, SettingWord(SET_FILTERS_LOWPASS));
    };
    auto command = [](HWND d, int id) {
        if (id != IDOK) return false;
        int pos = slider_pos(d);
        if (!in_slider_range(pos)) {
            EndDialog(d, 0);
            return true;
        }
        dlgs::store(SET_FILTERS_LOWPASS.path, pos);
        EndDialog(d, 1);
        return true;
    };
    return dispatch(dlg, msg, wp, lp, init, command);
}

constexpr int kSecEdit = 102, kSecUpDown = 121;
constexpr int kMsEdit = 101, kMsUpDown = 120;
constexpr int kSilenceMax = 999;

UINT updown_pos(HWND dlg, int id) {
    return UINT(SendDlgItemMessage(dlg, id, UDM_GETPOS32, 0, 0));
}

INT_PTR CALLBACK silence_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto init = [](HWND d, LPARAM) {
        filedlg::centre_over_parent(d, dlgs::kRaise);
        UINT sec = SettingWord(SET_FILTERS_SILENCE_SEC), ms = SettingWord(SET_FILTERS_SILENCE_MS);
        dlgs::attach_updown(d, kSecEdit, kSecUpDown, 0, kSilenceMax, int(sec));
        SetDlgItemInt(d, kSecEdit, sec, FALSE);
        dlgs::attach_updown(d, kMsEdit, kMsUpDown, 0, kSilenceMax, int(ms));
        SetDlgItemInt(d, kMsEdit, ms, FALSE);
    };
    auto command = [](HWND d, int id) {
        if (id != IDOK) return false;
        dlgs::store(SET_FILTERS_SILENCE_SEC.path, int(updown_pos(d, kSecUpDown)));
        dlgs::store(SET_FILTERS_SILENCE_MS.path, int(updown_pos(d, kMsUpDown)));
        EndDialog(d, 1);
        return true;
    };
    return dispatch(dlg, msg, wp, lp, init, command);
}

constexpr int kZoomUpDown = 120;
constexpr UINT kZoomMax = 30000;

INT_PTR CALLBACK zoom_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto init = [](HWND d, LPARAM frame) {
        SetWindowLongPtr(d, DWLP_USER, frame);
        filedlg::centre_over_parent(d, dlgs::kRaiseZoom);
        HWND doc = dlgs::active_document(d);
        doc::Pin<PositionBlock> pos(doc, "POSITION");
        if (!doc || !pos) return;
        UINT zoom = pos->zoom;
        dlgs::attach_updown(d, kEdit, kZoomUpDown, 1, int(kZoomMax), int(zoom));
        SetDlgItemInt(d, kEdit, zoom, FALSE);
    };
    auto command = [](HWND d, int id) {
        if (id != IDOK) return false;
        HWND doc = dlgs::active_document(d);
        doc::Pin<PositionBlock> pos(doc, "POSITION");
        if (!doc || !pos) {
            EndDialog(d, 0);
            return true;
        }
        BOOL ok = FALSE;
        UINT zoom = GetDlgItemInt(d, kEdit, &ok, FALSE);
        if (zoom < 1 || zoom > kZoomMax) {
            pos.release();
            ErrorBox(d, "Only values between 1 - 30000 allowed.");
            return true;
        }
        pos->zoom = zoom;
        EndDialog(d, 1);
        return true;
    };
    return dispatch(dlg, msg, wp, lp, init, command);
}

BOOL run_number(HWND frame, const NumberDialog& n) {
    return dlgs::run(frame, n.name, number_proc, reinterpret_cast<LPARAM>(&n));
}

}  // namespace

namespace dlgs {

BOOL run(HWND frame, const char* name, DLGPROC proc, LPARAM param) {
    auto inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtr(frame, GWLP_HINSTANCE));
    return DialogBoxParam(inst, name, frame, proc, param) == 1 ? 1 : 0;
}

void store(const char* path, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    RegWriteString(path, text);
}

HWND attach_updown(HWND dlg, int buddyId, int id, int lower, int upper, int pos) {
    auto inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtr(dlg, GWLP_HINSTANCE));
    return CreateUpDownControl(WS_CHILD | WS_VISIBLE | WS_BORDER | UDS_ALIGNRIGHT | UDS_SETBUDDYINT,
                               0, 0, 0, 0, dlg, id, inst, GetDlgItem(dlg, buddyId), upper, lower,
                               pos);
}

HWND active_document(HWND dlg) {
    return doc::active_document(reinterpret_cast<HWND>(GetWindowLongPtr(dlg, DWLP_USER)));
}

}  // namespace dlgs

WAVKIT_API BOOL ShowVolume(HWND frame) {
    return run_number(frame, kNumbers[0]);
}

WAVKIT_API BOOL ShowFadeIn(HWND frame) {
    return run_number(frame, kNumbers[1]);
}

WAVKIT_API BOOL ShowFadeOut(HWND frame) {
    return run_number(frame, kNumbers[2]);
}

WAVKIT_API BOOL ShowVelocity(HWND frame) {
    return dlgs::run(frame, kVelocity.name, velocity_proc, 0);
}

WAVKIT_API BOOL ShowLowPass(HWND frame) {
    return dlgs::run(frame, "LOWPASS", lowpass_proc, 0);
}

WAVKIT_API BOOL ShowSilence(HWND frame) {
    return dlgs::run(frame, "SILENCE", silence_proc, 0);
}

WAVKIT_API BOOL ShowZoomBy(HWND frame) {
    return dlgs::run(frame, "ZOOMBY", zoom_proc, reinterpret_cast<LPARAM>(frame));
}
