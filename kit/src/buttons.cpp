// The multimedia buttons: child windows of the class "RVMMBUTTON" that show a
// bitmap on a raised 3-D box, sink while the mouse button is held over them
// and send WM_COMMAND (the button's id, BN_CLICKED) to their parent on release.
#include <kit/rvg32.h>

#include <mutex>

namespace {

constexpr const char* kClass = "RVMMBUTTON";
constexpr const char* kPressedProp = "RVMMBUTTON.pressed";
constexpr WORD kClicked = 0;  // BN_CLICKED

bool pressed(HWND hwnd) {
    return GetProp(hwnd, kPressedProp) != nullptr;
}

void set_pressed(HWND hwnd, bool down) {
    if (pressed(hwnd) == down) return;
    if (down) {
        SetProp(hwnd, kPressedProp, reinterpret_cast<HANDLE>(1));
    } else {
        RemoveProp(hwnd, kPressedProp);
    }
    InvalidateRect(hwnd, nullptr, FALSE);
}

bool inside(HWND hwnd, LPARAM lp) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    return x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
}

void paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    bool down = pressed(hwnd);
    if (down) {
        Down3Dbox(hdc, rc.left, rc.top, rc.right, rc.bottom);
    } else {
        FilledBox(hdc, rc.left, rc.top, rc.right, rc.bottom, GetSysColor(COLOR_BTNFACE));
        COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
        COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
        FilledBox(hdc, rc.left, rc.bottom - 1, rc.right, rc.bottom, shadow);
        FilledBox(hdc, rc.right - 1, rc.top, rc.right, rc.bottom, shadow);
        FilledBox(hdc, rc.left, rc.top, rc.right - 1, rc.top + 1, light);
        FilledBox(hdc, rc.left, rc.top, rc.left + 1, rc.bottom - 1, light);
    }
    auto bitmap = reinterpret_cast<HBITMAP>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
    BITMAP bm{};
    if (bitmap && GetObject(bitmap, sizeof bm, &bm)) {
        int shift = down ? 1 : 0;
        ShowBitmap(hdc, (rc.right - bm.bmWidth) / 2 + shift, (rc.bottom - bm.bmHeight) / 2 + shift,
                   bitmap);
    }
    EndPaint(hwnd, &ps);
}

LRESULT button_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT:
            paint(hwnd);
            return 0;
        case WM_LBUTTONDOWN:
            SetCapture(hwnd);
            set_pressed(hwnd, true);
            return 0;
        case WM_MOUSEMOVE:
            if (GetCapture() == hwnd) set_pressed(hwnd, inside(hwnd, lp));
            return 0;
        case WM_LBUTTONUP: {
            if (GetCapture() != hwnd) return 0;
            bool click = pressed(hwnd) && inside(hwnd, lp);
            set_pressed(hwnd, false);
            ReleaseCapture();
            if (click) {
                SendMessage(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), kClicked),
                            reinterpret_cast<LPARAM>(hwnd));
            }
            return 0;
        }
        case WM_CAPTURECHANGED:
            set_pressed(hwnd, false);
            return 0;
        case WM_DESTROY:
            RemoveProp(hwnd, kPressedProp);
            return 0;
        default:
            return DefWindowProc(hwnd, msg, wp, lp);
    }
}

bool register_class(HINSTANCE inst) {
    static std::mutex lock;
    static bool done = false;
    std::lock_guard<std::mutex> g(lock);
    if (done) return true;
    WNDCLASSEX wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = button_proc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = kClass;
    done = RegisterClassEx(&wc) != 0;
    return done;
}

}  // namespace

RVG32_API void SetButton(RVMULTIMEDIABUTTON* button, RECT rect, int state, HBITMAP bitmap,
                         int enabled) {
    if (!button) return;
    button->rect = rect;
    button->state = state;
    button->bitmap = bitmap;
    button->enabled = enabled;
}

// One description serves every button: button i stands i widths to the right
// of the description's rectangle.
RVG32_API BOOL CreateRVMULTIMEDIABUTTON(HWND parent, int firstId, int count,
                                        const RVMULTIMEDIABUTTON* buttons, int flags,
                                        int reserved) {
    if (!parent || !buttons || count <= 0) return FALSE;
    HINSTANCE inst = PlatformModuleOfAddress(reinterpret_cast<const void*>(&button_proc));
    if (!register_class(inst)) return FALSE;
    const RECT& r = buttons->rect;
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return FALSE;
    for (int i = 0; i < count; ++i) {
        HWND b = CreateWindowEx(0, kClass, "", WS_CHILD | WS_VISIBLE, r.left + i * w, r.top, w, h,
                                parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(firstId + i)),
                                inst, nullptr);
        if (!b) return FALSE;
        SetWindowLongPtr(b, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(buttons->bitmap));
        if (!buttons->enabled) EnableWindow(b, FALSE);
    }
    return TRUE;
}
