// A new, empty document in the format of the NewFile settings.
#include <sonrel/settings.h>

#include <cstdio>
#include <cstring>

#include "document.h"
#include "entry.h"

namespace {

HGLOBAL make_new_header() {
    HGLOBAL h = doc::alloc_block(sizeof(HeaderBlock), true);
    doc::Pin<HeaderBlock> p(h);
    if (!p) {
        doc::free_block(h);
        return nullptr;
    }
    doc::init_header(p.ptr, SettingWord(SET_NEWFILE_CHANNELS), SettingDWord(SET_NEWFILE_SAMPLES),
                     SettingDWord(SET_NEWFILE_BYTESPERSEC), SettingWord(SET_NEWFILE_BYTESPERSAMPLE),
                     SettingWord(SET_NEWFILE_BIT), 0);
    p->fileLength = 0;  // an empty document has no file length at all
    return h;
}

HGLOBAL make_new_file_info() {
    HGLOBAL h = doc::alloc_block(sizeof(FileInfoBlock), true);
    doc::Pin<FileInfoBlock> p(h);
    if (!p) {
        doc::free_block(h);
        return nullptr;
    }
    p->listFlag = 1;
    std::strcpy(p->software, "Sonrel2003 for Windows");
    return h;
}

}  // namespace

WAVKIT_API HWND NewFile(HWND frame, HWND client, int number) {
    return entry::guarded(nullptr, [&]() -> HWND {
        char name[INFO_PATH_CHARS];
        std::snprintf(name, sizeof name, "Unnamed -%d-.WAV", number);
        HWND w = doc::create_document_window(frame, client, name, WS_HSCROLL);
        if (!w) return nullptr;
        // The blocks go to the window the frame reports active; a frame that
        // does not answer leaves the window just made.
        if (HWND active = doc::active_document(frame)) w = active;
        HGLOBAL header = make_new_header();
        HGLOBAL fileinfo = make_new_file_info();
        if (!header || !fileinfo ||
            !doc::attach_document(w, header, nullptr, fileinfo, name, SOURCE_NEW)) {
            doc::free_block(header);
            doc::free_block(fileinfo);
            DestroyWindow(w);
            return nullptr;
        }
        SetFileNotWorking(w);
        EnableScrollBar(w, SB_HORZ, ESB_DISABLE_BOTH);
        return w;
    });
}
