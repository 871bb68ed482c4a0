// The options sheet: five pages over the settings table. A page fills its
// controls from the settings when it is first shown and writes them back when
// the sheet is confirmed; a page never shown writes nothing, and Cancel writes
// nothing at all. Most controls are rows of kRows; the New Files page adds the
// format rule and the frequency check.
#include <sonrel/dialogs.h>
#include <sonrel/settings.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "dialogs_private.h"
#include "entry.h"

namespace {

enum Page { PAGE_USER, PAGE_NEWFILES, PAGE_DESIGN, PAGE_GENERAL, PAGE_THREADS, PAGE_COUNT };

struct PageInfo {
    const char* title;
    int templateId;
};
const PageInfo kPages[PAGE_COUNT] = {
    {"User", 119}, {"New Files", 120}, {"Design", 121}, {"General", 124}, {"Threads", 123},
};

enum RowKind {
    ROW_TEXT,           // edit: the text, at most kTextChars characters
    ROW_CHECK,          // check box: "1" when checked
    ROW_CHECK_WHEN_0,   // check box shown checked for "0"; "0" when checked, "1" when not
    ROW_QUALITY,        // slider kQualityLow..kQualityHigh over a line step of 1000 - pos * 100
    ROW_NUMBER,         // edit with the up-down of the next id, held within lower..upper
    ROW_UNUSED_CHECK,   // nothing reads it: a disabled check box in state `lower`
    ROW_UNUSED_SLIDER,  // nothing reads it: a disabled slider lower..upper, in the middle
};

// One control of a page and the setting behind it (number or text).
struct Row {
    Page page;
    RowKind kind;
    int control;
    const NumberSetting* number;
    const TextSetting* text;
    int lower = 0, upper = 0;
};

constexpr int kTextChars = 255;
constexpr int kQualityLow = 3, kQualityHigh = 9;
// The zooms a view takes: 0 is the whole file, the zoom dialog offers up to 30000.
constexpr int kZoomMax = 30000;
constexpr int kRecentMin = 1, kRecentMax = 20;

// Written in this order within a page; pages apply in page order.
const Row kRows[] = {
    {PAGE_USER, ROW_TEXT, 101, nullptr, &SET_USER_NAME},
    {PAGE_USER, ROW_TEXT, 102, nullptr, &SET_USER_COMPANY},
    {PAGE_DESIGN, ROW_CHECK_WHEN_0, 102, &SET_BOOLEAN_STARTASSISTANT, nullptr},
    {PAGE_DESIGN, ROW_CHECK, 104, &SET_BOOLEAN_SHINETHROUGH, nullptr},
    {PAGE_DESIGN, ROW_QUALITY, 103, &SET_WINDOWQUALITY, nullptr},
    {PAGE_DESIGN, ROW_NUMBER, 203, &SET_STARTUP_ZOOM, nullptr, 0, kZoomMax},
    {PAGE_DESIGN, ROW_CHECK, 105, &SET_BOOLEAN_PEAKDISPLAY, nullptr},
    {PAGE_DESIGN, ROW_TEXT, 201, nullptr, &SET_STARTUP_SOUND},
    {PAGE_GENERAL, ROW_UNUSED_CHECK, 101, nullptr, nullptr, BST_UNCHECKED},
    {PAGE_GENERAL, ROW_UNUSED_CHECK, 104, nullptr, nullptr, BST_CHECKED},  // undo is always on
    {PAGE_GENERAL, ROW_QUALITY, 103, &SET_PREVIEW_QUALITY, nullptr},
    {PAGE_GENERAL, ROW_NUMBER, 203, &SET_RECENTFILES_NUMBEROFFILES, nullptr, kRecentMin,
     kRecentMax},
    {PAGE_THREADS, ROW_CHECK, 101, &SET_BOOLEAN_PLAYTHREADCOMPLETE, nullptr},
    {PAGE_THREADS, ROW_UNUSED_SLIDER, 105, nullptr, nullptr, 1, 9},
};

// --- New Files
constexpr int kBits = 101, kChannels = 102, kRate = 103, kBytesPerSec = 104, kBytesPerSample = 105;
constexpr UINT kMaxRate = 48000;
const char* const kBitNames[] = {"Standard - 8", "HiFi - 16"};
const char* const kChannelNames[] = {"MONO", "STEREO"};
const char* const kRates[] = {"8000",  "11025", "16000", "22050",
                              "28000", "32000", "44100", "48000"};

constexpr int kBrowse = 202;

void store_text(const char* path, const char* format, unsigned long value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    RegWriteString(path, text);
}

void set_text(HWND page, int id, const char* format, unsigned long value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    SetDlgItemText(page, id, text);
}

int quality_position(WORD value) {
    return std::clamp((1000 - int(value)) / 100, kQualityLow, kQualityHigh);
}

void check(HWND page, int id, bool on) {
    CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
}

bool checked(HWND page, int id) {
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void fill_row(HWND page, const Row& r) {
    HWND control = GetDlgItem(page, r.control);
    switch (r.kind) {
        case ROW_TEXT:
            SendMessage(control, EM_LIMITTEXT, kTextChars, 0);
            SetWindowText(control, SettingText(*r.text));
            break;
        case ROW_CHECK:
            check(page, r.control, SettingBool(*r.number));
            break;
        case ROW_CHECK_WHEN_0:
            check(page, r.control, !SettingBool(*r.number));
            break;
        case ROW_QUALITY:
            SendMessage(control, TBM_SETRANGE, TRUE, MAKELONG(kQualityLow, kQualityHigh));
            SendMessage(control, TBM_SETPOS, TRUE, quality_position(SettingWord(*r.number)));
            break;
        case ROW_NUMBER: {
            HWND updown = GetDlgItem(page, r.control + 1);
            SendMessage(updown, UDM_SETRANGE32, WPARAM(r.lower), LPARAM(r.upper));
            SendMessage(updown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(control), 0);
            SendMessage(updown, UDM_SETPOS32, 0, LPARAM(SettingWord(*r.number)));
            break;
        }
        case ROW_UNUSED_CHECK:
            CheckDlgButton(page, r.control, UINT(r.lower));
            EnableWindow(control, FALSE);
            break;
        case ROW_UNUSED_SLIDER:
            SendMessage(control, TBM_SETRANGE, TRUE, MAKELONG(r.lower, r.upper));
            SendMessage(control, TBM_SETPOS, TRUE, (r.lower + r.upper) / 2);
            EnableWindow(control, FALSE);
            break;
    }
}

void store_row(HWND page, const Row& r) {
    HWND control = GetDlgItem(page, r.control);
    switch (r.kind) {
        case ROW_TEXT: {
            char text[kTextChars + 1] = "";
            GetWindowText(control, text, sizeof text);
            RegWriteString(r.text->path, text);
            break;
        }
        case ROW_CHECK:
            RegWriteString(r.number->path, checked(page, r.control) ? "1" : "0");
            break;
        case ROW_CHECK_WHEN_0:
            RegWriteString(r.number->path, checked(page, r.control) ? "0" : "1");
            break;
        case ROW_QUALITY: {
            // An unmoved slider keeps the stored step, which may lie between
            // the slider's steps.
            int pos = int(SendMessage(control, TBM_GETPOS, 0, 0));
            if (pos != quality_position(SettingWord(*r.number)))
                dlgs::store(r.number->path, 1000 - pos * 100);
            break;
        }
        case ROW_NUMBER: {
            // Typed text is held within the range; text that is no number
            // leaves the last valid position.
            BOOL error = FALSE;
            auto pos = SendDlgItemMessage(page, r.control + 1, UDM_GETPOS32, 0,
                                          reinterpret_cast<LPARAM>(&error));
            store_text(r.number->path, "%lu", static_cast<unsigned long>(pos));
            break;
        }
        case ROW_UNUSED_CHECK:
        case ROW_UNUSED_SLIDER:
            break;
    }
}

void fill_combo(HWND page, int id, const char* const* items, int n) {
    for (int i = 0; i < n; ++i) SendDlgItemMessage(page, id, CB_ADDSTRING, 0, LPARAM(items[i]));
}

void fill_new_files(HWND page) {
    fill_combo(page, kBits, kBitNames, 2);
    fill_combo(page, kChannels, kChannelNames, 2);
    fill_combo(page, kRate, kRates, 8);
    SendDlgItemMessage(page, kBits, CB_SETCURSEL, SettingWord(SET_NEWFILE_BIT) == 16 ? 1 : 0, 0);
    SendDlgItemMessage(page, kChannels, CB_SETCURSEL,
                       SettingWord(SET_NEWFILE_CHANNELS) == 2 ? 1 : 0, 0);
    set_text(page, kRate, "%lu", SettingDWord(SET_NEWFILE_SAMPLES));
    set_text(page, kBytesPerSec, "%lu KB/sec", SettingDWord(SET_NEWFILE_BYTESPERSEC) / 1024);
    set_text(page, kBytesPerSample, "%u Bytes/Sample", SettingWord(SET_NEWFILE_BYTESPERSAMPLE));
}

// Bit and channels are written first; a refused frequency leaves the
// frequency and the two values computed from it as they were.
void store_new_files(HWND page) {
    bool sixteen = SendDlgItemMessage(page, kBits, CB_GETCURSEL, 0, 0) == 1;
    bool stereo = SendDlgItemMessage(page, kChannels, CB_GETCURSEL, 0, 0) == 1;
    RegWriteString(SET_NEWFILE_BIT.path, sixteen ? "16" : "8");
    RegWriteString(SET_NEWFILE_CHANNELS.path, stereo ? "2" : "1");
    BOOL ok = FALSE;
    UINT rate = GetDlgItemInt(page, kRate, &ok, FALSE);
    if (rate == 0 || rate > kMaxRate) {
        ErrorBox(page, "Only values ranging from 1 to 48000 are allowed.");
        return;
    }
    store_text(SET_NEWFILE_SAMPLES.path, "%lu", rate);
    unsigned bytes = (SettingWord(SET_NEWFILE_BIT) == 16 ? 2u : 1u) *
                     (SettingWord(SET_NEWFILE_CHANNELS) == 2 ? 2u : 1u);
    store_text(SET_NEWFILE_BYTESPERSAMPLE.path, "%u", bytes);
    store_text(SET_NEWFILE_BYTESPERSEC.path, "%lu", static_cast<unsigned long>(bytes) * rate);
}

// "Browse..." puts the chosen wave file into the start-up sound's edit.
void browse_sound(HWND page) {
    char path[1024] = "";
    GetDlgItemText(page, 201, path, kTextChars + 1);
    OPENFILENAME ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = page;
    ofn.lpstrFilter = "Wave files (*.wav)\0*.wav\0All files\0*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrTitle = "Startup - Sound";
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileName(&ofn)) SetDlgItemText(page, 201, path);
}

Page page_of(HWND page) {
    return static_cast<Page>(GetWindowLongPtr(page, DWLP_USER));
}

void fill_page(HWND page, Page p) {
    SetWindowLongPtr(page, DWLP_USER, p);
    for (const Row& r : kRows)
        if (r.page == p) fill_row(page, r);
    if (p == PAGE_NEWFILES) fill_new_files(page);
}

void store_page(HWND page, Page p) {
    for (const Row& r : kRows)
        if (r.page == p) store_row(page, r);
    if (p == PAGE_NEWFILES) store_new_files(page);
}

INT_PTR CALLBACK page_proc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    return entry::guarded(FALSE, [&]() -> INT_PTR {
        switch (msg) {
            case WM_INITDIALOG:
                fill_page(page, static_cast<Page>(reinterpret_cast<PROPSHEETPAGE*>(lp)->lParam));
                return TRUE;
            case WM_COMMAND:
                if (LOWORD(wp) != kBrowse || page_of(page) != PAGE_DESIGN) return FALSE;
                browse_sound(page);
                return TRUE;
            case WM_NOTIFY: {
                // Leaving a page is always allowed, and the frequency's
                // refusal does not keep the sheet open: every answer is 0.
                if (reinterpret_cast<NMHDR*>(lp)->code == PSN_APPLY)
                    store_page(page, page_of(page));
                SetWindowLongPtr(page, DWLP_MSGRESULT, PSNRET_NOERROR);
                return TRUE;
            }
            default:
                return FALSE;
        }
    });
}

INT_PTR run_sheet(HWND owner, UINT start) {
    auto inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtr(owner, GWLP_HINSTANCE));
    PROPSHEETPAGE pages[PAGE_COUNT]{};
    for (int i = 0; i < PAGE_COUNT; ++i) {
        PROPSHEETPAGE& p = pages[i];
        p.dwSize = sizeof p;
        p.dwFlags = PSP_USETITLE;
        p.hInstance = inst;
        p.pszTemplate = MAKEINTRESOURCE(kPages[i].templateId);
        p.pszTitle = kPages[i].title;
        p.pfnDlgProc = page_proc;
        p.lParam = i;
    }
    PROPSHEETHEADER h{};
    h.dwSize = sizeof h;
    h.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
    h.hwndParent = owner;
    h.hInstance = inst;
    h.pszCaption = "Sonrel2003 Options";
    h.nPages = PAGE_COUNT;
    h.nStartPage = start;
    h.ppsp = pages;
    return PropertySheet(&h);
}

}  // namespace

WAVKIT_API INT_PTR ShowOptionsPropertySheet(HWND owner) {
    return ShowOptionsPropertySheetNum(owner, 0);
}

WAVKIT_API INT_PTR ShowOptionsPropertySheetNum(HWND owner, int page) {
    return entry::guarded(INT_PTR(-1), [&] { return run_sheet(owner, UINT(page)); });
}
