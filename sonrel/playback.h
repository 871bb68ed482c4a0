// Playback: the program's one playing document, its wave output and header,
// the play, pause, stop and volume commands, and the output device dialog.
// Everything here runs on the user-interface thread; other threads ask the
// frame (UM_GETPLAYINGDOC, UM_GETWAVEOUT).
#pragma once

#include <platform/platform.h>

struct PlaybackState {
    HWAVEOUT output;   // the open output, or null when nothing plays
    LPWAVEHDR header;  // the queued header PlayWAV gave, or null
    HWND document;     // the document being played, or null
    BOOL paused;
};

extern PlaybackState g_playback;

// Commands 501 (play), 507 (play endlessly), 503 (pause or resume), 502
// (stop), 707 and 708 (output volume up and down one step). FALSE for other ids.
BOOL PlaybackCommand(HWND frame, WORD id);
// Command 908: the modal dialog "SELECTWAVEOUT" over the frame; on OK the new
// device is stored and used from the next play.
void SelectOutputDevice(HWND frame);
// MM_WOM_DONE at a document window: closes the output when out is the open one.
void PlaybackFinished(HWAVEOUT out);
// The document window is going: closes its output before its memory goes
// (the view has told the preview bar already).
void PlaybackDocumentClosing(HWND doc);
