// The sound drivers' sheet: one page "Capabilities" showing what the chosen
// output and input devices report, filled each time the page is shown.
#include <sonrel/dialogs.h>

#include <cstdio>

#include "devcaps_format.h"
#include "entry.h"

namespace {

struct Devices {
    UINT output, input;
};

// One group of the page: name, version and best format from first on.
void show(HWND page, int first, MMRESULT result, const char* name, UINT version, DWORD formats,
          MMRESULT (*error_text)(MMRESULT, LPSTR, UINT)) {
    if (result != MMSYSERR_NOERROR) {
        // A device that cannot be asked shows why, and nothing else.
        char why[MAXERRORLENGTH] = "";
        error_text(result, why, sizeof why);
        SetDlgItemText(page, first, why);
        SetDlgItemText(page, first + 1, "");
        SetDlgItemText(page, first + 2, "");
        return;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d", int((version >> 8) & 0xFF), int(version & 0xFF));
    SetDlgItemText(page, first, name);
    SetDlgItemText(page, first + 1, text);
    SetDlgItemText(page, first + 2, devcaps::best_format(formats).c_str());
}

void fill(HWND page, const Devices& d) {
    WAVEOUTCAPS out{};
    MMRESULT r = waveOutGetDevCaps(d.output, &out, sizeof out);
    show(page, 101, r, out.szPname, out.vDriverVersion, out.dwFormats, waveOutGetErrorText);
    WAVEINCAPS in{};
    r = waveInGetDevCaps(d.input, &in, sizeof in);
    show(page, 201, r, in.szPname, in.vDriverVersion, in.dwFormats, waveInGetErrorText);
}

INT_PTR CALLBACK page_proc(HWND page, UINT msg, WPARAM, LPARAM lp) {
    return entry::guarded(FALSE, [&]() -> INT_PTR {
        if (msg == WM_INITDIALOG) {
            SetWindowLongPtr(page, DWLP_USER, reinterpret_cast<PROPSHEETPAGE*>(lp)->lParam);
            return TRUE;
        }
        if (msg != WM_NOTIFY) return FALSE;
        const auto* d = reinterpret_cast<const Devices*>(GetWindowLongPtr(page, DWLP_USER));
        if (reinterpret_cast<NMHDR*>(lp)->code == PSN_SETACTIVE && d) fill(page, *d);
        SetWindowLongPtr(page, DWLP_MSGRESULT, 0);
        return TRUE;
    });
}

}  // namespace

WAVKIT_API INT_PTR ShowDevCaps(HWND owner, UINT output, UINT input) {
    return entry::guarded(INT_PTR(-1), [&] {
        auto inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtr(owner, GWLP_HINSTANCE));
        Devices devices{output, input};
        PROPSHEETPAGE p{};
        p.dwSize = sizeof p;
        p.dwFlags = PSP_USETITLE;
        p.hInstance = inst;
        p.pszTemplate = "DEVCAPS";
        p.pszTitle = "Capabilities";
        p.pfnDlgProc = page_proc;
        p.lParam = reinterpret_cast<LPARAM>(&devices);
        PROPSHEETHEADER h{};
        h.dwSize = sizeof h;
        h.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
        h.hwndParent = owner;
        h.hInstance = inst;
        h.pszCaption = "Device Driver";
        h.nPages = 1;
        h.ppsp = &p;
        return PropertySheet(&h);
    });
}
