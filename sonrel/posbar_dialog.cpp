// The dialog "POSBAR": the mark as start and length times, the time under the
// mouse, and the buttons that mark all, destroy the mark or take the typed
// times as the mark.
//
// The document's blocks are read and written only while its guard is free:
// while an operation holds it the fields stay as they are and the buttons do
// nothing, so the user-interface thread never waits for an operation.
#include "posbar_dialog.h"

#include <sonrel/blocks.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/posbar.h>
#include <sonrel/wavkit.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "bar_time.h"
#include "waveview.h"

namespace {

struct Field {
    int id;
    int upper;   // the up-down's range is 0 .. upper
    int digits;  // the shown width, with leading zeros
};

struct Group {
    Field fields[3];  // minutes, seconds, milliseconds
    int spin;
};

constexpr Group kStart{
    {{IDC_POSBAR_STARTMIN, 99, 2}, {IDC_POSBAR_STARTSEC, 59, 2}, {IDC_POSBAR_STARTMS, 999, 3}},
    IDC_POSBAR_STARTSPIN};
constexpr Group kLength{
    {{IDC_POSBAR_LENGTHMIN, 99, 2}, {IDC_POSBAR_LENGTHSEC, 59, 2}, {IDC_POSBAR_LENGTHMS, 999, 3}},
    IDC_POSBAR_LENGTHSPIN};
constexpr const Group* kGroups[] = {&kStart, &kLength};

// The most digits a field takes: minutes of the longest time in milliseconds
// that 32 bits hold have 5.
constexpr int kMaxDigits = 5;

const Field* field_of(int id, const Group** group) {
    for (const Group* g : kGroups)
        for (const Field& f : g->fields)
            if (f.id == id) {
                if (group) *group = g;
                return &f;
            }
    return nullptr;
}

// What the bar needs of the active document, read under its guard.
struct DocTimes {
    HWND doc = nullptr;
    bool read = false;  // false: no document, or an operation holds its guard
    DWORD dataSize = 0;
    DWORD bytesPerSec = 0;
    WORD blockAlign = 0;
    DWORD markStart = 0;
    DWORD markLength = 0;
    DWORD ms(DWORD offset) const { return BytesToMs(offset, bytesPerSec, dataSize); }
};

HWND frame_of(HWND dlg) {
    HWND bar = GetParent(dlg);
    return bar ? GetParent(bar) : nullptr;
}

DocTimes read_active(HWND dlg) {
    DocTimes d;
    d.doc = reinterpret_cast<HWND>(SendMessage(frame_of(dlg), UM_GETACTIVEDOC, 0, 0));
    if (!d.doc) return d;
    waveview::TryGuard guard(d.doc);
    if (!guard.held) return d;
    waveview::Blocks b(d.doc, false);
    if (!b.ok()) return d;
    d.read = true;
    d.dataSize = b.header->dataSize;
    d.bytesPerSec = b.header->bytesPerSec;
    d.blockAlign = b.header->blockAlign;
    d.markStart = b.pos->markStart;
    d.markLength = b.pos->markLength;
    return d;
}

bool write_mark(HWND doc, DWORD start, DWORD length) {
    waveview::TryGuard guard(doc);
    if (!guard.held) return false;
    waveview::Blocks b(doc, false);
    if (!b.ok()) return false;
    b.pos->markStart = start;
    b.pos->markLength = length;
    return true;
}

void show_number(HWND dlg, const Field& f, DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*lu", f.digits, (unsigned long)value);
    SetDlgItemText(dlg, f.id, text);
}

void show_time(HWND dlg, const Group& g, DWORD ms) {
    const BarTime t = SplitMs(ms);
    show_number(dlg, g.fields[0], t.minutes);
    show_number(dlg, g.fields[1], t.seconds);
    show_number(dlg, g.fields[2], t.milliseconds);
}

// A field's number as typed; an empty field counts as 0.
uint64_t field_number(HWND dlg, const Field& f) {
    char text[32] = "";
    GetDlgItemText(dlg, f.id, text, sizeof text);
    return std::strtoull(text, nullptr, 10);
}

uint64_t group_ms(HWND dlg, const Group& g) {
    return JoinMs(field_number(dlg, g.fields[0]), field_number(dlg, g.fields[1]),
                  field_number(dlg, g.fields[2]));
}

bool shows(HWND dlg, const Group& g, DWORD ms) {
    const BarTime t = SplitMs(ms);
    return field_number(dlg, g.fields[0]) == t.minutes &&
           field_number(dlg, g.fields[1]) == t.seconds &&
           field_number(dlg, g.fields[2]) == t.milliseconds;
}

void refresh(HWND dlg) {
    SendMessage(dlg, UM_MARKUPDATE, 0, 0);
}

// After a new mark: the preview bar redraws its mark outline, the fields
// show the document's mark when asked, the document repaints.
void mark_changed(HWND dlg, HWND doc, bool showMark) {
    SendMessage(reinterpret_cast<HWND>(SendMessage(frame_of(dlg), UM_GETPREVIEW, 0, 0)),
                UM_MARKCHANGED, 0, 0);
    if (showMark) refresh(dlg);
    InvalidateRect(doc, nullptr, FALSE);
}

// The typed start and length become the mark, cut down to whole frames (a
// mark inside a frame would split its samples) and held within the data.
// Whenever a value had to be held, the fields show the document's mark again.
void mark_from_fields(HWND dlg, const DocTimes& d, bool button) {
    DWORD start = AlignToFrame(MsToBytes(group_ms(dlg, kStart), d.bytesPerSec), d.blockAlign);
    DWORD length = AlignToFrame(MsToBytes(group_ms(dlg, kLength), d.bytesPerSec), d.blockAlign);
    bool held = false;
    if (start > d.dataSize) {
        start = d.dataSize;
        held = true;
    }
    if (length > d.dataSize) {
        length = d.dataSize;
        held = true;
    }
    if (uint64_t{start} + length > d.dataSize) {
        length = d.dataSize - start;
        held = true;
    }
    if (write_mark(d.doc, start, length)) mark_changed(dlg, d.doc, button || held);
}

// A document with data that no background open is filling, read now.
bool editable(const DocTimes& d) {
    return d.read && d.dataSize > 0 && !IsFileWorking(d.doc);
}

void on_button(HWND dlg, int id) {
    const DocTimes d = read_active(dlg);
    if (!editable(d)) return;
    if (id == IDC_POSBAR_UPDATEMARK) {
        mark_from_fields(dlg, d, true);
        return;
    }
    const bool all = id == IDC_POSBAR_MARKALL;
    if (write_mark(d.doc, 0, all ? d.dataSize : 0)) mark_changed(dlg, d.doc, true);
}

// The time under the mouse; while dragging, the mark from the press to the
// mouse, whichever side of the press it lies.
void on_mouse_pos(HWND dlg, bool dragging, DWORD offset) {
    const DocTimes d = read_active(dlg);
    if (!d.read) return;
    const DWORD mouse = d.ms(offset);
    char text[32];
    FormatBarTime(text, sizeof text, mouse);
    SetDlgItemText(dlg, IDC_POSBAR_POSITION, text);
    if (!dragging) return;
    const DWORD anchor = d.ms(d.markStart);
    const DWORD start = std::min(mouse, anchor);
    // Left as they are while they show the start already, so they do not flicker.
    if (!shows(dlg, kStart, start)) show_time(dlg, kStart, start);
    show_time(dlg, kLength, std::max(mouse, anchor) - start);
}

void on_mark_update(HWND dlg) {
    const DocTimes d = read_active(dlg);
    if (!d.read) return;
    show_time(dlg, kStart, d.ms(d.markStart));
    show_time(dlg, kLength, d.ms(d.markLength));
}

void enable_fields(HWND dlg, BOOL on) {
    for (const Group* g : kGroups) {
        for (const Field& f : g->fields) EnableWindow(GetDlgItem(dlg, f.id), on);
        EnableWindow(GetDlgItem(dlg, g->spin), on);
    }
}

// Attaches the group's up-down to the field with the field's range. The
// up-down would write its own position into a new buddy; the field keeps its
// text instead, and the up-down reads it at its next step.
void attach_spin(HWND dlg, const Group& g, const Field& f) {
    HWND spin = GetDlgItem(dlg, g.spin);
    const LONG style = GetWindowLong(spin, GWL_STYLE);
    SetWindowLong(spin, GWL_STYLE, style & ~LONG(UDS_SETBUDDYINT));
    SendMessage(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(dlg, f.id)), 0);
    SendMessage(spin, UDM_SETRANGE32, 0, f.upper);
    SetWindowLong(spin, GWL_STYLE, style);
}

// A step of an up-down: its field in its two- or three-digit form, then the
// fields become the mark.
void on_spin(HWND dlg, HWND spin) {
    auto buddy = reinterpret_cast<HWND>(SendMessage(spin, UDM_GETBUDDY, 0, 0));
    const Field* f = buddy ? field_of(GetDlgCtrlID(buddy), nullptr) : nullptr;
    if (!f) return;
    show_number(dlg, *f, DWORD(SendMessage(spin, UDM_GETPOS32, 0, 0)));
    const DocTimes d = read_active(dlg);
    if (editable(d)) mark_from_fields(dlg, d, false);
}

// The fields' own procedure, shared by every edit field.
WNDPROC g_fieldProc = nullptr;

// A time field that gains the focus takes its group's up-down.
LRESULT CALLBACK field_proc(HWND field, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SETFOCUS) {
        HWND dlg = GetParent(field);
        const Group* g = nullptr;
        if (const Field* f = field_of(GetDlgCtrlID(field), &g)) attach_spin(dlg, *g, *f);
    }
    return CallWindowProc(g_fieldProc, field, msg, wp, lp);
}

void on_init(HWND dlg) {
    for (const Group* g : kGroups)
        for (const Field& f : g->fields) {
            HWND field = GetDlgItem(dlg, f.id);
            SendMessage(field, EM_LIMITTEXT, f.digits == 3 ? 3 : kMaxDigits, 0);
            auto own = reinterpret_cast<WNDPROC>(
                SetWindowLongPtr(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(field_proc)));
            if (own != field_proc) g_fieldProc = own;
        }
    attach_spin(dlg, kStart, kStart.fields[1]);
    attach_spin(dlg, kLength, kLength.fields[1]);
    SetFocus(GetDlgItem(dlg, IDC_POSBAR_STARTSEC));
}

bool drawn_normally(HWND control) {
    const int id = GetDlgCtrlID(control);
    return id == IDC_POSBAR_STARTLABEL || id == IDC_POSBAR_LENGTHLABEL ||
           id == IDC_POSBAR_POSITIONLABEL;
}

INT_PTR on_command(HWND dlg, WPARAM wp) {
    const int id = LOWORD(wp), code = HIWORD(wp);
    if (id == IDM_MARKALL || id == IDM_DESTROYMARK) {
        on_button(dlg, id == IDM_MARKALL ? IDC_POSBAR_MARKALL : IDC_POSBAR_DESTROYMARK);
        return TRUE;
    }
    if (code == BN_CLICKED &&
        (id == IDC_POSBAR_MARKALL || id == IDC_POSBAR_DESTROYMARK || id == IDC_POSBAR_UPDATEMARK))
        on_button(dlg, id);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK PosBarDialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG:
            on_init(dlg);
            return FALSE;
        case UM_MOUSEPOS:
            on_mouse_pos(dlg, wp != 0, DWORD(lp));
            return TRUE;
        case UM_MARKUPDATE:
            on_mark_update(dlg);
            return TRUE;
        case UM_DOCAVAILABLE:
        case UM_NODOCUMENT:
            enable_fields(dlg, msg == UM_DOCAVAILABLE);
            return TRUE;
        case WM_VSCROLL: {
            auto spin = reinterpret_cast<HWND>(lp);
            const int id = GetDlgCtrlID(spin);
            if (id == IDC_POSBAR_STARTSPIN || id == IDC_POSBAR_LENGTHSPIN) on_spin(dlg, spin);
            return TRUE;
        }
        case WM_COMMAND:
            return on_command(dlg, wp);
        case WM_CTLCOLORSTATIC: {
            if (drawn_normally(reinterpret_cast<HWND>(lp))) return FALSE;
            SetBkColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_HIGHLIGHTTEXT));
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_HIGHLIGHTTEXT));
        }
        default:
            return FALSE;
    }
}
