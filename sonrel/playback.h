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

// The playback commands. Play (IDM_PLAY, or IDM_PLAYLOOP endlessly) plays the
// active document's mark or whole data; while playing it stops and posts the
// same command again, so the document active now plays. Pause pauses or
// resumes; both, and Stop, leave a missing or busy active document alone.
void PlayCommand(HWND frame, WORD id);
void PauseCommand(void);
void StopCommand(void);
// The output volume one step up or down (both channels; never past the ends).
void StepOutputVolume(BOOL up);
// The output device command: the modal dialog "SELECTWAVEOUT" over the frame; on OK the new
// device is stored and used from the next play.
void SelectOutputDevice(HWND frame);
// MM_WOM_DONE at a document window: closes the output when out is the open one.
void PlaybackFinished(HWAVEOUT out);
// The document window is going: closes its output before its memory goes
// (the view has told the preview bar already).
void PlaybackDocumentClosing(HWND doc);
