// "ToolbarWindow32": buttons kept as TBBUTTON records with the rectangle the
// last layout gave them. The control draws itself and takes its clicks as
// window messages; its tooltip control holds one tool per shown button.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <map>
#include <vector>

#include "controls/common_controls.h"
#include "controls/controls_private.h"
#include "dialogs/dialogs_private.h"

namespace plat::dlg {

namespace {

constexpr int kPadding = 7;         // button size over image size, both ways
constexpr int kSeparatorWidth = 8;  // pixels, for a separator with iBitmap 0
constexpr COLORREF kResourceMask = RGB(192, 192, 192);

struct Button {
    TBBUTTON b{};
    RECT rc{0, 0, 0, 0};
    bool shown = false;
};

struct Toolbar {
    std::vector<Button> buttons;
    HIMAGELIST images = nullptr;
    bool own_images = false;  // made by TB_ADDBITMAP: destroyed with the toolbar
    int bmp_w = 16, bmp_h = 15;
    int btn_w = 0, btn_h = 0;  // 0: the image size plus kPadding
    DWORD ex_style = 0;
    HWND notify = nullptr;
    HWND tooltip = nullptr;
    UINT struct_size = sizeof(TBBUTTON);
    int pressed = -1;  // index of the button under a press
    int rows = 1;
    int height = 0;  // of the laid-out rows
    bool sizing = false;
    std::vector<UINT_PTR> tools;  // ids given to the tooltip control
};

std::map<HWND, Toolbar> g_bars;  // user-interface thread only

DWORD style_of(HWND hwnd) {
    return DWORD(GetWindowLong(hwnd, GWL_STYLE));
}

int button_w(const Toolbar& t) {
    return t.btn_w ? t.btn_w : t.bmp_w + kPadding;
}
int button_h(const Toolbar& t) {
    return t.btn_h ? t.btn_h : t.bmp_h + kPadding;
}

bool is_sep(const TBBUTTON& b) {
    return (b.fsStyle & BTNS_SEP) != 0;
}

int index_of(const Toolbar& t, WPARAM id) {
    for (size_t i = 0; i < t.buttons.size(); ++i)
        if (t.buttons[i].b.idCommand == int(id)) return int(i);
    return -1;
}

void sync_tools(HWND hwnd, Toolbar& t) {
    if (!t.tooltip || !IsWindow(t.tooltip)) return;
    TOOLINFO ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = hwnd;
    for (UINT_PTR id : t.tools) {
        ti.uId = id;
        SendMessage(t.tooltip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&ti));
    }
    t.tools.clear();
    for (const Button& b : t.buttons) {
        if (!b.shown || is_sep(b.b)) continue;
        ti.uId = UINT_PTR(b.b.idCommand);
        ti.rect = b.rc;
        ti.lpszText = LPSTR_TEXTCALLBACK;
        if (SendMessage(t.tooltip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti)))
            t.tools.push_back(ti.uId);
    }
}

// Places the buttons for a width; fills rows and height.
void place(Toolbar& t, int width, bool wrap) {
    int bw = button_w(t), bh = button_h(t);
    int x = 0, y = 0, rows = 1;
    bool any = false;
    for (Button& b : t.buttons) {
        b.shown = !(b.b.fsState & TBSTATE_HIDDEN);
        if (!b.shown) {
            b.rc = RECT{0, 0, 0, 0};
            continue;
        }
        int w = is_sep(b.b) ? (b.b.iBitmap > 0 ? b.b.iBitmap : kSeparatorWidth) : bw;
        if (wrap && x > 0 && x + w > width && !is_sep(b.b)) {
            x = 0;
            y += bh;
            ++rows;
        }
        b.rc = RECT{x, y, x + w, y + bh};
        any = true;
        x += w;
        if (b.b.fsState & TBSTATE_WRAP) {
            x = 0;
            y += bh;
            ++rows;
        }
    }
    // A row ended by the last button holds nothing.
    if (any && x == 0 && rows > 1) --rows;
    t.rows = rows;
    t.height = rows * bh;
}

void layout(HWND hwnd, Toolbar& t) {
    RECT rc{};
    GetClientRect(hwnd, &rc);
    place(t, rc.right, style_of(hwnd) & TBSTYLE_WRAPABLE);
    sync_tools(hwnd, t);
    InvalidateRect(hwnd, nullptr, TRUE);
}

void autosize(HWND hwnd, Toolbar& t) {
    DWORD style = style_of(hwnd);
    if ((style & CCS_NORESIZE) || t.sizing) return layout(hwnd, t);
    HWND parent = GetParent(hwnd);
    RECT pr{}, wr{};
    if (parent) GetClientRect(parent, &pr);
    GetWindowRect(hwnd, &wr);
    POINT at{wr.left, wr.top};
    if (parent) ScreenToClient(parent, &at);
    bool keep = (style & CCS_NOPARENTALIGN) || !parent;
    int width = keep ? int(wr.right - wr.left) : int(pr.right);
    place(t, width, style & TBSTYLE_WRAPABLE);
    int x = keep ? at.x : 0, y = at.y;
    if (!keep && (style & 3) == CCS_BOTTOM)
        y = pr.bottom - t.height;
    else if (!keep && (style & 3) != CCS_NOMOVEY)
        y = 0;
    t.sizing = true;
    MoveWindow(hwnd, x, y, width, t.height, TRUE);
    t.sizing = false;
    layout(hwnd, t);
}

// Applies a check to a button; a group button checked unchecks its group.
void set_checked(Toolbar& t, int i, bool check) {
    TBBUTTON& b = t.buttons[size_t(i)].b;
    if (check) {
        b.fsState |= TBSTATE_CHECKED;
    } else {
        b.fsState &= BYTE(~TBSTATE_CHECKED);
    }
    if (!check || (b.fsStyle & BTNS_CHECKGROUP) != BTNS_CHECKGROUP) return;
    auto in_group = [&](int k) {
        return k >= 0 && k < int(t.buttons.size()) &&
               (t.buttons[size_t(k)].b.fsStyle & BTNS_CHECKGROUP) == BTNS_CHECKGROUP;
    };
    for (int k = i - 1; in_group(k); --k) t.buttons[size_t(k)].b.fsState &= BYTE(~TBSTATE_CHECKED);
    for (int k = i + 1; in_group(k); ++k) t.buttons[size_t(k)].b.fsState &= BYTE(~TBSTATE_CHECKED);
}

const TBBUTTON* button_at(const Toolbar& t, LPARAM array, size_t i) {
    auto base = reinterpret_cast<const unsigned char*>(array);
    return reinterpret_cast<const TBBUTTON*>(base + i * t.struct_size);
}

LRESULT insert(HWND hwnd, Toolbar& t, size_t at, size_t count, LPARAM array) {
    if (!array) return FALSE;
    at = std::min(at, t.buttons.size());
    std::vector<Button> added(count);
    for (size_t i = 0; i < count; ++i) {
        std::memcpy(&added[i].b, button_at(t, array, i),
                    std::min<size_t>(t.struct_size, sizeof(TBBUTTON)));
    }
    t.buttons.insert(t.buttons.begin() + long(at), added.begin(), added.end());
    t.pressed = -1;
    layout(hwnd, t);
    return TRUE;
}

LRESULT add_bitmap(Toolbar& t, int count, const TBADDBITMAP* ab) {
    if (!ab) return -1;
    if (!t.images) {
        t.images = ImageList_Create(t.bmp_w, t.bmp_h, ILC_MASK | ILC_COLOR24, 4, 4);
        t.own_images = true;
    }
    if (!ab->hInst)
        return imagelist_add(t.images, reinterpret_cast<HBITMAP>(ab->nID), count, CLR_NONE);
    HBITMAP bitmap = LoadBitmap(ab->hInst, reinterpret_cast<LPCSTR>(ab->nID));
    if (!bitmap) return -1;
    int first = imagelist_add(t.images, bitmap, count, kResourceMask);
    DeleteObject(bitmap);
    return first;
}

LRESULT set_images(HWND hwnd, Toolbar& t, HIMAGELIST list) {
    HIMAGELIST old = t.own_images ? nullptr : t.images;
    if (t.own_images) ImageList_Destroy(t.images);
    t.images = list;
    t.own_images = false;
    if (list) ImageList_GetIconSize(list, &t.bmp_w, &t.bmp_h);
    layout(hwnd, t);
    return reinterpret_cast<LRESULT>(old);
}

// The state bit of button id, for the TB_ISBUTTON* queries.
LRESULT state_bit(const Toolbar& t, WPARAM id, BYTE bit) {
    int i = index_of(t, id);
    if (i < 0) return -1;
    return (t.buttons[size_t(i)].b.fsState & bit) ? TRUE : FALSE;
}

LRESULT change_state(HWND hwnd, Toolbar& t, WPARAM id, BYTE bit, bool on) {
    int i = index_of(t, id);
    if (i < 0) return FALSE;
    BYTE& s = t.buttons[size_t(i)].b.fsState;
    bool hidden_before = s & TBSTATE_HIDDEN;
    if (bit == TBSTATE_CHECKED) {
        set_checked(t, i, on);
    } else if (on) {
        s |= bit;
    } else {
        s &= BYTE(~bit);
    }
    if (bit == TBSTATE_ENABLED && !on && t.pressed == i) t.pressed = -1;
    if (bool(s & TBSTATE_HIDDEN) != hidden_before)
        layout(hwnd, t);
    else
        InvalidateRect(hwnd, nullptr, TRUE);
    return TRUE;
}

LRESULT get_rect(const Toolbar& t, int i, LPARAM lp) {
    if (i < 0 || i >= int(t.buttons.size()) || !lp || !t.buttons[size_t(i)].shown) return FALSE;
    *reinterpret_cast<RECT*>(lp) = t.buttons[size_t(i)].rc;
    return TRUE;
}

int hit(const Toolbar& t, LPARAM lp) {
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    for (size_t i = 0; i < t.buttons.size(); ++i) {
        const RECT& r = t.buttons[i].rc;
        if (t.buttons[i].shown && pt.x >= r.left && pt.x < r.right && pt.y >= r.top &&
            pt.y < r.bottom)
            return int(i);
    }
    return -1;
}

void press(HWND hwnd, Toolbar& t, LPARAM lp) {
    int i = hit(t, lp);
    if (i < 0) return;
    TBBUTTON& b = t.buttons[size_t(i)].b;
    if (is_sep(b) || !(b.fsState & TBSTATE_ENABLED)) return;
    t.pressed = i;
    b.fsState |= TBSTATE_PRESSED;
    SetCapture(hwnd);
    InvalidateRect(hwnd, nullptr, TRUE);
}

void track(HWND hwnd, Toolbar& t, LPARAM lp) {
    if (t.pressed < 0) return;
    BYTE& s = t.buttons[size_t(t.pressed)].b.fsState;
    bool inside = hit(t, lp) == t.pressed;
    if (inside == bool(s & TBSTATE_PRESSED)) return;
    s = inside ? BYTE(s | TBSTATE_PRESSED) : BYTE(s & ~TBSTATE_PRESSED);
    InvalidateRect(hwnd, nullptr, TRUE);
}

void release(HWND hwnd, LPARAM lp) {
    auto it = g_bars.find(hwnd);
    if (it == g_bars.end() || it->second.pressed < 0) return;
    Toolbar& t = it->second;
    int i = t.pressed;
    t.pressed = -1;
    TBBUTTON& b = t.buttons[size_t(i)].b;
    b.fsState &= BYTE(~TBSTATE_PRESSED);
    bool clicked = hit(t, lp) == i;
    if (clicked && (b.fsStyle & BTNS_CHECK)) {
        bool group = (b.fsStyle & BTNS_CHECKGROUP) == BTNS_CHECKGROUP;
        set_checked(t, i, group || !(b.fsState & TBSTATE_CHECKED));
    }
    int id = b.idCommand;
    HWND notify = t.notify;
    InvalidateRect(hwnd, nullptr, TRUE);
    if (GetCapture() == hwnd) ReleaseCapture();
    if (clicked && notify)
        SendMessage(notify, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
}

void make_tooltip(HWND hwnd, Toolbar& t, HINSTANCE inst) {
    t.tooltip = CreateWindowEx(0, TOOLTIPS_CLASS, "", WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, hwnd,
                               nullptr, inst, nullptr);
}

// Button messages: the records and their states.
bool button_message(HWND hwnd, Toolbar& t, UINT msg, WPARAM wp, LPARAM lp, LRESULT* out) {
    switch (msg) {
        case TB_BUTTONSTRUCTSIZE:
            if (wp >= offsetof(TBBUTTON, dwData)) t.struct_size = UINT(wp);
            *out = 0;
            return true;
        case TB_ADDBUTTONS:
            *out = insert(hwnd, t, t.buttons.size(), wp, lp);
            return true;
        case TB_INSERTBUTTON:
            *out = insert(hwnd, t, int(wp) < 0 ? t.buttons.size() : wp, 1, lp);
            return true;
        case TB_DELETEBUTTON:
            if (wp >= t.buttons.size()) {
                *out = FALSE;
                return true;
            }
            if (t.pressed >= 0 && GetCapture() == hwnd) ReleaseCapture();
            t.buttons.erase(t.buttons.begin() + long(wp));
            t.pressed = -1;
            layout(hwnd, t);
            *out = TRUE;
            return true;
        case TB_BUTTONCOUNT:
            *out = LRESULT(t.buttons.size());
            return true;
        case TB_GETBUTTON:
            if (wp >= t.buttons.size() || !lp) {
                *out = FALSE;
                return true;
            }
            std::memcpy(reinterpret_cast<void*>(lp), &t.buttons[wp].b,
                        std::min<size_t>(t.struct_size, sizeof(TBBUTTON)));
            *out = TRUE;
            return true;
        case TB_COMMANDTOINDEX:
            *out = index_of(t, wp);
            return true;
        case TB_CHECKBUTTON:
            *out = change_state(hwnd, t, wp, TBSTATE_CHECKED, LOWORD(lp) != 0);
            return true;
        case TB_ENABLEBUTTON:
            *out = change_state(hwnd, t, wp, TBSTATE_ENABLED, LOWORD(lp) != 0);
            return true;
        case TB_PRESSBUTTON:
            *out = change_state(hwnd, t, wp, TBSTATE_PRESSED, LOWORD(lp) != 0);
            return true;
        case TB_HIDEBUTTON:
            *out = change_state(hwnd, t, wp, TBSTATE_HIDDEN, LOWORD(lp) != 0);
            return true;
        case TB_ISBUTTONCHECKED:
            *out = state_bit(t, wp, TBSTATE_CHECKED);
            return true;
        case TB_ISBUTTONENABLED:
            *out = state_bit(t, wp, TBSTATE_ENABLED);
            return true;
        case TB_ISBUTTONPRESSED:
            *out = state_bit(t, wp, TBSTATE_PRESSED);
            return true;
        case TB_ISBUTTONHIDDEN:
            *out = state_bit(t, wp, TBSTATE_HIDDEN);
            return true;
        case TB_GETSTATE: {
            int i = index_of(t, wp);
            *out = i < 0 ? -1 : t.buttons[size_t(i)].b.fsState;
            return true;
        }
        case TB_SETSTATE: {
            int i = index_of(t, wp);
            if (i >= 0) t.buttons[size_t(i)].b.fsState = BYTE(LOWORD(lp));
            if (i >= 0) layout(hwnd, t);
            *out = i >= 0;
            return true;
        }
        case TB_GETITEMRECT:
            *out = get_rect(t, int(wp), lp);
            return true;
        case TB_GETRECT:
            *out = get_rect(t, index_of(t, wp), lp);
            return true;
        default:
            return false;
    }
}

// Messages about the toolbar as a whole: images, sizes, tooltips, parent.
bool bar_message(HWND hwnd, Toolbar& t, UINT msg, WPARAM wp, LPARAM lp, LRESULT* out) {
    *out = 0;
    switch (msg) {
        case TB_ADDBITMAP:
            *out = add_bitmap(t, int(wp), reinterpret_cast<const TBADDBITMAP*>(lp));
            InvalidateRect(hwnd, nullptr, TRUE);
            return true;
        case TB_SETIMAGELIST:
            *out = set_images(hwnd, t, reinterpret_cast<HIMAGELIST>(lp));
            return true;
        case TB_GETIMAGELIST:
            *out = reinterpret_cast<LRESULT>(t.images);
            return true;
        case TB_SETBITMAPSIZE:
            if (LOWORD(lp) > 0 && HIWORD(lp) > 0) {
                t.bmp_w = LOWORD(lp);
                t.bmp_h = HIWORD(lp);
            }
            layout(hwnd, t);
            *out = TRUE;
            return true;
        case TB_SETBUTTONSIZE:
            t.btn_w = LOWORD(lp);
            t.btn_h = HIWORD(lp);
            layout(hwnd, t);
            *out = TRUE;
            return true;
        case TB_GETBUTTONSIZE:
            *out = MAKELONG(button_w(t), button_h(t));
            return true;
        case TB_AUTOSIZE:
            autosize(hwnd, t);
            return true;
        case TB_GETROWS:
            *out = t.rows;
            return true;
        case TB_SETEXTENDEDSTYLE:
            *out = LRESULT(t.ex_style);
            t.ex_style = DWORD(lp);
            return true;
        case TB_GETEXTENDEDSTYLE:
            *out = LRESULT(t.ex_style);
            return true;
        case TB_GETTOOLTIPS:
            *out = reinterpret_cast<LRESULT>(t.tooltip);
            return true;
        case TB_SETTOOLTIPS:
            t.tooltip = reinterpret_cast<HWND>(wp);
            t.tools.clear();
            sync_tools(hwnd, t);
            return true;
        case TB_SETPARENT:
            *out = reinterpret_cast<LRESULT>(t.notify);
            t.notify = reinterpret_cast<HWND>(wp);
            return true;
        default:
            return false;
    }
}

}  // namespace

LRESULT CALLBACK toolbar_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCT*>(lp);
        Toolbar& t = g_bars[hwnd];
        t.notify = cs->hwndParent;
        if (DWORD(cs->style) & TBSTYLE_TOOLTIPS) make_tooltip(hwnd, t, cs->hInstance);
        return 0;
    }
    auto it = g_bars.find(hwnd);
    if (it == g_bars.end()) return DefWindowProc(hwnd, msg, wp, lp);
    Toolbar& t = it->second;
    LRESULT out = 0;
    if (button_message(hwnd, t, msg, wp, lp, &out) || bar_message(hwnd, t, msg, wp, lp, &out))
        return out;
    switch (msg) {
        case WM_SIZE:
            autosize(hwnd, t);
            return 0;
        case WM_PAINT: {
            std::vector<RECT> rects;
            std::vector<TBBUTTON> buttons;
            for (const Button& b : t.buttons) {
                if (!b.shown) continue;
                rects.push_back(b.rc);
                buttons.push_back(b.b);
            }
            paint_toolbar(hwnd, rects, buttons, t.images);
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            press(hwnd, t, lp);
            return 0;
        case WM_MOUSEMOVE:
            track(hwnd, t, lp);
            return 0;
        case WM_LBUTTONUP:
            release(hwnd, lp);
            return 0;
        case WM_CAPTURECHANGED:
            if (t.pressed >= 0) {
                t.buttons[size_t(t.pressed)].b.fsState &= BYTE(~TBSTATE_PRESSED);
                t.pressed = -1;
                InvalidateRect(hwnd, nullptr, TRUE);
            }
            return 0;
        case WM_NOTIFY: {
            // The tooltip's questions go to the notify window, as the toolbar's own.
            auto* nm = reinterpret_cast<NMHDR*>(lp);
            if (nm && nm->hwndFrom == t.tooltip && t.notify)
                return SendMessage(t.notify, msg, wp, lp);
            return 0;
        }
        case WM_DESTROY:
            if (t.own_images) ImageList_Destroy(t.images);
            g_bars.erase(it);
            return 0;
        default:
            return DefWindowProc(hwnd, msg, wp, lp);
    }
}

}  // namespace plat::dlg

HWND CreateToolbarEx(HWND parent, DWORD style, UINT id, int nBitmaps, HINSTANCE hBMInst,
                     UINT_PTR wBMID, LPCTBBUTTON buttons, int nButtons, int dxButton, int dyButton,
                     int dxBitmap, int dyBitmap, UINT structSize) {
    HWND hwnd =
        CreateWindowEx(0, TOOLBARCLASSNAME, "", style | WS_CHILD, 0, 0, 100, 30, parent,
                       reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), hBMInst, nullptr);
    if (!hwnd) return nullptr;
    SendMessage(hwnd, TB_BUTTONSTRUCTSIZE, structSize, 0);
    if (dxBitmap > 0 && dyBitmap > 0)
        SendMessage(hwnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(dxBitmap, dyBitmap));
    if (dxButton > 0 && dyButton > 0)
        SendMessage(hwnd, TB_SETBUTTONSIZE, 0, MAKELPARAM(dxButton, dyButton));
    if (nBitmaps > 0 || wBMID) {
        TBADDBITMAP ab{hBMInst, wBMID};
        SendMessage(hwnd, TB_ADDBITMAP, WPARAM(nBitmaps), reinterpret_cast<LPARAM>(&ab));
    }
    if (buttons && nButtons > 0)
        SendMessage(hwnd, TB_ADDBUTTONS, WPARAM(nButtons), reinterpret_cast<LPARAM>(buttons));
    SendMessage(hwnd, TB_AUTOSIZE, 0, 0);
    return hwnd;
}
