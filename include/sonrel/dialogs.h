// Exports of wavkit: the parameter dialogs of the editing operations and the
// information dialogs. C linkage, plain names.
//
// Each takes the frame window: its module instance finds the template, its
// client area places the dialog, and it answers UM_GETACTIVEDOC with the active
// document. The dialogs are modal, run on the calling user-interface thread
// and keep no state between calls. A parameter dialog shows its settings
// (<sonrel/settings.h>) and stores them as "%d" text on OK and gives 1; Cancel
// stores nothing and gives 0. Refused values are shown ("Warning...", error icon)
// and the dialog stays open.
#pragma once

#include <sonrel/wavkit.h>

// "VOLUME": SET_FILTERS_VOLUME, percent.
WAVKIT_API BOOL ShowVolume(HWND frame);
// "FADEIN": SET_FILTERS_FADEIN, the start percentage.
WAVKIT_API BOOL ShowFadeIn(HWND frame);
// "FADEOUT": SET_FILTERS_FADEOUT, the end percentage.
WAVKIT_API BOOL ShowFadeOut(HWND frame);
// "VELOCITY": SET_FILTERS_VELOCITY percent, SET_FILTERS_VELOCITYSMOOTH "1"/"0"
// and SET_FILTERS_VELOCITYSMOOTHVALUE 1..8.
WAVKIT_API BOOL ShowVelocity(HWND frame);
// "LOWPASS": SET_FILTERS_LOWPASS, softness 1..8.
WAVKIT_API BOOL ShowLowPass(HWND frame);
// "SILENCE": SET_FILTERS_SILENCE_SEC and SET_FILTERS_SILENCE_MS, each 0..999.
WAVKIT_API BOOL ShowSilence(HWND frame);
// "ZOOMBY": the active document's zoom (sample values per pixel column),
// 1..30000; 0 without an active document.
WAVKIT_API BOOL ShowZoomBy(HWND frame);
// "HEADER": the active document's format. "&Change Settings" writes bits,
// channels, rate, block align and bytes per second into its HEADER (the
// sample bytes stay) and gives 1; a rate of 0 or above 48000 is refused.
// "C&onvert" converts the samples to the chosen format (ConvertFileParam)
// unless the document is loading, and gives 1. Cancel gives 0.
WAVKIT_API BOOL ShowHeader(HWND frame);
// "CLIPBOARDHEADER": the clipboard file's format and sizes, with play and
// stop; "No Clipboard File" when it cannot be read. Always 0.
WAVKIT_API BOOL ShowClipboardHeader(HWND frame);
// "ABOUT": the program's name and purpose; always 0.
WAVKIT_API BOOL ShowAbout(HWND frame);
// Draws the menu hint for command id on the status bar: the text before the
// line break of string id of the bar's instance ("Activate this window" for
// 800..898, "<id> - not yet implemented -" without a string). The result of
// releasing the device context.
WAVKIT_API int ShowMenuText(HWND statusBar, UINT id);
// Draws text as the status bar's hint, over the field left of the bar's
// right-hand boxes. The result of releasing the device context.
WAVKIT_API int ShowStatusHint(HWND statusBar, const char* text);

// --- The CurveSound editors: a path of pins (SET_CURVESOUND_VOLUMENUMBER or
// SET_CURVESOUND_FADECHANNELSNUMBER of them, 3..20) drawn over the active
// document's mark or whole data and applied on OK, inside the dialog, with the
// progress window; each records its own undo. 1 after OK (also without an
// active document, which changes nothing), 0 after Cancel (nothing changes;
// a count stored by "Reset Pin Positions" stays).
// "CSVOLUME": a volume envelope from 0 % to 200 %. Undo UNDO_TEXT_CSVOLUME.
WAVKIT_API BOOL ShowCSVolume(HWND frame);
// "CSFADECHANNELS": a channel path; each segment is a full channel fade whose
// direction follows its slope. Undo UNDO_TEXT_CSFADECHANNELS.
WAVKIT_API BOOL ShowCSFadeChannels(HWND frame);

// "PERCENTAGE" ("Working..."): a modeless progress window over owner (the
// template's instance is owner's). UM_PROGRESSRANGE and UM_PROGRESSPOS sent to
// it drive its bar. The caller destroys it; null when it could not be made.
WAVKIT_API HWND ShowPercentage(HWND owner);

// The options sheet "Sonrel2003 Options", modal, without Apply: pages "User",
// "New Files", "Design", "General" and "Threads" (index 0..4) over the
// settings of <sonrel/settings.h>. A page fills its controls from the settings
// when first shown; OK writes the settings of every page that was shown,
// Cancel writes nothing. New Files refuses a frequency of 0 or above 48000
// with a message, after writing bits and channels, and the sheet closes
// anyway. Settings the pages do not show are never written. 1 after OK, 0
// after Cancel, -1 when a page's template is missing.
WAVKIT_API INT_PTR ShowOptionsPropertySheet(HWND owner);
// The same sheet opened on page `page` (out of range: the first).
WAVKIT_API INT_PTR ShowOptionsPropertySheetNum(HWND owner, int page);

// "Device Driver": one page "Capabilities" with the name, driver version and
// best format of wave output device `output` ("Playback") and wave input
// device `input` ("Record"); a device that cannot be asked shows the error's
// text as its name. 1 after OK, 0 after Cancel, -1 without the template.
WAVKIT_API INT_PTR ShowDevCaps(HWND owner, UINT output, UINT input);
// --- Recording into the frame's active document, in its own format. A level
// check (two bars, 8-bit stereo at 8000 Hz, with a warning for a peak on the
// left channel), then the recording dialog until Stop Recording; the take
// then replaces the document's samples (after "Do you confirm overwriting"
// for a document with data), which becomes unsaved and loses its undo
// record. Cancel, No, or a device that fails leave the document as it was.
// Without a capture device the user is told and nothing else happens.
// Always 1.
WAVKIT_API BOOL ShowRecord(HWND frame);
// The same for the CD player: the CD open under the MCI alias "cd" starts
// playing at track, minutes, seconds (frame 0) once the recording runs, and
// plays on after it.
WAVKIT_API BOOL ShowRecordCD(HWND frame, int track, int minutes, int seconds);

// "HUGE" ("RevaZUD Loader"): the modeless loader window over owner (the
// frame), made visible. It shows the wave file remembered in
// SET_REVAZUD_FILENAME (any size; RIFF or RF64), its format and length, and
// loads the part from a start for a length (times as h:mm:ss.fff, m:ss or
// seconds) into a new, unsaved document, reading only that part; bad times
// and parts outside the file are refused with a message. "&Play Part" plays
// the part through the MCI device "hwave" that the window keeps open on the
// file. "&Cancel" sends the owner IDM_LOADER, which destroys it; the file
// name is remembered when it goes. The window, or null.
WAVKIT_API HWND ShowRevaZUD(HWND owner);

// "RAW": the format of RAW sample data (RawDlgProc), modal over frame. 1 after
// OK with the SET_RAWFILE_... settings stored, 0 after Cancel.
WAVKIT_API BOOL ShowRaw(HWND frame);
// "WAIT" ("Working..."): a modeless busy window over owner, with an endless
// animation. Its buttons destroy it; the caller destroys it when its work is
// done. Null when it could not be made.
WAVKIT_API HWND ShowWait(HWND owner);
