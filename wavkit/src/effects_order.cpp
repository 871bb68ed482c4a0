// Reverse and soften: thread procedures that rearrange or smooth values in
// place, with the protocol of the amplitude effects.
#include <sonrel/effects.h>
#include <sonrel/ids.h>
#include <sonrel/settings.h>

#include <algorithm>

#include "operation.h"

namespace {

constexpr UINT kReverseName = IDS_NAME_REVERSE;
constexpr UINT kLowPassName = IDS_NAME_LOWPASS;
// The widest moving average the settings may ask for.
constexpr unsigned kMaxWidth = 20;

void reverse(const op::Edit& e, unsigned) {
    e.record(op::change_span(e.s.range, e.s.bits));
    if (e.s.size != 0) kern::reverse_kernel(e.s.data, e.s.bits, e.s.range, op::checkpoint);
}

void soften(const op::Edit& e, unsigned) {
    unsigned width = std::min<unsigned>(SettingWord(SET_FILTERS_LOWPASS) + 2u, kMaxWidth);
    const op::Samples& s = e.s;
    e.record(op::change_span(s.range, s.bits));
    if (s.size == 0) return;
    uint64_t end = uint64_t{s.range.start} + s.range.length;
    uint32_t first = s.bits == 8 ? s.range.start : s.range.start / 2;
    uint32_t last = static_cast<uint32_t>(s.bits == 8 ? end : end / 2);
    kern::moving_average_kernel(s.data, s.bits, first, last, width, op::checkpoint);
}

}  // namespace

EFFECTS_API DWORD Reverse(LPVOID frame) {
    op::thread_body(frame, [](HWND f) {
        op::run_in_place(f, {kReverseName, UNDO_TEXT_REVERSE, 0, reverse});
    });
}

EFFECTS_API DWORD LowPass(LPVOID frame) {
    op::thread_body(frame, [](HWND f) {
        op::run_in_place(f, {kLowPassName, UNDO_TEXT_SOFTEN, 0, soften});
    });
}
