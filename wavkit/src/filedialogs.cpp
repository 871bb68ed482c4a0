// The open dialog (with the preview panel added under its file list) and its
// shared helpers. Both dialogs keep the chosen path in a buffer of the library.
#include "filedialogs.h"

#include <sonrel/settings.h>
#include <sonrel/wavkit.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "entry.h"

namespace filedlg {

std::string current_folder() {
    char buf[4096];
    return getcwd(buf, sizeof buf) ? buf : ".";
}

bool folder_of(const std::string& path, std::string* folder) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return false;
    *folder = path.substr(0, slash);
    return true;
}

void centre_over_parent(HWND dlg, int raise) {
    HWND parent = GetParent(dlg);
    RECT pc{0, 0, 0, 0}, dc{0, 0, 0, 0};
    if (!parent || !GetClientRect(parent, &pc) || !GetClientRect(dlg, &dc)) return;
    POINT at{pc.right / 2 - dc.right / 2, pc.bottom / 2 - dc.bottom / 2 - raise};
    ClientToScreen(parent, &at);
    SetWindowPos(dlg, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace filedlg

namespace {

constexpr DWORD kOpenPathChars = 356;
char g_open_path[kOpenPathChars];

// Description|pattern pairs; each '|' becomes a zero before use.
const char kOpenFilters[] =
    "WAVE - Audio files (*.WAV)|*.wav|MPEG Layer III Files (*.MP3)|*.mp3|"
    "AVI - Video files (*.AVI)|*.avi|RAW Audio Data (*.*)|*.*|All files(*.*)|*.*|";

}  // namespace

WAVKIT_API LPCSTR OpenBox(HWND owner) {
    return entry::guarded("FALSE", [&]() -> LPCSTR {
        std::string start =
            RegGetString(SET_DIRECTORIES_WAVEOPEN.path, filedlg::current_folder().c_str());
        WORD filter = SettingWord(SET_DIRECTORIES_WAVEOPENFILTER);
        std::string filters = kOpenFilters;
        for (char& c : filters)
            if (c == '|') c = '\0';
        std::memset(g_open_path, 0, sizeof g_open_path);
        OPENFILENAME ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = owner;
        ofn.hInstance = reinterpret_cast<HINSTANCE>(GetWindowLongPtr(owner, GWLP_HINSTANCE));
        ofn.lpstrFilter = filters.c_str();
        ofn.nFilterIndex = filter;
        ofn.lpstrFile = g_open_path;
        ofn.nMaxFile = kOpenPathChars;
        ofn.lpstrInitialDir = start.c_str();
        ofn.lpstrTitle = "Sonrel2003  -  Open File";
        ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                    OFN_ENABLEHOOK | OFN_ENABLETEMPLATE;
        ofn.lpfnHook = CustomTemplateDlgProc;
        ofn.lpTemplateName = "RV_OPENFILE";
        if (!GetOpenFileName(&ofn)) {
            // A chosen path longer than the buffer is refused, not cut.
            if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) ErrorBox(owner, PATH_TOO_LONG_TEXT);
            return "FALSE";
        }
        std::string folder;
        if (filedlg::folder_of(g_open_path, &folder))
            RegWriteString(SET_DIRECTORIES_WAVEOPEN.path, folder.c_str());
        char index[16];
        std::snprintf(index, sizeof index, "%u", unsigned(ofn.nFilterIndex));
        RegWriteString(SET_DIRECTORIES_WAVEOPENFILTER.path, index);
        return g_open_path;
    });
}
