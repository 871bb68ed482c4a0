// The background open: the thread procedure that fills the frame's active
// document with the content of the file named in "Sonrel\NewFile\FileOpen".
// One open works at a time, across running copies too ("SnrFileOpen").
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/settings.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "entry.h"
#include "import.h"
#include "operation.h"
#include "wavefile.h"

namespace {

const char kMutexName[] = "SnrFileOpen";
const char kDecoderFailed[] = "Could not decode MP3";

// Holds "SnrFileOpen" from its wait to the end of the scope (also when the
// thread ends early: the stack unwinds through it).
struct FileOpenTurn {
    HANDLE mutex;
    bool held = false;
    FileOpenTurn() : mutex(OpenMutex(MUTEX_ALL_ACCESS, FALSE, kMutexName)) {
        // Without the program (a test, an extension's host) nobody made it yet.
        if (!mutex) mutex = CreateMutex(nullptr, FALSE, kMutexName);
        held = mutex && WaitForSingleObject(mutex, INFINITE) == WAIT_OBJECT_0;
    }
    ~FileOpenTurn() {
        if (held) ReleaseMutex(mutex);
        if (mutex) CloseHandle(mutex);
    }
    FileOpenTurn(const FileOpenTurn&) = delete;
    FileOpenTurn& operator=(const FileOpenTurn&) = delete;
};

void set_title(HWND doc, const char* format, const std::string& path) {
    std::string title = format;
    title.replace(title.find("%s"), 2, path);
    SetWindowText(doc, title.c_str());
}

std::string window_text(HWND w) {
    char text[INFO_PATH_CHARS + 32] = {};
    GetWindowText(w, text, sizeof text);
    return text;
}

void write_info(HWND doc, const std::string& path) {
    doc::Pin<InfoBlock> info(doc, PROP_INFO);
    if (!info) return;
    std::memset(info->path, 0, sizeof info->path);
    std::strncpy(info->path, path.c_str(), INFO_PATH_CHARS - 1);
    info->saved = 1;
}

// Puts the loaded blocks into the document under its guard: HEADER rebuilt in
// place, the new WAVE, FILEINFO, POSITION and UNDO emptied (zoom from the
// settings), the source code in INFO. False when a block could not be made.
bool install(HWND doc, import::Loaded& loaded) {
    DocumentLock guard(doc);
    auto ensure = [&](const char* name, size_t bytes) {
        HGLOBAL h = doc::block(doc, name);
        if (h) return true;
        h = doc::alloc_block(bytes, true);
        if (h && SetProp(doc, name, h)) return true;
        doc::free_block(h);
        return false;
    };
    if (!ensure(PROP_HEADER, sizeof(HeaderBlock)) ||
        !ensure(PROP_FILEINFO, sizeof(FileInfoBlock)) ||
        !ensure(PROP_POSITION, sizeof(PositionBlock)) || !ensure(PROP_UNDO, sizeof(UndoBlock)))
        return false;
    if (!doc::replace(doc, PROP_WAVE, loaded.wave)) return false;
    loaded.take();
    {
        doc::Pin<HeaderBlock> h(doc, PROP_HEADER);
        if (h) *h = loaded.header;
    }
    {
        doc::Pin<FileInfoBlock> fi(doc, PROP_FILEINFO);
        if (fi) *fi = FileInfoBlock{};
    }
    {
        doc::Pin<PositionBlock> p(doc, PROP_POSITION);
        if (p) {
            *p = PositionBlock{};
            p->zoom = SettingWord(SET_STARTUP_ZOOM);
        }
    }
    {
        doc::Pin<UndoBlock> u(doc, PROP_UNDO);
        if (u) {
            doc::free_block(u->copy);
            *u = UndoBlock{};
        }
    }
    doc::Pin<InfoBlock> info(doc, PROP_INFO);
    if (info) info->sourceFormat = loaded.source;
    doc::update_peaks(doc);
    return true;
}

// The loaded document is shown: the view reads it again, every window that
// shows it repaints and its title becomes the path.
void finish_document(HWND frame, HWND doc, const std::string& path) {
    SetWindowLongPtr(doc, GWLP_USERDATA, DOCUMENT_USERDATA);
    SetFileNotWorking(doc);
    if (HWND preview = op::ask_preview(frame)) InvalidateRect(preview, nullptr, TRUE);
    if (HWND status = op::ask_status(frame)) InvalidateRect(status, nullptr, TRUE);
    SendMessage(doc, UM_DOCCHANGED, 0, 0);
    InvalidateRect(doc, nullptr, TRUE);
    SetWindowText(doc, path.c_str());
    if (HWND client = reinterpret_cast<HWND>(SendMessage(frame, UM_GETMDICLIENT, 0, 0)))
        SendMessage(client, WM_MDIREFRESHMENU, 0, 0);
    EnableScrollBar(doc, SB_HORZ, ESB_ENABLE_BOTH);
}

// The document is given up: shown message (if any), the working flag
// cleared, the window closed (saved, so nobody is asked) and the thread
// ended through BreakThread.
[[noreturn]] void give_up(HWND frame, HWND doc, const char* message) {
    if (message) ErrorBox(frame, message);
    SetFileNotWorking(doc);
    SendMessage(doc, WM_SYSCOMMAND, SC_CLOSE, 0);
    BreakThread(frame);
}

// Decodes an MP3 file into a wave file beside it; the wave file's path. Ends
// the thread when the decoder cannot run or leaves nothing.
std::string decode_mp3(HWND frame, HWND doc, const std::string& mp3) {
    std::string before = window_text(doc);
    set_title(doc, "Decoding %s...", mp3);
    std::string wav = import::decoded_name(mp3);
    if (!import::run_decoder(mp3, wav)) {
        ErrorBox(frame, kDecoderFailed);
        SetWindowText(doc, before.c_str());
        ExitThread(0);
    }
    if (GetFileAttributes(wav.c_str()) == INVALID_FILE_ATTRIBUTES) {
        ErrorBox(frame, kDecoderFailed);
        SendMessage(frame, UM_DESTROYWINDOW, 0, reinterpret_cast<LPARAM>(doc));
        ExitThread(0);
    }
    return wav;
}

// The first bytes of the file; false when it cannot be opened.
bool first_bytes(const std::string& path, unsigned char* b, size_t* n) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    *n = std::fread(b, 1, 4, f);
    std::fclose(f);
    return true;
}

void open_in_background(HWND frame) {
    HWND doc = doc::active_document(frame);
    std::string path = SettingText(SET_NEWFILE_FILEOPEN);
    if (path == "FALSE") {
        SendMessage(frame, UM_DESTROYWINDOW, 0, reinterpret_cast<LPARAM>(doc));
        ExitThread(0);
    }
    if (import::is_mp3_name(path)) path = decode_mp3(frame, doc, path);

    FileOpenTurn turn;
    write_info(doc, path);
    op::announce_start(frame, doc, IDS_NAME_OPENFILE);
    if (!doc) return;
    set_title(doc, "Loading %s...", path);
    SetFileWorking(doc);
    if (wave::refuse_long_path(frame, path.c_str())) give_up(frame, doc, nullptr);

    unsigned char first[4] = {};
    size_t n = 0;
    if (!first_bytes(path, first, &n)) {
        ErrorBox(doc, import::kNotFound);
        SetFileNotWorking(doc);
        SendMessage(frame, UM_THREADEND, static_cast<WPARAM>(GetCurrentThreadId()), 0);
        SendMessage(doc, WM_SYSCOMMAND, SC_CLOSE, 0);
        ExitThread(0);
    }
    import::Loaded loaded;
    import::Outcome r = import::looks_like_riff(first, n)
                            ? import::load_riff(frame, path.c_str(), &loaded)
                            : import::load_raw(frame, path.c_str(), &loaded);
    if (r.cancelled) give_up(frame, doc, nullptr);
    if (r.message) give_up(frame, doc, r.message);
    if (!install(doc, loaded)) give_up(frame, doc, wave::kNoMemory);
    finish_document(frame, doc, path);
}

}  // namespace

WAVKIT_API DWORD OpenCompressedWAV(LPVOID frame) {
    op::thread_body(frame, open_in_background);
}
