// Exports of wavkit for the editing operations that change samples: the
// amplitude effects, the structural and time effects, and the small sample
// routines the clipboard, the CurveSound editors and the views share.
//
// Thread procedures take the frame window as their argument (create the thread
// with the frame as parameter). Each asks the frame for the active document
// (UM_GETACTIVEDOC), announces itself (UM_THREADBEGIN with the document and
// its display-name string id), works on that document while holding its guard
// (DocumentLock), announces its end (UM_THREADEND with its thread id) and ends
// its thread itself: exit code 1 when done, 0 when it gave up (BreakThread).
// With no document it only asks its questions and announces start and end.
// Settings are read with the kit when the thread runs; each procedure names
// its settings (<sonrel/settings.h>) and undo description (<sonrel/ids.h>).
#pragma once

#include <platform/platform.h>

#define EFFECTS_API extern "C" __attribute__((visibility("default")))

// --- Thread procedures (argument: the frame window; they never return).
// Volume by SET_FILTERS_VOLUME per cent. Undo UNDO_TEXT_VOLUME.
EFFECTS_API DWORD ChangeVolume(LPVOID frame);
// Linear rise from SET_FILTERS_FADEIN per cent. Undo UNDO_TEXT_FADEIN.
EFFECTS_API DWORD FadeIn(LPVOID frame);
// Linear fall towards SET_FILTERS_FADEOUT per cent. Undo UNDO_TEXT_FADEOUT.
EFFECTS_API DWORD FadeOut(LPVOID frame);
// Moves a stereo sound from the left channel to the right over the range.
EFFECTS_API DWORD FadeChannelsLeftToRight(LPVOID frame);
// Moves a stereo sound from the right channel to the left over the range.
EFFECTS_API DWORD FadeChannelsRightToLeft(LPVOID frame);
// Scales the range so that its largest value reaches full scale. Undo UNDO_TEXT_MAXVOLUME.
EFFECTS_API DWORD SetMaxVolume(LPVOID frame);
// Silences the mark (8-bit bytes 127, 16-bit values 0); without a mark changes nothing.
EFFECTS_API DWORD SetSilence(LPVOID frame);
// Silences values within SET_FILTERS_ZEROIZE_PERCENT tenths of a per cent of
// the zero line. Undo UNDO_TEXT_ZEROIZE.
EFFECTS_API DWORD Zeroize(LPVOID frame);
// Reverses the range's values after its first. Undo UNDO_TEXT_REVERSE.
EFFECTS_API DWORD Reverse(LPVOID frame);
// Speed change by SET_FILTERS_VELOCITY per cent, then, when
// SET_FILTERS_VELOCITYSMOOTH, a moving average of SET_FILTERS_VELOCITYSMOOTHVALUE
// + 2 values, at most 20. Records no undo and clears the older record. A result
// past 4 GB is refused with "Not enough memory." and changes nothing.
EFFECTS_API DWORD Velocity(LPVOID frame);
// Inserts SET_FILTERS_SILENCE_SEC seconds and SET_FILTERS_SILENCE_MS
// milliseconds of silence at the cursor. Undo UNDO_TEXT_INSERTSILENCE (kind 2).
EFFECTS_API DWORD InsertSilence(LPVOID frame);
// Moving average of SET_FILTERS_LOWPASS + 2 values, at most 20, over the
// range. Undo UNDO_TEXT_SOFTEN.
EFFECTS_API DWORD LowPass(LPVOID frame);

// --- Plain functions on a document, run on the caller's thread.
// Deletes the mark (undo kind 3 UNDO_TEXT_DELETE). 1 when done or doc is null; 0 with
// no mark, or when the block cannot be resized ("No success."; data as before,
// undo record cleared).
EFFECTS_API int Erase(HWND doc);
// Keeps only the mark; the cursor then stands at the end. Records no undo and
// clears the older record. 1 when done, when there was nothing to crop or doc
// is null; 0 when the block cannot be resized ("No success."; data as before).
EFFECTS_API int Crop(HWND doc);

// --- Sample routines (no undo, no invalidation).
// One sample's volume: 8 bits: the byte 0..255; otherwise the clamped signed
// 16-bit value.
EFFECTS_API int ChangeSampleVolume(int sample, int bits, float gain);
// Channel fades over start .. start + length (bytes) with the given start gain
// (above 1.0 taken as 1.0), without the channel-count check. Always 1.
EFFECTS_API int FadeLeftToRight(HWND doc, DWORD start, DWORD length, float startGain);
EFFECTS_API int FadeRightToLeft(HWND doc, DWORD start, DWORD length, float startGain);
// 1 when the byte offset is (IsLeftChannel) or is not (IsRightChannel) a
// multiple of the document's block align; the channel count is not looked at.
EFFECTS_API BOOL IsLeftChannel(HWND doc, DWORD offset);
EFFECTS_API BOOL IsRightChannel(HWND doc, DWORD offset);
// Pixel offset of a sample from the centre line of a band height pixels high.
EFFECTS_API int PixelCalculate(int sample, int bits, int height);

// --- The disk clipboard: "SnrCLIP.WAV" in the temporary folder, shared by
// every running copy and guarded by the named mutex "SnrClipboard".
// Thread procedures whose argument is the document window; they find the
// frame with UM_GETFRAME and otherwise follow the operation protocol.
// Writes the mark (or the whole data) as a wave file.
EFFECTS_API DWORD CopyToClipboard(LPVOID doc);
// Inserts the clip at the cursor, converted to the document's format; an
// empty document takes the clip as it is. Undo UNDO_TEXT_PASTE (kind 2).
EFFECTS_API DWORD PasteFromClipboard(LPVOID doc);
// Adds the clip at the cursor, averaged and scaled by
// SET_FILTERS_PASTEMIXLOUDER per cent; records no undo and clears the older
// record.
EFFECTS_API DWORD PasteMixFromClipboard(LPVOID doc);
// Copies the clipboard file to path, or path over the clipboard file. Always 1.
EFFECTS_API int ClipboardToFile(HWND unused, LPCSTR path);
EFFECTS_API int FileToClipboard(HWND unused, LPCSTR path);
// Inserts the mark's bytes again at target (bytes), on the caller's thread.
// Undo UNDO_TEXT_PASTESAME (kind 2). 0 when target lies inside the mark or
// memory fails ("Not enough memory."), else 1.
EFFECTS_API int CopyAndPaste(HWND doc, DWORD target);
