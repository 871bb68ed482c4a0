// Exports of wavkit: the parameter dialogs of the editing operations and the
// information dialogs. C linkage, plain names.
//
// Each takes the frame window: its module instance finds the template, its
// client area places the dialog, and it answers WM_USER+113 with the active
// document. The dialogs are modal, run on the calling user-interface thread
// and keep no state between calls. A parameter dialog stores its values as
// "%d" text under "Sonrel\Settings\Filters" on OK and gives 1; Cancel stores
// nothing and gives 0. Refused values are shown ("Warning...", error icon)
// and the dialog stays open.
#pragma once

#include <sonrel/wavkit.h>

// "VOLUME": "Sonrel\Settings\Filters\Volume", percent (default 200).
WAVKIT_API BOOL ShowVolume(HWND frame);
// "FADEIN": "Sonrel\Settings\Filters\FadeIn", the start percentage (default 10).
WAVKIT_API BOOL ShowFadeIn(HWND frame);
// "FADEOUT": "Sonrel\Settings\Filters\FadeOut", the end percentage (default 10).
WAVKIT_API BOOL ShowFadeOut(HWND frame);
// "VELOCITY": "...\Velocity" percent (default 200), "...\VelocitySmooth" "1"/"0"
// (default 1) and "...\VelocitySmoothValue" 1..8 (default 3).
WAVKIT_API BOOL ShowVelocity(HWND frame);
// "LOWPASS": "Sonrel\Settings\Filters\LowPass", softness 1..8 (default 4).
WAVKIT_API BOOL ShowLowPass(HWND frame);
// "SILENCE": "...\Silence\Sec" and "...\Silence\MS", each 0..999 (defaults 1, 0).
WAVKIT_API BOOL ShowSilence(HWND frame);
// "ZOOMBY": the active document's zoom (sample values per pixel column),
// 1..30000; 0 without an active document.
WAVKIT_API BOOL ShowZoomBy(HWND frame);
// "HEADER": the active document's format. "&Change Settings" writes bits,
// channels, rate, block align and bytes per second into its HEADER (the
// sample bytes stay) and gives 1; a rate of 0 or above 48000 is refused.
// "C&onvert" is disabled. Cancel gives 0.
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
