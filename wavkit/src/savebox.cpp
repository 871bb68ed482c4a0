// The save dialog: the platform's save-file dialog starting in the stored save
// folder, without a question before replacing a file and without a default
// extension (saving appends ".wav"). The library keeps the chosen path.
#include <sonrel/settings.h>
#include <sonrel/wavkit.h>

#include <cstring>
#include <string>

#include "entry.h"
#include "filedialogs.h"

namespace {

constexpr DWORD kSavePathChars = 256;
char g_chosen[kSavePathChars];

// Description|pattern pairs; each '|' becomes a zero before use.
const char kSaveFilters[] = "WAVE - Audio files (*.WAV)|*.wav|All files (*.*)|*.*|";

}  // namespace

WAVKIT_API LPCSTR SaveBox(HWND owner) {
    return entry::guarded("FALSE", [&]() -> LPCSTR {
        std::string start =
            RegGetString(SET_DIRECTORIES_WAVESAVE.path, filedlg::current_folder().c_str());
        std::string filters = kSaveFilters;
        for (char& c : filters)
            if (c == '|') c = '\0';
        std::memset(g_chosen, 0, sizeof g_chosen);
        OPENFILENAME ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = owner;
        ofn.hInstance = reinterpret_cast<HINSTANCE>(GetWindowLongPtr(owner, GWLP_HINSTANCE));
        ofn.lpstrFilter = filters.c_str();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = g_chosen;
        ofn.nMaxFile = kSavePathChars;
        ofn.lpstrInitialDir = start.c_str();
        ofn.lpstrTitle = "Sonrel2003  -  Save File";
        ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
        if (!GetSaveFileName(&ofn)) {
            // A chosen path longer than the buffer is refused, not cut.
            if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) ErrorBox(owner, PATH_TOO_LONG_TEXT);
            return "FALSE";
        }
        std::string folder;
        if (filedlg::folder_of(g_chosen, &folder))
            RegWriteString(SET_DIRECTORIES_WAVESAVE.path, folder.c_str());
        return g_chosen;
    });
}
