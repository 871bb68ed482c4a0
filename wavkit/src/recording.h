// Recording into the active document: the level check, the recording dialog
// and what both share. One recording at a time: the parameters are one
// process-wide record, set by the entry point and read by both dialogs on the
// user-interface thread.
//
// The take is recorded by the MCI "waveaudio" device in the document's format
// and saved to a wave file in the per-user temporary folder under a name of
// this process's own, read into the document when the user stops, and deleted.
#pragma once

#include <platform/platform.h>

#include <string>

namespace rec {

struct Params {
    HWND frame = nullptr;
    bool cd = false;  // started by the CD player: the CD starts with the recording
    int track = 0, minutes = 0, seconds = 0;
};
extern Params g_params;

// The level check ("BEFORERECORD", "BEFORERECORDCD"): 1 after Start, 0 after Cancel.
BOOL run_level_check(HWND frame);
// The recording dialog ("RECORDTOFILE", "RECORDTOFILECD"); the take is read
// into the document when the dialog goes.
void run_recording(HWND frame);

// The level bar's value for an 8-bit sample byte: its distance from 127.
int level_of(BYTE sample);
// A left sample byte above 253 shows the peak warning.
bool is_peak(BYTE left);
// "%02lu:%02lu": whole minutes and the seconds after them of a length in ms.
std::string length_text(DWORD ms);
// "%6lu": kilobytes of 1000 bytes recorded in the whole seconds of ms.
std::string kilobytes_text(DWORD ms, DWORD bytesPerSec);
// Free megabytes from the drive's figures, each division truncating.
DWORD free_megabytes(DWORD bytesPerSector, DWORD freeClusters, DWORD sectorsPerCluster);
// "%d Bit, %u Hz, MONO" / "STEREO" (level check) and "%d Bit, %u Hz MONO" /
// "STEREO" (recording dialog).
std::string level_format_text(WORD bits, DWORD rate, WORD channels);
std::string record_format_text(WORD bits, DWORD rate, WORD channels);
// "Track %d, Position %02d:%02d".
std::string cd_start_text(int track, int minutes, int seconds);
// The take's file: the temporary folder and a name that holds this process's id.
std::string temp_file(void);

}  // namespace rec
