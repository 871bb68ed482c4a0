// "ReBarWindow32": bands kept as REBARBANDINFO records with the rectangles the
// last layout gave them. The rebar places its bands' children, draws grips,
// band colours and borders, and passes its children's commands and
// notifications on to its parent.
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "controls/common_controls.h"

namespace plat::dlg {

namespace {

constexpr int kGripSpace = 10;  // pixels left of the child when the band shows a grip
constexpr int kMargin = 2;      // pixels left of the child without a grip
constexpr int kChildEdge = 2;   // pixels above and below a child with RBBS_CHILDEDGE
constexpr int kRowBorder = 2;   // pixels between rows with RBS_BANDBORDERS

struct Band {
    REBARBANDINFO info{};
    std::string text;
    RECT rc{0, 0, 0, 0};
    int row = -1;  // -1: hidden
};

struct Rebar {
    std::vector<Band> bands;
    std::vector<int> row_heights;
    int height = 0;
};

std::map<HWND, Rebar> g_rebars;  // user-interface thread only

DWORD style_of(HWND hwnd) {
    return DWORD(GetWindowLong(hwnd, GWL_STYLE));
}

bool has_grip(const Rebar& r, const Band& b) {
    if (b.info.fStyle & RBBS_NOGRIPPER) return false;
    return r.bands.size() > 1 || (b.info.fStyle & RBBS_GRIPPERALWAYS);
}

int header(const Rebar& r, const Band& b) {
    return has_grip(r, b) ? kGripSpace : kMargin;
}

int band_height(const Band& b) {
    int h = int((b.info.fStyle & RBBS_VARIABLEHEIGHT) && b.info.cyChild ? b.info.cyChild
                                                                        : b.info.cyMinChild);
    return h + ((b.info.fStyle & RBBS_CHILDEDGE) ? 2 * kChildEdge : 0);
}

void place_child(const Band& b, int head) {
    HWND child = b.info.hwndChild;
    if (!child || !IsWindow(child)) return;
    if (b.row < 0) {
        ShowWindow(child, SW_HIDE);
        return;
    }
    int h = int(b.info.cyMinChild);
    int room = b.rc.bottom - b.rc.top;
    if ((b.info.fStyle & RBBS_VARIABLEHEIGHT) && b.info.cyChild) h = int(b.info.cyChild);
    if (h <= 0) h = room;
    int x = b.rc.left + head;
    MoveWindow(child, x, b.rc.top + (room - h) / 2, std::max(0, int(b.rc.right) - x), h, TRUE);
    ShowWindow(child, SW_SHOW);
}

// Lays the bands out in rows across the client width and places the children.
void layout(HWND hwnd, Rebar& r) {
    RECT client{};
    GetClientRect(hwnd, &client);
    int width = client.right;
    bool borders = style_of(hwnd) & RBS_BANDBORDERS;
    r.row_heights.clear();
    int x = 0, row = -1;
    std::vector<Band*> in_row;
    auto end_row = [&] {
        if (in_row.empty()) return;
        int h = 0;
        for (Band* b : in_row) h = std::max(h, band_height(*b));
        r.row_heights.push_back(h);
        in_row.back()->rc.right = std::max(in_row.back()->rc.right, LONG(width));
        in_row.clear();
    };
    for (Band& b : r.bands) {
        b.row = -1;
        if (b.info.fStyle & RBBS_HIDDEN) continue;
        int least = header(r, b) + int(b.info.cxMinChild);
        int w = std::max(least, int(b.info.cx));
        bool wrap = x > 0 && ((b.info.fStyle & RBBS_BREAK) || x + least > width);
        if (row < 0 || wrap) {
            end_row();
            ++row;
            x = 0;
        }
        b.row = row;
        b.rc = RECT{x, 0, x + w, 0};
        x += w;
        in_row.push_back(&b);
    }
    end_row();
    std::vector<int> tops;
    int y = 0;
    for (int h : r.row_heights) {
        tops.push_back(y);
        y += h + (borders ? kRowBorder : 0);
    }
    r.height = r.row_heights.empty() ? 0 : y - (borders ? kRowBorder : 0);
    for (Band& b : r.bands) {
        if (b.row >= 0) {
            b.rc.top = tops[size_t(b.row)];
            b.rc.bottom = b.rc.top + r.row_heights[size_t(b.row)];
        }
        place_child(b, header(r, b));
    }
    InvalidateRect(hwnd, nullptr, TRUE);
}

// After a change of bands: lays out, then fits the rebar's height to its rows.
void refit(HWND hwnd, Rebar& r) {
    layout(hwnd, r);
    RECT client{};
    GetClientRect(hwnd, &client);
    if ((style_of(hwnd) & CCS_NORESIZE) || client.bottom == r.height) return;
    SetWindowPos(hwnd, nullptr, 0, 0, client.right, r.height, SWP_NOMOVE | SWP_NOZORDER);
}

// Takes the fields fMask names from a caller's record.
void merge(Band& b, LPARAM lp) {
    auto* given = reinterpret_cast<const REBARBANDINFO*>(lp);
    REBARBANDINFO in{};
    std::memcpy(&in, given, std::min<size_t>(given->cbSize, sizeof in));
    REBARBANDINFO& o = b.info;
    UINT m = in.fMask;
    if (m & RBBIM_STYLE) o.fStyle = in.fStyle;
    if (m & RBBIM_COLORS) {
        o.clrFore = in.clrFore;
        o.clrBack = in.clrBack;
    }
    if (m & RBBIM_TEXT) b.text = in.lpText ? in.lpText : "";
    if (m & RBBIM_IMAGE) o.iImage = in.iImage;
    if (m & RBBIM_CHILD) o.hwndChild = in.hwndChild;
    if (m & RBBIM_CHILDSIZE) {
        o.cxMinChild = in.cxMinChild;
        o.cyMinChild = in.cyMinChild;
        o.cyChild = in.cyChild;
        o.cyMaxChild = in.cyMaxChild;
        o.cyIntegral = in.cyIntegral;
    }
    if (m & RBBIM_SIZE) o.cx = in.cx;
    if (m & RBBIM_BACKGROUND) o.hbmBack = in.hbmBack;
    if (m & RBBIM_ID) o.wID = in.wID;
    if (m & RBBIM_IDEALSIZE) o.cxIdeal = in.cxIdeal;
    if (m & RBBIM_LPARAM) o.lParam = in.lParam;
    if (m & RBBIM_HEADERSIZE) o.cxHeader = in.cxHeader;
    o.fMask |= m;
}

LRESULT insert(HWND hwnd, Rebar& r, WPARAM wp, LPARAM lp) {
    if (!lp) return FALSE;
    Band b;
    merge(b, lp);
    size_t at = int(wp) < 0 ? r.bands.size() : std::min<size_t>(wp, r.bands.size());
    r.bands.insert(r.bands.begin() + long(at), b);
    if (HWND child = b.info.hwndChild; child && IsWindow(child)) SetParent(child, hwnd);
    refit(hwnd, r);
    return TRUE;
}

LRESULT get_info(const Band& b, LPARAM lp) {
    auto* out = reinterpret_cast<REBARBANDINFO*>(lp);
    REBARBANDINFO all = b.info;
    UINT mask = out->fMask;
    if ((mask & RBBIM_TEXT) && out->lpText && out->cch > 0) {
        size_t n = std::min<size_t>(b.text.size(), out->cch - 1);
        std::memcpy(out->lpText, b.text.data(), n);
        out->lpText[n] = '\0';
    }
    all.cbSize = out->cbSize;
    all.fMask = mask;
    all.lpText = out->lpText;
    all.cch = out->cch;
    std::memcpy(out, &all, std::min<size_t>(out->cbSize, sizeof all));
    return TRUE;
}

void paint(HWND hwnd, const Rebar& r) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT all{};
    GetClientRect(hwnd, &all);
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    bool borders = style_of(hwnd) & RBS_BANDBORDERS;
    for (const Band& b : r.bands) {
        if (b.row < 0) continue;
        RECT rc = b.rc;
        if (b.info.fMask & RBBIM_COLORS) {
            HBRUSH back = CreateSolidBrush(b.info.clrBack);
            FillRect(dc, &rc, back);
            DeleteObject(back);
        }
        if (has_grip(r, b)) {
            RECT grip{rc.left + 2, rc.top + 2, rc.left + 5, rc.bottom - 2};
            DrawEdge(dc, &grip, BDR_RAISEDINNER, BF_RECT);
        }
        if (borders && rc.left > 0) {
            RECT edge{rc.left - 2, rc.top, rc.left, rc.bottom};
            DrawEdge(dc, &edge, EDGE_ETCHED, BF_LEFT);
        }
        if (borders && rc.bottom < r.height) {
            RECT edge{rc.left, rc.bottom, rc.right, rc.bottom + kRowBorder};
            DrawEdge(dc, &edge, EDGE_ETCHED, BF_TOP);
        }
    }
    EndPaint(hwnd, &ps);
}

int row_of(const Rebar& r, WPARAM index) {
    return index < r.bands.size() ? r.bands[index].row : -1;
}

LRESULT handle(HWND hwnd, Rebar& r, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case RB_INSERTBAND:
            return insert(hwnd, r, wp, lp);
        case RB_DELETEBAND:
            if (wp >= r.bands.size()) return FALSE;
            if (HWND child = r.bands[wp].info.hwndChild; child && IsWindow(child))
                ShowWindow(child, SW_HIDE);
            r.bands.erase(r.bands.begin() + long(wp));
            refit(hwnd, r);
            return TRUE;
        case RB_SETBANDINFO:
            if (wp >= r.bands.size() || !lp) return FALSE;
            merge(r.bands[wp], lp);
            if (HWND child = r.bands[wp].info.hwndChild; child && IsWindow(child))
                SetParent(child, hwnd);
            refit(hwnd, r);
            return TRUE;
        case RB_GETBANDINFO:
            return wp < r.bands.size() && lp ? get_info(r.bands[wp], lp) : FALSE;
        case RB_GETBANDCOUNT:
            return LRESULT(r.bands.size());
        case RB_GETROWCOUNT:
            return LRESULT(r.row_heights.size());
        case RB_GETROWHEIGHT: {
            int row = row_of(r, wp);
            return row < 0 ? 0 : r.row_heights[size_t(row)];
        }
        case RB_GETBARHEIGHT:
            return r.height;
        case RB_GETRECT:
            if (wp >= r.bands.size() || !lp) return FALSE;
            *reinterpret_cast<RECT*>(lp) = r.bands[wp].rc;
            return TRUE;
        case RB_IDTOINDEX:
            for (size_t i = 0; i < r.bands.size(); ++i)
                if ((r.bands[i].info.fMask & RBBIM_ID) && r.bands[i].info.wID == wp)
                    return LRESULT(i);
            return -1;
        case WM_SIZE:
            layout(hwnd, r);
            return 0;
        case WM_PAINT:
            paint(hwnd, r);
            return 0;
        case WM_COMMAND:
        case WM_NOTIFY:
            return SendMessage(GetParent(hwnd), msg, wp, lp);
        default:
            return DefWindowProc(hwnd, msg, wp, lp);
    }
}

}  // namespace

LRESULT CALLBACK rebar_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) {
        g_rebars[hwnd] = Rebar{};
        return 0;
    }
    auto it = g_rebars.find(hwnd);
    if (it == g_rebars.end()) return DefWindowProc(hwnd, msg, wp, lp);
    if (msg == WM_DESTROY) {
        g_rebars.erase(it);
        return 0;
    }
    return handle(hwnd, it->second, msg, wp, lp);
}

}  // namespace plat::dlg
