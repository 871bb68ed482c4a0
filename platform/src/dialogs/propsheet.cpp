// Property sheets: a modal dialog made from a template of our own (no items),
// whose procedure builds the tab control and the buttons, makes each page from
// its template the first time it is shown, and runs the page notifications.
#include <algorithm>
#include <string>
#include <vector>

#include "controls/common_controls.h"
#include "controls/controls_private.h"
#include "dialogs/dialogs_private.h"

namespace plat::dlg {

namespace {

constexpr int kMargin = 7;  // pixels around the tab control and the buttons
constexpr int kButtonW = 75, kButtonH = 23, kButtonGap = 6;
constexpr int kTabsId = 0x3020;

struct Page {
    PROPSHEETPAGE psp{};
    DIALOGTEMPLATE tmpl{};  // the page's template, made a child panel
    std::string title;
    HWND hwnd = nullptr;
};

struct Sheet {
    std::vector<Page> pages;
    std::string caption;
    bool apply_button = true;
    UINT start = 0;
    int current = -1;
    HWND tabs = nullptr;
    RECT display{0, 0, 0, 0};  // where pages go, in the sheet's client coordinates
    int page_w = 0, page_h = 0;
    bool confirmed = false;
};

Sheet* sheet_of(HWND dlg) {
    return reinterpret_cast<Sheet*>(GetWindowLongPtr(dlg, DWLP_USER));
}

// A text that may be a string id of inst.
std::string text_or_string(HINSTANCE inst, LPCSTR text) {
    if (!text) return "";
    if (!IS_INTRESOURCE(text)) return text;
    char buf[512];
    LoadString(inst, LOWORD(reinterpret_cast<uintptr_t>(text)), buf, sizeof buf);
    return buf;
}

// Sends a page notification and gives the page's answer (DWLP_MSGRESULT).
LRESULT notify(HWND dlg, HWND page, UINT code, LPARAM lp) {
    if (!page || !IsWindow(page)) return 0;
    SetWindowLongPtr(page, DWLP_MSGRESULT, 0);
    PSHNOTIFY n{{dlg, 0, code}, lp};
    return SendMessage(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
}

// The shown page agrees to be left.
bool leave_ok(HWND dlg, Sheet& s) {
    if (s.current < 0) return true;
    return notify(dlg, s.pages[size_t(s.current)].hwnd, PSN_KILLACTIVE, 0) == 0;
}

bool show_page(HWND dlg, Sheet& s, int index) {
    if (index < 0 || index >= int(s.pages.size())) return false;
    Page& p = s.pages[size_t(index)];
    if (!p.hwnd) {
        p.hwnd = create_from_template(p.psp.hInstance, &p.tmpl, dlg, p.psp.pfnDlgProc,
                                      reinterpret_cast<LPARAM>(&p.psp));
        if (!p.hwnd || !IsWindow(dlg)) return false;
        MoveWindow(p.hwnd, s.display.left, s.display.top, s.display.right - s.display.left,
                   s.display.bottom - s.display.top, FALSE);
    }
    int old = s.current;
    s.current = index;
    SendMessage(s.tabs, TCM_SETCURSEL, WPARAM(index), 0);
    notify(dlg, p.hwnd, PSN_SETACTIVE, 0);
    if (!IsWindow(dlg) || s.current != index) return IsWindow(dlg);
    ShowWindow(p.hwnd, SW_SHOW);
    if (old >= 0 && old != index) ShowWindow(s.pages[size_t(old)].hwnd, SW_HIDE);
    return true;
}

bool activate(HWND dlg, Sheet& s, int index) {
    if (index < 0 || index >= int(s.pages.size())) return false;
    if (index == s.current) return true;
    return leave_ok(dlg, s) && show_page(dlg, s, index);
}

// OK (ok true) and Apply: every page made so far applies, in page order.
bool apply(HWND dlg, Sheet& s, bool ok) {
    if (!leave_ok(dlg, s)) return false;
    for (size_t i = 0; i < s.pages.size(); ++i) {
        LRESULT r = notify(dlg, s.pages[i].hwnd, PSN_APPLY, ok ? TRUE : FALSE);
        if (!IsWindow(dlg)) return false;
        if (r == PSNRET_INVALID) {
            show_page(dlg, s, int(i));
            return false;
        }
        if (r == PSNRET_INVALID_NOCHANGEPAGE) return false;
    }
    EnableWindow(GetDlgItem(dlg, ID_APPLY_NOW), FALSE);
    return true;
}

void cancel(HWND dlg, Sheet& s) {
    if (s.current >= 0 && notify(dlg, s.pages[size_t(s.current)].hwnd, PSN_QUERYCANCEL, 0)) return;
    for (Page& p : s.pages) notify(dlg, p.hwnd, PSN_RESET, 0);
    EndDialog(dlg, 0);
}

HWND make_button(HWND dlg, LPCSTR text, int id, int x, int y, DWORD style) {
    return CreateWindowEx(0, "BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, y,
                          kButtonW, kButtonH, dlg,
                          reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
}

void build(HWND dlg, Sheet& s) {
    RECT client{};
    GetClientRect(dlg, &client);
    RECT tab_rect{kMargin, kMargin, client.right - kMargin, client.bottom - 2 * kMargin - kButtonH};
    s.tabs =
        CreateWindowEx(0, WC_TABCONTROL, "", WS_CHILD | WS_VISIBLE, tab_rect.left, tab_rect.top,
                       tab_rect.right - tab_rect.left, tab_rect.bottom - tab_rect.top, dlg,
                       reinterpret_cast<HMENU>(static_cast<intptr_t>(kTabsId)), nullptr, nullptr);
    for (size_t i = 0; i < s.pages.size(); ++i) {
        TCITEM item{};
        item.mask = TCIF_TEXT;
        item.pszText = s.pages[i].title.data();
        SendMessage(s.tabs, TCM_INSERTITEM, i, reinterpret_cast<LPARAM>(&item));
    }
    s.display = RECT{0, 0, tab_rect.right - tab_rect.left, tab_rect.bottom - tab_rect.top};
    SendMessage(s.tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&s.display));
    s.display.left += tab_rect.left;
    s.display.right += tab_rect.left;
    s.display.top += tab_rect.top;
    s.display.bottom += tab_rect.top;
    int y = client.bottom - kMargin - kButtonH;
    int x = client.right - kMargin - kButtonW;
    if (s.apply_button) {
        make_button(dlg, "&Apply", ID_APPLY_NOW, x, y, BS_PUSHBUTTON);
        EnableWindow(GetDlgItem(dlg, ID_APPLY_NOW), FALSE);
        x -= kButtonW + kButtonGap;
    }
    make_button(dlg, "Cancel", IDCANCEL, x, y, BS_PUSHBUTTON);
    make_button(dlg, "OK", IDOK, x - kButtonW - kButtonGap, y, BS_DEFPUSHBUTTON);
}

INT_PTR answer(HWND dlg, LRESULT value) {
    SetWindowLongPtr(dlg, DWLP_MSGRESULT, value);
    return TRUE;
}

INT_PTR command(HWND dlg, Sheet& s, int id) {
    switch (id) {
        case IDOK:
            if (apply(dlg, s, true)) {
                s.confirmed = true;
                EndDialog(dlg, 1);
            }
            return TRUE;
        case IDCANCEL:
            cancel(dlg, s);
            return TRUE;
        case ID_APPLY_NOW:
            apply(dlg, s, false);
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK sheet_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        auto* s = reinterpret_cast<Sheet*>(lp);
        SetWindowLongPtr(dlg, DWLP_USER, lp);
        build(dlg, *s);
        UINT start = s->start < s->pages.size() ? s->start : 0;
        if (!show_page(dlg, *s, int(start))) EndDialog(dlg, -1);
        return TRUE;
    }
    Sheet* s = sheet_of(dlg);
    if (!s) return FALSE;
    switch (msg) {
        case WM_COMMAND:
            return command(dlg, *s, LOWORD(wp));
        case WM_NOTIFY: {
            auto* nm = reinterpret_cast<NMHDR*>(lp);
            if (!nm || nm->hwndFrom != s->tabs) return FALSE;
            if (nm->code == TCN_SELCHANGING) return answer(dlg, leave_ok(dlg, *s) ? FALSE : TRUE);
            if (nm->code == TCN_SELCHANGE)
                show_page(dlg, *s, int(SendMessage(s->tabs, TCM_GETCURSEL, 0, 0)));
            return answer(dlg, 0);
        }
        case PSM_SETCURSEL:
            return answer(dlg, activate(dlg, *s, int(wp)));
        case PSM_CHANGED:
        case PSM_UNCHANGED:
            EnableWindow(GetDlgItem(dlg, ID_APPLY_NOW), msg == PSM_CHANGED);
            return answer(dlg, TRUE);
        case PSM_APPLY:
            return answer(dlg, apply(dlg, *s, false));
        case PSM_PRESSBUTTON: {
            int id = wp == PSBTN_OK         ? IDOK
                     : wp == PSBTN_CANCEL   ? IDCANCEL
                     : wp == PSBTN_APPLYNOW ? ID_APPLY_NOW
                                            : 0;
            if (id) press(dlg, id);
            return answer(dlg, id != 0);
        }
        case PSM_GETTABCONTROL:
            return answer(dlg, reinterpret_cast<LRESULT>(s->tabs));
        case PSM_GETCURRENTPAGEHWND:
            return answer(dlg, s->current < 0
                                   ? 0
                                   : reinterpret_cast<LRESULT>(s->pages[size_t(s->current)].hwnd));
        case PSM_INDEXTOHWND:
            return answer(dlg,
                          wp < s->pages.size() ? reinterpret_cast<LRESULT>(s->pages[wp].hwnd) : 0);
        default:
            return FALSE;
    }
}

// The pages with their templates made child panels; false when one is missing.
bool read_pages(const PROPSHEETHEADER& h, Sheet* s) {
    for (UINT i = 0; i < h.nPages; ++i) {
        Page p;
        p.psp = h.ppsp[i];
        const DIALOGTEMPLATE* t = (p.psp.dwFlags & PSP_DLGINDIRECT)
                                      ? p.psp.pResource
                                      : find_template(p.psp.hInstance, p.psp.pszTemplate);
        if (!t) return false;
        p.tmpl = *t;
        DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE |
                      DS_MODALFRAME | DS_CENTER;
        p.tmpl.style = (t->style & ~frame) | WS_CHILD | DS_CONTROL;
        p.tmpl.x = p.tmpl.y = 0;
        p.title = (p.psp.dwFlags & PSP_USETITLE) ? text_or_string(p.psp.hInstance, p.psp.pszTitle)
                                                 : (t->caption ? t->caption : "");
        s->page_w = std::max(s->page_w, du_x(t->cx));
        s->page_h = std::max(s->page_h, du_y(t->cy));
        s->pages.push_back(p);
    }
    return !s->pages.empty();
}

INT_PTR run(const PROPSHEETHEADER& h) {
    if (!(h.dwFlags & PSH_PROPSHEETPAGE) || !h.ppsp || h.nPages == 0) return -1;
    Sheet s;
    if (!read_pages(h, &s)) return -1;
    std::string caption = text_or_string(h.hInstance, h.pszCaption);
    s.caption = (h.dwFlags & PSH_PROPTITLE) ? "Properties for " + caption : caption;
    s.apply_button = !(h.dwFlags & PSH_NOAPPLYNOW);
    s.start = h.nStartPage;
    // The sheet's client size in pixels, rounded up to dialog units below.
    int w = s.page_w + 2 * kTabPaneBorder + 2 * kMargin;
    int hgt = s.page_h + kTabRowHeight + 2 * kTabPaneBorder + 3 * kMargin + kButtonH;
    DIALOGTEMPLATE tmpl{s.caption.c_str(),
                        DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                        0,
                        0,
                        0,
                        short((w * 4 + 5) / 6),
                        short((hgt * 8 + 12) / 13),
                        nullptr,
                        8,
                        nullptr,
                        0};
    INT_PTR r = DialogBoxIndirectParam(h.hInstance, &tmpl, h.hwndParent, sheet_proc,
                                       reinterpret_cast<LPARAM>(&s));
    if (r == -1) return -1;
    return s.confirmed ? 1 : 0;
}

}  // namespace

}  // namespace plat::dlg

INT_PTR PropertySheet(LPCPROPSHEETHEADER header) {
    if (!header) return -1;
    return plat::run_on_ui([header] { return LRESULT(plat::dlg::run(*header)); });
}
