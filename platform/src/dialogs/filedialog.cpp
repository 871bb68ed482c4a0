// Open and save file dialogs: the record in and out, the hidden window that
// stands for the dialog towards the hook procedure (it answers CDM_ messages),
// the added template panel, and the question hook that answers for a person.
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "dialogs_private.h"
#include "windows/windows_private.h"

namespace plat::dlg {

namespace {

DWORD g_last_error = 0;
std::vector<FileDialogState*> g_open;  // dialogs being asked, innermost last

FileDialogState* state_of_host(HWND host) {
    for (FileDialogState* st : g_open)
        if (st->host == host) return st;
    return nullptr;
}

LRESULT copy_out(const std::string& s, WPARAM size, LPARAM buf) {
    if (buf && size > 0) {
        size_t n = std::min(s.size(), size_t(size) - 1);
        std::memcpy(reinterpret_cast<char*>(buf), s.data(), n);
        reinterpret_cast<char*>(buf)[n] = 0;
    }
    return LRESULT(s.size() + 1);
}

std::string name_part(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

LRESULT CALLBACK host_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    FileDialogState* st = state_of_host(hwnd);
    if (!st) return DefWindowProc(hwnd, msg, wp, lp);
    switch (msg) {
        case CDM_GETFILEPATH:
            return copy_out(st->current, wp, lp);
        case CDM_GETFOLDERPATH:
            return copy_out(st->folder, wp, lp);
        case CDM_GETSPEC:
            return copy_out(name_part(st->current), wp, lp);
        default:
            return DefWindowProc(hwnd, msg, wp, lp);
    }
}

// The panel's procedure hands every message to the record's hook procedure.
INT_PTR CALLBACK panel_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    FileDialogState* st = state_of_host(GetParent(hwnd));
    if (!st || !st->ofn->lpfnHook || !(st->ofn->Flags & OFN_ENABLEHOOK)) return 0;
    return INT_PTR(st->ofn->lpfnHook(hwnd, msg, wp, lp));
}

const DIALOGTEMPLATE kEmptyPanel{nullptr, DS_CONTROL | WS_CHILD, 0, 0, 0, 0, 0, nullptr, 0, nullptr,
                                 0};

void make_windows(FileDialogState& st) {
    static bool registered = [] {
        WNDCLASSEX wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = host_proc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "PlatformFileDialog";
        return RegisterClassEx(&wc) != 0;
    }();
    (void)registered;
    const char* title = st.ofn->lpstrTitle ? st.ofn->lpstrTitle : (st.save ? "Save As" : "Open");
    st.host = CreateWindowEx(0, "PlatformFileDialog", title, WS_POPUP | WS_CAPTION, 0, 0, 10, 10,
                             st.ofn->hwndOwner, nullptr, st.ofn->hInstance, nullptr);
    if (!st.host || !(st.ofn->Flags & OFN_ENABLEHOOK) || !st.ofn->lpfnHook) return;
    const DIALOGTEMPLATE* tmpl = &kEmptyPanel;
    DIALOGTEMPLATE copy{};
    if ((st.ofn->Flags & OFN_ENABLETEMPLATE) && st.ofn->lpTemplateName) {
        if (const DIALOGTEMPLATE* found =
                find_template(st.ofn->hInstance, st.ofn->lpTemplateName)) {
            copy = *found;
            copy.style = (copy.style | DS_CONTROL | WS_CHILD) & ~DWORD(WS_POPUP);
            copy.x = copy.y = 0;
            tmpl = &copy;
        }
    }
    st.panel = create_from_template(st.ofn->hInstance, tmpl, st.host, panel_proc,
                                    reinterpret_cast<LPARAM>(st.ofn));
    if (st.panel) ShowWindow(st.panel, SW_SHOW);
}

std::string start_folder(const OPENFILENAME* ofn) {
    if (ofn->lpstrInitialDir && *ofn->lpstrInitialDir) return ofn->lpstrInitialDir;
    char buf[4096];
    return getcwd(buf, sizeof buf) ? buf : ".";
}

bool finish(FileDialogState& st, const std::string& path, int filterIndex) {
    OPENFILENAME* ofn = st.ofn;
    if (!ofn->lpstrFile || path.size() + 1 > ofn->nMaxFile) {
        g_last_error = FNERR_BUFFERTOOSMALL;
        return false;
    }
    std::memcpy(ofn->lpstrFile, path.c_str(), path.size() + 1);
    size_t slash = path.rfind('/');
    size_t name = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.rfind('.');
    ofn->nFileOffset = WORD(name);
    ofn->nFileExtension = WORD(dot == std::string::npos || dot < name ? path.size() : dot + 1);
    if (filterIndex > 0) ofn->nFilterIndex = DWORD(filterIndex);
    if (ofn->lpstrFileTitle && ofn->nMaxFileTitle > 0) {
        std::string title = path.substr(name);
        size_t n = std::min(title.size(), size_t(ofn->nMaxFileTitle) - 1);
        std::memcpy(ofn->lpstrFileTitle, title.data(), n);
        ofn->lpstrFileTitle[n] = 0;
    }
    ofn->Flags &= ~DWORD(OFN_READONLY);
    return true;
}

// Asks the question hook; FALSE in *asked when no hook is installed.
bool ask_hook(FileDialogState& st, bool* asked, std::string* path) {
    OPENFILENAME* ofn = st.ofn;
    std::string start = ofn->lpstrFile && *ofn->lpstrFile ? ofn->lpstrFile : st.folder;
    PlatformQuestion q{st.save ? "SaveFile" : "OpenFile",
                       start.c_str(),
                       ofn->lpstrTitle ? ofn->lpstrTitle : "",
                       UINT(ofn->Flags),
                       ofn->hwndOwner,
                       ofn};
    INT_PTR answer = 0;
    *asked = PlatformAskHook(&q, &answer) != FALSE;
    if (!*asked) return false;
    if (answer == IDOK)
        *path = ofn->lpstrFile ? ofn->lpstrFile : "";
    else if (uintptr_t(answer) >= 0x10000)
        *path = reinterpret_cast<const char*>(answer);
    else
        return false;
    // The real dialog tells the hook of the file before it closes on it.
    if (*path != st.current) select_path(st, *path);
    return !path->empty();
}

BOOL run(OPENFILENAME* ofn, bool save) {
    if (!ofn) return FALSE;
    g_last_error = 0;
    FileDialogState st;
    st.ofn = ofn;
    st.save = save;
    st.folder = start_folder(ofn);
    st.filters = parse_filters(ofn->lpstrFilter);
    g_open.push_back(&st);
    make_windows(st);
    notify_hook(st, CDN_INITDONE);
    bool asked = false;
    std::string path;
    int filter = 0;
    bool ok = ask_hook(st, &asked, &path);
    if (!asked) ok = run_qt_file_dialog(st, &path, &filter);
    if (ok) ok = finish(st, path, filter);
    if (st.host) DestroyWindow(st.host);
    g_open.erase(std::find(g_open.begin(), g_open.end(), &st));
    return ok ? TRUE : FALSE;
}

}  // namespace

std::vector<FileFilter> parse_filters(LPCSTR list) {
    std::vector<FileFilter> out;
    for (const char* p = list; p && *p;) {
        FileFilter f;
        f.description = p;
        p += f.description.size() + 1;
        std::string patterns = p;
        p += patterns.size() + 1;
        size_t start = 0;
        while (start <= patterns.size()) {
            size_t end = patterns.find(';', start);
            if (end == std::string::npos) end = patterns.size();
            std::string one = patterns.substr(start, end - start);
            one.erase(0, one.find_first_not_of(' '));
            if (!one.empty()) f.patterns.push_back(one);
            start = end + 1;
        }
        out.push_back(f);
        if (patterns.empty()) break;
    }
    return out;
}

void notify_hook(FileDialogState& st, UINT code) {
    if (!st.panel || !IsWindow(st.panel)) return;
    OFNOTIFY n{};
    n.hdr.hwndFrom = st.host;
    n.hdr.idFrom = 0;
    n.hdr.code = code;
    n.lpOFN = st.ofn;
    SendMessage(st.panel, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
}

void select_path(FileDialogState& st, const std::string& path) {
    st.current = path;
    notify_hook(st, CDN_SELCHANGE);
}

HWND select_in_file_dialog(const OPENFILENAME* ofn, LPCSTR path) {
    return reinterpret_cast<HWND>(run_on_ui([=] {
        for (auto it = g_open.rbegin(); it != g_open.rend(); ++it) {
            FileDialogState& st = **it;
            if (st.ofn != ofn) continue;
            std::string p = path ? path : "";
            if (st.ofn->lpstrFile && p.size() + 1 <= st.ofn->nMaxFile)
                std::memcpy(st.ofn->lpstrFile, p.c_str(), p.size() + 1);
            select_path(st, p);
            return reinterpret_cast<LRESULT>(st.panel);
        }
        return LRESULT(0);
    }));
}

}  // namespace plat::dlg

using namespace plat;
using namespace plat::dlg;

extern "C" {

BOOL GetOpenFileName(OPENFILENAME* ofn) {
    return BOOL(run_on_ui([ofn] { return LRESULT(run(ofn, false)); }));
}

BOOL GetSaveFileName(OPENFILENAME* ofn) {
    return BOOL(run_on_ui([ofn] { return LRESULT(run(ofn, true)); }));
}

DWORD CommDlgExtendedError(void) {
    return g_last_error;
}
}
