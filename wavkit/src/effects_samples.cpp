// Sample routines shared with the clipboard, the CurveSound editors and the
// views: they run on the caller's thread, record no undo and repaint nothing.
#include <sonrel/effects.h>

#include "entry.h"
#include "operation.h"

namespace {

void plain_channel_fade(HWND doc, DWORD start, DWORD length, float startGain, bool leftToRight) {
    if (!doc) return;
    entry::guarded([&] {
        doc::Work work(doc);
        op::Samples s = op::samples_of(work);
        // The kernel takes the range as given (its length sets the step) and
        // stops before the data's end.
        kern::ByteRange r = kern::channel_fade_kernel(s.data, s.size, s.bits, s.blockAlign,
                                                      kern::ByteRange{start, length}, startGain,
                                                      leftToRight, op::checkpoint);
        doc::peaks_out_of_date(doc, r.start, r.start + r.length);
    });
}

// The document's block align, or -1 without a HEADER.
long block_align_of(HWND doc) {
    doc::Pin<HeaderBlock> header(doc, PROP_HEADER);
    return header ? static_cast<long>(header->blockAlign) : -1;
}

bool on_frame_start(long align, DWORD offset) {
    return align == 0 ? offset == 0 : offset % static_cast<DWORD>(align) == 0;
}

}  // namespace

EFFECTS_API int ChangeSampleVolume(int sample, int bits, float gain) {
    return kern::change_sample(sample, bits, gain);
}

EFFECTS_API int FadeLeftToRight(HWND doc, DWORD start, DWORD length, float startGain) {
    plain_channel_fade(doc, start, length, startGain, true);
    return 1;
}

EFFECTS_API int FadeRightToLeft(HWND doc, DWORD start, DWORD length, float startGain) {
    plain_channel_fade(doc, start, length, startGain, false);
    return 1;
}

EFFECTS_API BOOL IsLeftChannel(HWND doc, DWORD offset) {
    long align = block_align_of(doc);
    return align >= 0 && on_frame_start(align, offset) ? 1 : 0;
}

EFFECTS_API BOOL IsRightChannel(HWND doc, DWORD offset) {
    long align = block_align_of(doc);
    return align >= 0 && !on_frame_start(align, offset) ? 1 : 0;
}

EFFECTS_API int PixelCalculate(int sample, int bits, int height) {
    return kern::pixel_offset(sample, bits, height);
}
