// The icon bar ("IconBar"): the "Main Functions" band window ("BARONE") with
// a rebar that holds the toolbar of the main commands, and the logo
// ("LOGO") at the right end, whose clip turns while operations run.
#include <sonrel/ids.h>
#include <sonrel/messages.h>

#include <cstring>

#include "bars.h"
#include "frame.h"

namespace {

constexpr int kBandId = 101;
constexpr int kLogoId = 102;
constexpr int kRebarId = 1002;
constexpr int kToolbarId = 5005;
constexpr int kBandRowId = 1001;
constexpr int kAnimationId = 8761;
constexpr int kBarHeight = 29;
constexpr int kLogoSize = 30;

// One entry of the icon bar's toolbar: a command and its image, or a
// separator (id 0).
struct IconButton {
    int id;
    int image;
    BYTE style;
};

constexpr BYTE kButton = BTNS_BUTTON | BTNS_AUTOSIZE;
constexpr IconButton kSeparator{0, 0, BTNS_SEP};

// clang-format off
const IconButton kIconButtons[] = {
    kSeparator,
    {IDM_NEW, 0, kButton}, {IDM_OPEN, 1, kButton}, {IDM_SAVE, 2, kButton},
    {IDM_SETTINGS, 3, kButton},
    kSeparator,
    {IDM_CUT, 5, kButton}, {IDM_COPY, 6, kButton}, {IDM_PASTE, 7, kButton},
    {IDM_MIX, 8, kButton}, {IDM_CROP, 9, kButton}, {IDM_DELETE, 10, kButton},
    kSeparator,
    {IDM_UNDO, 11, kButton}, {IDM_REVERT, 12, kButton},
    kSeparator,
    {IDM_PLAY, 13, kButton}, {IDM_PAUSE, 14, kButton}, {IDM_STOP, 15, kButton},
    {IDM_RECORD, 16, kButton},
    kSeparator,
    {IDM_CDPLAYER, 17, BTNS_CHECK | BTNS_AUTOSIZE},
    kSeparator,
    {IDM_TONBOX, 18, kButton}, {IDM_OPTIONS, 19, kButton}, {IDM_VOLUMECONTROL, 20, kButton},
    kSeparator,
    {IDM_HOMEPAGE, 21, kButton}, {IDM_EXIT, 23, kButton},
    kSeparator,
};
// clang-format on

HINSTANCE module_of(HWND w) {
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtr(w, GWLP_HINSTANCE));
}

HWND make_toolbar(HWND band, HWND rebar) {
    HINSTANCE inst = module_of(band);
    HWND tb =
        CreateWindowEx(0, TOOLBARCLASSNAME, nullptr,
                       WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
                           CCS_NOPARENTALIGN | CCS_NODIVIDER,
                       0, 0, 700, 30, band,
                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToolbarId)), inst, nullptr);
    if (!tb) return nullptr;
    SendMessage(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessage(tb, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS | TBSTYLE_EX_DRAWDDARROWS);
    HIMAGELIST images = ImageList_LoadBitmap(inst, "TOOLBAR24", 17, 30, RGB(192, 192, 192));
    SendMessage(tb, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    SetProp(band, "IMAGES", images);
    for (const IconButton& b : kIconButtons) {
        TBBUTTON t{};
        t.iBitmap = b.id ? b.image : 0;
        t.idCommand = b.id;
        t.fsState = b.id ? TBSTATE_ENABLED : 0;
        t.fsStyle = b.style;
        SendMessage(tb, TB_ADDBUTTONS, 1, reinterpret_cast<LPARAM>(&t));
    }
    REBARBANDINFO rb{};
    rb.cbSize = sizeof rb;
    rb.fMask = RBBIM_COLORS | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_ID;
    rb.fStyle = RBBS_CHILDEDGE | RBBS_NOVERT | RBBS_USECHEVRON;
    rb.clrFore = GetSysColor(COLOR_BTNTEXT);
    rb.clrBack = GetSysColor(COLOR_BTNFACE);
    rb.hwndChild = tb;
    rb.cxMinChild = 700;
    rb.cyMinChild = 30;
    rb.wID = kBandRowId;
    SendMessage(rebar, RB_INSERTBAND, WPARAM(-1), reinterpret_cast<LPARAM>(&rb));
    return tb;
}

// The tooltip of a button: the part of its command's string after the line
// break.
void button_tip(HWND band, NMTTDISPINFO* info) {
    char text[256] = {};
    if (!LoadString(module_of(band), UINT(info->hdr.idFrom), text, sizeof text)) return;
    const char* tip = std::strchr(text, '\r');
    tip = tip ? tip + 1 : text;
    std::strncpy(info->szText, tip, sizeof info->szText - 1);
    info->szText[sizeof info->szText - 1] = 0;
    info->lpszText = info->szText;
}

LRESULT CALLBACK band_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE: {
            HWND rebar = CreateWindowEx(WS_EX_TOOLWINDOW, REBARCLASSNAME, nullptr,
                                        WS_CHILD | WS_VISIBLE | WS_BORDER | RBS_BANDBORDERS |
                                            RBS_TOOLTIPS | CCS_NODIVIDER | CCS_NOPARENTALIGN,
                                        0, 0, 700, 30, hwnd,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kRebarId)),
                                        module_of(hwnd), nullptr);
            if (rebar) make_toolbar(hwnd, rebar);
            return 0;
        }
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lp);
            if (hdr->code == TTN_GETDISPINFO) button_tip(hwnd, reinterpret_cast<NMTTDISPINFO*>(lp));
            return 0;
        }
        case WM_COMMAND:
            return SendMessage(GetParent(hwnd), WM_COMMAND, wp, lp);
        case WM_DESTROY: {
            auto images = static_cast<HIMAGELIST>(RemoveProp(hwnd, "IMAGES"));
            HWND tb = GetDlgItem(GetDlgItem(hwnd, kRebarId), kToolbarId);
            if (!tb) tb = GetDlgItem(hwnd, kToolbarId);
            if (tb) SendMessage(tb, TB_SETIMAGELIST, 0, 0);
            if (images) ImageList_Destroy(images);
            return 0;
        }
    }
    return DefWindowProc(hwnd, msg, wp, lp);
}

HWND animation(HWND logo) {
    return GetDlgItem(logo, kAnimationId);
}

LRESULT CALLBACK logo_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE: {
            HWND anim = Animate_Create(hwnd, kAnimationId,
                                       WS_CHILD | WS_VISIBLE | ACS_TRANSPARENT | ACS_CENTER,
                                       module_of(hwnd));
            MoveWindow(anim, 0, 0, kLogoSize, kLogoSize, FALSE);
            SendMessage(anim, ACM_OPEN, 0, reinterpret_cast<LPARAM>("SNRSPIN"));
            SendMessage(anim, ACM_PLAY, 1, MAKELPARAM(0, 0xFFFF));
            return 0;
        }
        case UM_SPINSTART:
            SendMessage(animation(hwnd), ACM_PLAY, WPARAM(-1), MAKELPARAM(0, 0xFFFF));
            return 0;
        case UM_SPINSTOP:
            SendMessage(animation(hwnd), ACM_STOP, 0, 0);
            return 0;
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
        case WM_DESTROY:
            SendMessage(animation(hwnd), ACM_OPEN, 0, 0);
            return 0;
    }
    return DefWindowProc(hwnd, msg, wp, lp);
}

void register_parts(HINSTANCE inst) {
    WNDCLASSEX wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = band_proc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = "BARONE";
    RegisterClassEx(&wc);
    wc.lpfnWndProc = logo_proc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "LOGO";
    RegisterClassEx(&wc);
}

HWND child(HWND parent, const char* cls, const char* title, int x, int y, int w, int h, int id) {
    return CreateWindowEx(0, cls, title, WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), module_of(parent),
                          nullptr);
}

// Commands of the menus' range and the programs' ids above 40000 go to the
// frame; the bar's own ids (the CD track hand-over) stop here.
bool for_frame(WORD id) {
    return (id >= 101 && id <= 1999) || id > 40000;
}

}  // namespace

HWND IconBarToolbar(HWND iconBar) {
    HWND band = GetDlgItem(iconBar, kBandId);
    HWND rebar = GetDlgItem(band, kRebarId);
    HWND tb = GetDlgItem(rebar, kToolbarId);
    return tb ? tb : GetDlgItem(band, kToolbarId);
}

LRESULT CALLBACK IconBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE: {
            INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
            InitCommonControlsEx(&icc);
            register_parts(module_of(hwnd));
            child(hwnd, "BARONE", "Main Functions", 0, 0, 700, kBarHeight, kBandId);
            child(hwnd, "LOGO", nullptr, 0, 0, kLogoSize, kLogoSize, kLogoId);
            return 0;
        }
        case WM_SIZE: {
            int w = LOWORD(lp);
            HWND band = GetDlgItem(hwnd, kBandId);
            MoveWindow(band, 0, 0, w, kBarHeight, TRUE);
            MoveWindow(GetDlgItem(band, kRebarId), 0, 0, w - kLogoSize, kBarHeight, TRUE);
            SetWindowPos(GetDlgItem(hwnd, kLogoId), nullptr, w - kLogoSize, 1, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER);
            return 0;
        }
        case UM_SPINSTART:
        case UM_SPINSTOP:
            PostMessage(GetDlgItem(hwnd, kLogoId), msg, wp, lp);
            return 0;
        case UM_GETMAINBAR:
            return reinterpret_cast<LRESULT>(GetDlgItem(hwnd, kBandId));
        case UM_GETICONTOOLBAR:
            return reinterpret_cast<LRESULT>(IconBarToolbar(hwnd));
        case WM_COMMAND:
            if (for_frame(LOWORD(wp))) return SendMessage(GetParent(hwnd), WM_COMMAND, wp, lp);
            return 0;
        case WM_MENUSELECT:
            if (static_cast<DWORD>(wp) == 0xFFFFFFFFu)
                return SendMessage(GetParent(hwnd), WM_MENUSELECT, 0xFFFF, 0);
            return SendMessage(GetParent(hwnd), WM_MENUSELECT, wp, 0x10000);
    }
    return DefWindowProc(hwnd, msg, wp, lp);
}
