// The save dialog. The question goes through the layer's question hook (kind
// "SaveFile"), which the file-dialog window answers in the program and tests
// answer directly; with nobody to ask, the result is "FALSE".
#include <kit/rvg32.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "document.h"

namespace {

char g_chosen[INFO_PATH_CHARS];  // the library keeps the last chosen path here

std::string current_folder() {
    char buf[MAX_PATH * 4];
    return getcwd(buf, sizeof buf) ? buf : ".";
}

}  // namespace

WAVKIT_API LPCSTR SaveBox(HWND owner) {
    try {
        std::string start = RegGetString("Sonrel\\Directories\\WaveSave", current_folder().c_str());
        PlatformQuestion q{};
        q.kind = "SaveFile";
        q.text = "WAVE - Audio files (*.WAV)|*.wav|All files (*.*)|*.*|";
        q.caption = "Sonrel2003  -  Save File";
        q.owner = owner;
        q.data = const_cast<char*>(start.c_str());
        INT_PTR answer = 0;
        if (!PlatformAskHook(&q, &answer) || !answer) return "FALSE";
        std::snprintf(g_chosen, sizeof g_chosen, "%s", reinterpret_cast<const char*>(answer));
        std::string path = g_chosen;
        size_t slash = path.rfind('/');
        if (slash != std::string::npos)
            RegWriteString("Sonrel\\Directories\\WaveSave", path.substr(0, slash).c_str());
        return g_chosen;
    }
    PLATFORM_RETHROW_THREAD_EXIT
    catch (...) {
        return "FALSE";
    }
}
