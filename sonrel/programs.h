// Commands that reach outside the program: its documentation (Help >
// Homepage), the desktop's volume control and the icon bar's sound tools.
// Each says so in an error box when nothing could be started, instead of
// doing nothing. User-interface thread.
#pragma once

#include <platform/platform.h>

#include <string>
#include <vector>

// The first of the paths that names a regular file, or "".
std::string FirstExistingFile(const std::vector<std::string>& paths);
// Where the program's documentation may be, in this order: installed beside
// the program (<program folder>/../share/doc/sonrel/README.md), then in the
// source tree it was built from.
std::vector<std::string> DocumentationPlaces(void);

// Opens the first documentation file found with the desktop's opener (xdg-open).
void OpenDocumentation(HWND frame);
// Starts the first volume control found on PATH: pavucontrol, pwvucontrol,
// mate-volume-control, gnome-control-center sound, systemsettings
// kcm_pulseaudio, xfce4-mixer.
void StartVolumeControl(HWND frame);
// Starts "TonboxCS.exe", else "wavedesk.exe", when one is found on PATH.
void StartSoundTools(HWND frame);
