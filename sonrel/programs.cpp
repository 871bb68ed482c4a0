#include "programs.h"

#include <sonrel/wavkit.h>
#include <sys/stat.h>

#include <string>

namespace {

bool started(HINSTANCE result) {
    return reinterpret_cast<INT_PTR>(result) > 32;
}

struct Program {
    const char* name;
    const char* params;
};

// Mixers of the common desktops and sound servers, the most widely usable first.
const Program kVolumeControls[] = {
    {"pavucontrol", nullptr},
    {"pwvucontrol", nullptr},
    {"mate-volume-control", nullptr},
    {"gnome-control-center", "sound"},
    {"systemsettings", "kcm_pulseaudio"},
    {"xfce4-mixer", nullptr},
};

}  // namespace

std::string FirstExistingFile(const std::vector<std::string>& paths) {
    for (const std::string& p : paths) {
        struct stat st {};
        if (stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return p;
    }
    return "";
}

std::vector<std::string> DocumentationPlaces(void) {
    std::vector<std::string> places;
    char program[4096] = {};
    if (GetModuleFileName(nullptr, program, sizeof program) < sizeof program) {
        std::string folder = program;
        folder.resize(folder.rfind('/') == std::string::npos ? 0 : folder.rfind('/'));
        places.push_back(folder + "/../share/doc/sonrel/README.md");
    }
    places.push_back(SONREL_SOURCE_DIR "/README.md");
    return places;
}

void OpenDocumentation(HWND frame) {
    std::string file = FirstExistingFile(DocumentationPlaces());
    if (file.empty()) {
        ErrorBox(frame, "The documentation of Sonrel was not found.");
        return;
    }
    if (!started(ShellExecute(frame, "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL)))
        ErrorBox(frame,
                 ("No program to show the documentation was found (xdg-open).\n" + file).c_str());
}

void StartVolumeControl(HWND frame) {
    for (const Program& p : kVolumeControls)
        if (started(ShellExecute(frame, "open", p.name, p.params, nullptr, SW_SHOWNORMAL))) return;
    std::string names;
    for (const Program& p : kVolumeControls)
        names += std::string(names.empty() ? "" : ", ") + p.name;
    ErrorBox(frame, ("No volume control was found. Install one of: " + names + ".").c_str());
}

void StartSoundTools(HWND frame) {
    for (const char* name : {"TonboxCS.exe", "wavedesk.exe"})
        if (started(ShellExecute(frame, "open", name, nullptr, nullptr, SW_SHOWNORMAL))) return;
    ErrorBox(frame, "Neither TonboxCS.exe nor wavedesk.exe was found.");
}
