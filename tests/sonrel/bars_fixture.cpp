#include "bars_fixture.h"

#include <platform/testing.h>

#include <cstdio>
#include <cstring>

#include "fixtures/document_blocks.h"
#include "frame.h"

namespace barstest {

HeaderBlock header_of(WORD channels, DWORD rate, WORD bits, DWORD dataSize) {
    HeaderBlock h = fixtures::pcm_header(channels, rate, bits, dataSize);
    if (dataSize == 0) h.fileLength = 0;
    return h;
}

HWND make_document(const HeaderBlock& header, DWORD waveBytes, const std::string& path) {
    HWND doc = CreateMDIWindow("Child Window", path.c_str(), WS_HSCROLL, 0, 0, 300, 150,
                               g_shell.mdiClient, g_shell.instance, 0);
    SetProp(doc, PROP_HEADER, fixtures::block_with(&header, sizeof header));
    if (waveBytes) {
        HGLOBAL wave = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, waveBytes + WAVE_SPARE_BYTES);
        SetProp(doc, PROP_WAVE, wave);
    }
    PositionBlock pos{};
    SetProp(doc, PROP_POSITION, fixtures::block_with(&pos, sizeof pos));
    InfoBlock info{};
    std::snprintf(info.path, sizeof info.path, "%s", path.c_str());
    info.saved = 1;
    info.sourceFormat = SOURCE_PCM_WAVE;
    SetProp(doc, PROP_INFO, fixtures::block_with(&info, sizeof info));
    SetProp(doc, PROP_UNDO, fixtures::block_with(nullptr, sizeof(UndoBlock)));
    SetProp(doc, PROP_FILEINFO, fixtures::block_with(nullptr, sizeof(FileInfoBlock)));
    SetWindowLongPtr(doc, GWLP_USERDATA, DOCUMENT_USERDATA);
    ShowWindow(doc, SW_SHOW);
    SendMessage(g_shell.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(doc), 0);
    settle();
    return doc;
}

void settle() {
    for (int i = 0; i < 4; ++i) {
        PlatformProcessEvents();
        PlatformServeSentMessages();
    }
}

std::string item_text(HWND dlg, int id) {
    char text[64] = "";
    GetDlgItemText(dlg, id, text, sizeof text);
    return text;
}

}  // namespace barstest
