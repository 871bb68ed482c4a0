// Dialog windows: the "#32770" class, its procedure (the DLGPROC first, then
// the default handling), modal dialogs with their local loop and the question
// hook, modeless dialogs and EndDialog.
#include <QGuiApplication>
#include <QWidget>
#include <map>
#include <memory>
#include <string>

#include "dialogs_private.h"
#include "input/input_private.h"
#include "windows/windows_private.h"

namespace plat::dlg {

namespace {

struct DialogState {
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
    int default_id = 0;
};

// Dialogs by window; user-interface thread only.
std::map<HWND, std::shared_ptr<DialogState>> g_dialogs;

// Asks the hook this many times before a dialog nobody ends is cancelled.
constexpr int kMaxAsks = 4;

std::shared_ptr<DialogState> state_of(HWND dlg) {
    auto it = g_dialogs.find(dlg);
    return it == g_dialogs.end() ? nullptr : it->second;
}

// Messages whose DLGPROC result is the window procedure's result; for all
// others the DLGPROC leaves its result in DWLP_MSGRESULT.
bool result_is_direct(UINT msg) {
    return msg == WM_INITDIALOG || (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) ||
           msg == 0x0037 /* WM_QUERYDRAGICON */ || msg == 0x0039 /* WM_COMPAREITEM */ ||
           msg == 0x002E /* WM_VKEYTOITEM */ || msg == 0x002F /* WM_CHARTOITEM */;
}

LRESULT CALLBACK dialog_window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCT*>(lp);
        auto proc = cs ? reinterpret_cast<DLGPROC>(cs->lpCreateParams) : nullptr;
        SetWindowLongPtr(hwnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
        g_dialogs[hwnd] = std::make_shared<DialogState>();
        return 0;
    }
    LRESULT result = 0;
    bool handled = false;
    if (auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtr(hwnd, DWLP_DLGPROC))) {
        INT_PTR r = proc(hwnd, msg, wp, lp);
        if (r) {
            handled = true;
            result = result_is_direct(msg) ? r : GetWindowLongPtr(hwnd, DWLP_MSGRESULT);
        }
    }
    if (!handled) result = DefDlgProc(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) g_dialogs.erase(hwnd);
    return result;
}

void show_and_focus(HWND dlg) {
    ShowWindow(dlg, SW_SHOW);
    QWidget* f = frame_of(dlg);
    // The offscreen platform has no window stacking to change.
    if (f && QGuiApplication::platformName() != QLatin1String("offscreen")) {
        f->raise();
        f->activateWindow();
    }
}

INT_PTR run_loop(HWND dlg, const std::shared_ptr<DialogState>& st) {
    show_and_focus(dlg);
    while (!st->ended && IsWindow(dlg)) {
        MSG m;
        if (!GetMessage(&m, nullptr, 0, 0)) {
            // The program is ending: leave the quit for the program's own loop.
            PostQuitMessage(int(m.wParam));
            return st->ended ? st->result : 0;
        }
        if (!IsDialogMessage(dlg, &m)) {
            TranslateMessage(&m);
            DispatchMessage(&m);
        }
    }
    return st->ended ? st->result : -1;
}

std::string caption_of(HWND dlg) {
    char buf[256];
    GetWindowText(dlg, buf, sizeof buf);
    return buf;
}

// Lets the question hook answer a modal dialog; FALSE when no hook is installed.
bool ask_hook(HWND dlg, const std::string& name, HWND owner, const std::shared_ptr<DialogState>& st,
              INT_PTR* result) {
    std::string caption = caption_of(dlg);
    PlatformQuestion q{"Dialog", name.c_str(), caption.c_str(), 0, owner, dlg};
    for (int i = 0; i < kMaxAsks && !st->ended && IsWindow(dlg); ++i) {
        INT_PTR answer = 0;
        if (!PlatformAskHook(&q, &answer)) {
            if (i == 0) return false;
            break;
        }
        PlatformServeSentMessages();
        if (st->ended || !IsWindow(dlg)) break;
        press(dlg, int(answer));
    }
    *result = st->ended ? st->result : IDCANCEL;
    st->ended = true;
    return true;
}

std::string name_text(LPCSTR name) {
    if (!name) return "";
    if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
    return name;
}

INT_PTR modal(HINSTANCE inst, const DIALOGTEMPLATE* tmpl, const std::string& name, HWND owner,
              DLGPROC proc, LPARAM param) {
    HWND top = owner ? top_level_of(owner) : nullptr;
    HWND dlg = create_from_template(inst, tmpl, top, proc, param);
    if (!dlg) return -1;
    auto st = state_of(dlg);
    if (!st) return -1;
    st->modal = true;
    bool disable = top && IsWindowEnabled(top);
    if (disable) {
        EnableWindow(top, FALSE);
        // An owned window is a Qt child of its owner's frame: being a window,
        // it can stay enabled while the owner is not.
        if (QWidget* f = frame_of(dlg)) f->setEnabled(true);
    }
    INT_PTR result = 0;
    if (st->ended)
        result = st->result;
    else if (!ask_hook(dlg, name.empty() ? caption_of(dlg) : name, top, st, &result))
        result = run_loop(dlg, st);
    // The owner is enabled before the dialog goes, so that it becomes active again.
    if (disable) EnableWindow(top, TRUE);
    if (IsWindow(dlg)) DestroyWindow(dlg);
    return result;
}

}  // namespace

bool is_dialog(HWND hwnd) {
    return state_of(hwnd) != nullptr;
}

int default_id(HWND dlg) {
    if (auto st = state_of(dlg); st && st->default_id) return st->default_id;
    std::vector<HWND> kids;
    {
        std::lock_guard lock(table_mutex());
        if (Window* w = find_window(dlg)) kids = w->children;
    }
    char cls[32];
    for (HWND k : kids) {
        GetClassName(k, cls, sizeof cls);
        if (same_name(cls, "BUTTON") &&
            (GetWindowLong(k, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return GetDlgCtrlID(k);
    }
    return IDOK;
}

void press(HWND dlg, int id) {
    HWND button = GetDlgItem(dlg, id);
    if (button && !IsWindowEnabled(button)) return;
    SendMessage(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void register_dialog_class() {
    WNDCLASSEX wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = dialog_window_proc;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "#32770";
    RegisterClassEx(&wc);
}

}  // namespace plat::dlg

using namespace plat;
using namespace plat::dlg;

extern "C" {

INT_PTR DialogBoxParam(HINSTANCE inst, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param) {
    return run_on_ui([=] {
        register_classes();
        const DIALOGTEMPLATE* tmpl = find_template(inst, name);
        if (!tmpl) return LRESULT(-1);
        return LRESULT(modal(inst, tmpl, name_text(name), owner, proc, param));
    });
}

INT_PTR DialogBoxIndirectParam(HINSTANCE inst, const DIALOGTEMPLATE* tmpl, HWND owner, DLGPROC proc,
                               LPARAM param) {
    if (!tmpl) return -1;
    return run_on_ui([=] {
        register_classes();
        return LRESULT(modal(inst, tmpl, "", owner, proc, param));
    });
}

HWND CreateDialogParam(HINSTANCE inst, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param) {
    return reinterpret_cast<HWND>(run_on_ui([=] {
        register_classes();
        const DIALOGTEMPLATE* tmpl = find_template(inst, name);
        return reinterpret_cast<LRESULT>(
            tmpl ? CreateDialogIndirectParam(inst, tmpl, owner, proc, param) : nullptr);
    }));
}

HWND CreateDialogIndirectParam(HINSTANCE inst, const DIALOGTEMPLATE* tmpl, HWND owner, DLGPROC proc,
                               LPARAM param) {
    if (!tmpl) return nullptr;
    return reinterpret_cast<HWND>(run_on_ui([=] {
        register_classes();
        HWND dlg = create_from_template(inst, tmpl, owner, proc, param);
        if (dlg && (tmpl->style & WS_VISIBLE)) ShowWindow(dlg, SW_SHOW);
        return reinterpret_cast<LRESULT>(dlg);
    }));
}

BOOL EndDialog(HWND dlg, INT_PTR result) {
    return BOOL(run_on_ui([=] {
        auto st = state_of(dlg);
        if (!st) return LRESULT(FALSE);
        st->ended = true;
        st->result = result;
        if (st->modal)
            PostMessage(dlg, WM_NULL, 0, 0);  // wakes the dialog's loop
        else
            ShowWindow(dlg, SW_HIDE);
        return LRESULT(TRUE);
    }));
}

LRESULT DefDlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CLOSE:
            press(dlg, IDCANCEL);
            return 0;
        case WM_KEYDOWN:
            if (wp == VK_ESCAPE) press(dlg, IDCANCEL);
            if (wp == VK_RETURN) press(dlg, default_id(dlg));
            return 0;
        case DM_GETDEFID:
            return MAKELRESULT(default_id(dlg), DC_HASDEFID);
        case DM_SETDEFID:
            if (auto st = state_of(dlg)) st->default_id = int(wp);
            return TRUE;
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return 0;
        default:
            return DefWindowProc(dlg, msg, wp, lp);
    }
}

BOOL IsDialogMessage(HWND dlg, MSG* msg) {
    if (!msg || !dlg || msg->message != WM_KEYDOWN) return FALSE;
    HWND h = msg->hwnd;
    while (h && h != dlg) h = GetParent(h);
    if (h != dlg) return FALSE;
    if (msg->wParam != VK_ESCAPE && msg->wParam != VK_RETURN) {
        if (key_down(VK_CONTROL) || key_down(VK_MENU)) return FALSE;
        return BOOL(run_on_ui([=] {
            return LRESULT(dialog_key(dlg, msg->hwnd, int(msg->wParam), key_down(VK_SHIFT)));
        }));
    }
    run_on_ui([=] {
        press(dlg, msg->wParam == VK_ESCAPE ? IDCANCEL : default_id(dlg));
        return LRESULT(0);
    });
    return TRUE;
}

BOOL MapDialogRect(HWND dlg, RECT* rc) {
    if (!rc) return FALSE;
    rc->left = du_x(rc->left);
    rc->right = du_x(rc->right);
    rc->top = du_y(rc->top);
    rc->bottom = du_y(rc->bottom);
    return TRUE;
}

LONG GetDialogBaseUnits(void) {
    return MAKELONG(kBaseX, kBaseY);
}
}
