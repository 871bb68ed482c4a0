// Exports of wavkit, the sound routines library: the sound document and its
// flags, wave files, undo, the library's user-feedback services, and the guard
// that keeps work on one document in order. C linkage, plain names.
//
// Conventions: a function that acts on one document takes its window; results
// are 1 for success and 0 for failure; failures are shown to the user at once
// (ErrorBox) and nothing is thrown out of the library. Text results point into
// memory the library keeps: callers copy them at once.
#pragma once

#include <platform/platform.h>
#include <sonrel/blocks.h>

#define WAVKIT_API extern "C" __attribute__((visibility("default")))

// --- Document flags (INFO block). They read or write one 32-bit field and take
// no guard, so the frame may test them while an operation runs.
WAVKIT_API BOOL SetFileSaved(HWND doc);       // saved := 1; nonzero when INFO was attached again
WAVKIT_API BOOL SetFileNotSaved(HWND doc);    // saved := 0
WAVKIT_API BOOL SetFileWorking(HWND doc);     // working := 1
WAVKIT_API BOOL SetFileNotWorking(HWND doc);  // working := 0
WAVKIT_API BOOL IsFileWorking(HWND doc);      // 1 when working, or when doc is null
WAVKIT_API BOOL IsFileSaved(HWND doc);        // 1 when saved

// --- Per-document guard. The blocks carry no lock: every editing operation
// holds its document's guard for the whole of its work, so operations on one
// document run one after the other, and whatever reads the blocks while
// another thread may resize or replace them (view painting, the preview,
// playback setup) holds it while it reads. The guard is recursive per thread.
// Waiting on the user-interface thread keeps serving sent messages, so an
// operation that sends to the frame while holding the guard cannot deadlock
// with a paint that waits for it; waiting on any other thread honours stop
// requests (the thread ends there, unwinding its scopes). The flags above and
// the undo text are fixed-size fields of blocks that are never resized, and
// need no guard.
WAVKIT_API BOOL DocumentLockEnter(HWND doc);  // waits; FALSE only for a null handle
WAVKIT_API BOOL DocumentLockTry(HWND doc);    // TRUE when taken without waiting
WAVKIT_API void DocumentLockLeave(HWND doc);  // releases one hold of this thread

// Holds a document's guard for the life of a scope.
struct DocumentLock {
    HWND hwnd;
    BOOL held;
    explicit DocumentLock(HWND doc) : hwnd(doc), held(DocumentLockEnter(doc)) {}
    ~DocumentLock() {
        if (held) DocumentLockLeave(hwnd);
    }
    DocumentLock(const DocumentLock&) = delete;
    DocumentLock& operator=(const DocumentLock&) = delete;
};

// Detaches every block of a document (HEADER, WAVE, POSITION, INFO, UNDO,
// FILEINFO) and releases them with the undo record's saved copy, after waiting
// for the guard, and forgets the guard. The view calls it when the document
// window is destroyed; "SCROLLHWND" is left to the view.
WAVKIT_API void ReleaseDocumentBlocks(HWND doc);

// --- Peak summary. Each document with data keeps the smallest and largest
// value of each channel over blocks of frames (PROP_PEAKS), made when the data
// arrives and brought up to date when a piece of work on the document ends.
// Smallest and largest sample value of one channel over a stretch, as the
// data holds them (8-bit: 0..255); min > max when the stretch is empty.
struct ValueRange {
    short min;
    short max;
};
// Makes the summary fit the document's data as it is now. Takes the guard.
WAVKIT_API BOOL UpdatePeakSummary(HWND doc);
// The extremes of each channel over `columns` stretches of valuesPerColumn
// sample values from firstValue (channel c of stretch i: out[2 * i + c]; mono
// data fills c = 0 only). A stretch reaching past the data is cut at its end;
// each holds at least one frame. Gives the number of stretches that start
// inside the data, or -1 when the summary does not fit the data and the
// stretches are too long to read from the samples at once. Call while holding
// the guard (the view tries it); reads nothing outside the data.
WAVKIT_API int ColumnPeaks(HWND doc, LONGLONG firstValue, LONGLONG valuesPerColumn, int columns,
                           ValueRange* out);

// --- Library services.
// Message box with the caption "Warning...", an error icon and OK; its result.
WAVKIT_API int ErrorBox(HWND owner, LPCSTR text);
// "A handled exception occured in function <place>..." with an information icon.
WAVKIT_API int ExceptionBox(HWND owner, LPCSTR place);
// Makes the busy cursor current ("wait.ani" from the current folder, else the
// standard wait cursor) and remembers the cursor before it; gives that cursor.
WAVKIT_API HCURSOR SetMouseWait(HWND unused);
// Makes the remembered cursor current again; gives the cursor current before.
WAVKIT_API HCURSOR SetMouseActive(void);
// Sends UM_THREADEND with the calling thread's id to the frame, then ends the
// calling thread with exit code 0. For operation threads that give up.
WAVKIT_API void BreakThread(HWND frame) __attribute__((noreturn));
// The module instance of wavkit, recorded when the library was loaded.
WAVKIT_API HINSTANCE WavkitModuleInstance(void);

// --- Wave files.
// Opens a RIFF wave file (8 or 16 bit) into a new document window made through
// the MDI client. 1 when a document was made from the file; 0 otherwise (a
// file too short for a chunk header gives a new empty document and 0).
WAVKIT_API BOOL OpenWAV(HWND frame, HWND client, LPCSTR path);
// Saves the frame's active document as a PCM wave file. path is in-out, a
// buffer of INFO_PATH_CHARS characters (".wav" may be appended, or the save
// dialog's choice copied in). The file is written beside the target and
// renamed over it only when complete: a failure leaves the old file as it was
// and the document unsaved. 1 when the file was written completely.
WAVKIT_API BOOL SaveWAV(HWND frame, LPSTR path);
// Reads a wave file into an existing document, replacing its HEADER and WAVE
// blocks; the other blocks stay. On failure the document is unchanged.
WAVKIT_API BOOL ReloadWAV(HWND frame, HWND doc, LPCSTR path);

// --- The background open and format conversion.
// Thread procedure (argument: the frame). Fills the frame's active document
// with the file named in SET_NEWFILE_FILEOPEN, by its content: an MP3 file
// (path ending in "mp3") decoded by "lame" to a new wave file beside it, a PCM
// or compressed wave file, the sound of an AVI file, or RAW data in the
// format the RAW dialog gives. Waits for the named mutex "SnrFileOpen" first;
// announces itself as IDS_NAME_OPENFILE; the document is working and titled
// "Loading <path>..." meanwhile. Failures are shown and the document closed
// (the decoder not starting leaves it). Exit code 1 after a load, 0 otherwise.
WAVKIT_API DWORD OpenCompressedWAV(LPVOID frame);
// Converts the active document's samples to a PCM format chosen in the format
// chooser ("Format Selection for Converting"). 1 when converted; 0 for no
// data, Cancel or a failure (shown), the document unchanged. No undo.
WAVKIT_API BOOL ConvertFile(HWND frame);
// As ConvertFile to the given PCM format, with the busy window meanwhile.
WAVKIT_API BOOL ConvertFileParam(HWND frame, const WAVEFORMATEX* target);

// --- New documents and the save dialog.
// Makes an empty document "Unnamed -<number>-.WAV" in the NewFile settings' format.
WAVKIT_API HWND NewFile(HWND frame, HWND client, int number);
// Asks for a path to save to; the path, or "FALSE" when cancelled. The question
// goes through the layer's question hook (kind "SaveFile", caption the dialog
// title, data the start folder; the answer is a pointer to the path, or 0).
WAVKIT_API LPCSTR SaveBox(HWND owner);
// The open dialog over owner (the frame), with the preview panel "RV_OPENFILE"
// of the owner's instance under its file list. The chosen path, or "FALSE"
// when cancelled; on OK the folder and the filter index are stored in
// SET_DIRECTORIES_WAVEOPEN and SET_DIRECTORIES_WAVEOPENFILTER.
WAVKIT_API LPCSTR OpenBox(HWND owner);
// The preview panel's hook procedure (the platform's file-dialog hook
// arguments): 1 for the messages it handles, else 0.
WAVKIT_API UINT_PTR CustomTemplateDlgProc(HWND panel, UINT msg, WPARAM wp, LPARAM lp);
// The RAW dialog's procedure (template "RAW"): ends with 1 after storing the
// SET_RAWFILE_... format, 0 on Cancel.
WAVKIT_API INT_PTR RawDlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);

// --- Undo (one level per document, the UNDO block).
// Records an undo of kind UNDO_CHANGED, UNDO_INSERTED or UNDO_REMOVED over
// bytes start .. start + length - 1 with its text (up to 51 characters). For
// kinds 1 and 3 the bytes are copied now; without memory for the copy the
// record is cleared silently. Always 1.
WAVKIT_API BOOL SaveUndoInformation(HWND doc, DWORD start, DWORD length, WORD kind, LPCSTR text);
WAVKIT_API BOOL IsUndoPossible(HWND doc);
// The undo text, or null when there is no record.
WAVKIT_API LPCSTR UndoDescription(HWND doc);
// Empties the record (its saved copy is released by the next record or with the document).
WAVKIT_API void ForbidUndo(HWND doc);
// Applies the record: 1 when applied, 0 when there was none or the data could
// not be resized. A record that no longer fits the data is clipped to it.
WAVKIT_API BOOL RestoreUndoInformation(HWND doc);

// --- Playback (one output, one header over the document's own memory).
// Opens wave output device (WAVE_MAPPER: the default) for the document's
// format as PCM; the device reports to the document window (MM_WOM_DONE).
// The output, or null after the device's error text was shown.
WAVKIT_API HWAVEOUT OpenOutput(UINT device, HWND doc);
// Queues the mark (or, without one, the whole data; held within the data) on
// out, once or, with loop, endlessly. The header, allocated by the library,
// or null after the error text was shown (out stays open).
WAVKIT_API LPWAVEHDR PlayWAV(HWAVEOUT out, HWND doc, BOOL loop);
// Resets, unprepares and closes out and releases hdr (which may be null);
// errors are ignored. Always 1.
WAVKIT_API BOOL CloseOutput(HWAVEOUT out, LPWAVEHDR hdr);
