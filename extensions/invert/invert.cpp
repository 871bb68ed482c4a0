// Sample extension "Invert Polarity": negates every sample value of the mark,
// or of the whole document without one. It asks nothing and runs directly on
// the frame's thread; the change can be undone.
#include <sonrel/extension.h>

#include <cstring>

#include "sample_document.h"

namespace {

constexpr char kUndoText[] = "Invert Polarity";

// A wave line over the middle row above, its mirror image below.
DWORD image_pixel(int x, int y) {
    static const int kWave[17] = {8, 6, 4, 3, 3, 4, 6, 8, 8, 8, 6, 4, 3, 3, 4, 6, 8};
    int up = kWave[x], down = 16 - kWave[x];
    if (y == 8) return 0x808080;
    if ((y >= up && y < 8) || y == up) return 0x0000C0;
    if ((y <= down && y > 8) || y == down) return 0xC00000;
    return 0xC0C0C0;
}

}  // namespace

EXTENSION_EXPORT void GetExtensionInformation(ExtensionInfo* info) {
    std::strcpy(info->menuText, "&Invert Polarity");
    std::strcpy(info->description,
                "Turns the waveform upside down: every sample value negated\rInvert Polarity");
    info->threaded = 0;
    info->active = 1;
    info->bitmap = sample::button_image(image_pixel);
}

// Nothing to ask: the filter always goes on.
EXTENSION_EXPORT DWORD ShowDialogBox(HWND) {
    return 1;
}

EXTENSION_EXPORT DWORD Filter(HWND frame) {
    HWND doc = reinterpret_cast<HWND>(SendMessage(frame, UM_GETACTIVEDOC, 0, 0));
    if (!doc) return 0;
    {
        DocumentLock lock(doc);
        sample::Samples s(doc);
        if (s.empty()) return 0;
        SaveUndoInformation(doc, s.start, s.length, UNDO_CHANGED, kUndoText);
        for (DWORD i = 0, n = s.values(); i < n; ++i) s.put(i, -s.get(i));
    }
    sample::changed(frame, doc);
    return 1;
}
