// The amplitude effects: thread procedures that change sample values in place.
#include <kit/rvg32.h>
#include <sonrel/effects.h>

#include "operation.h"

namespace {

using kern::ByteRange;
using op::Edit;

// Display-name string ids under which the frame lists the operations.
constexpr UINT kVolumeName = 15002;
constexpr UINT kFadeInName = 15003;
constexpr UINT kFadeOutName = 15004;
constexpr UINT kLeftToRightName = 15005;
constexpr UINT kPeakName = 15006;
constexpr UINT kSilenceName = 15031;
constexpr UINT kRightToLeftName = 15035;
constexpr UINT kZeroizeName = 15073;

// Undo over the bytes the walk over the working range's values changes.
void record_range(const Edit& e) {
    e.record(op::change_span(e.s.range, e.s.bits));
}

void change_volume(const Edit& e, unsigned percent) {
    record_range(e);
    kern::volume_kernel(e.s.data, e.s.bits, e.s.range, kern::volume_gain(percent), op::checkpoint);
}

void fade_in(const Edit& e, unsigned percent) {
    record_range(e);
    kern::Ramp ramp = kern::fade_in_ramp(percent, e.s.range.length, e.s.bits);
    kern::ramp_kernel(e.s.data, e.s.bits, e.s.range, ramp, true, op::checkpoint);
}

void fade_out(const Edit& e, unsigned percent) {
    record_range(e);
    kern::Ramp ramp = kern::fade_out_ramp(percent, e.s.range.length, e.s.bits);
    kern::ramp_kernel(e.s.data, e.s.bits, e.s.range, ramp, false, op::checkpoint);
}

void peak_volume(const Edit& e, unsigned) {
    record_range(e);
    kern::peak_kernel(e.s.data, e.s.bits, e.s.range, op::checkpoint);
}

void silence(const Edit& e, unsigned) {
    if (e.s.markLength == 0) return;  // only a mark is silenced
    record_range(e);
    kern::silence_kernel(e.s.data, e.s.bits, e.s.range, op::checkpoint);
}

void zeroize(const Edit& e, unsigned) {
    unsigned percent = RegGetWord("Sonrel\\Settings\\Filters\\Zeroize\\Percent", 30);
    record_range(e);
    kern::zeroize_kernel(e.s.data, e.s.bits, e.s.range, kern::zeroize_thresholds(percent),
                         op::checkpoint);
}

// Undo is recorded in every case; only stereo data with bytes changes.
void channel_fade(const Edit& e, bool leftToRight) {
    const op::Samples& s = e.s;
    bool acts = s.size != 0 && s.channels == 2;
    ByteRange touched =
        acts ? kern::channel_fade_span(s.size, s.bits, s.blockAlign, s.range) : ByteRange{0, 0};
    e.record(op::span_union(s.range, touched));
    if (acts) {
        kern::channel_fade_kernel(s.data, s.size, s.bits, s.blockAlign, s.range, 1.0f, leftToRight,
                                  op::checkpoint);
    }
}

void left_to_right(const Edit& e, unsigned) {
    channel_fade(e, true);
}
void right_to_left(const Edit& e, unsigned) {
    channel_fade(e, false);
}

[[noreturn]] void run(LPVOID frame, void (*body)(HWND)) {
    op::thread_body(frame, body);
}

}  // namespace

EFFECTS_API DWORD ChangeVolume(LPVOID frame) {
    run(frame, [](HWND f) {
        unsigned percent = RegGetWord("Sonrel\\Settings\\Filters\\Volume", 200);
        op::run_in_place(f, {kVolumeName, "Change Volume", percent, change_volume});
    });
}

EFFECTS_API DWORD FadeIn(LPVOID frame) {
    run(frame, [](HWND f) {
        unsigned percent = RegGetWord("Sonrel\\Settings\\Filters\\FadeIn", 10);
        op::run_in_place(f, {kFadeInName, "Fade In", percent, fade_in});
    });
}

EFFECTS_API DWORD FadeOut(LPVOID frame) {
    run(frame, [](HWND f) {
        unsigned percent = RegGetWord("Sonrel\\Settings\\Filters\\FadeOut", 10);
        op::run_in_place(f, {kFadeOutName, "Fade Out", percent, fade_out});
    });
}

EFFECTS_API DWORD FadeChannelsLeftToRight(LPVOID frame) {
    run(frame, [](HWND f) {
        op::run_in_place(f, {kLeftToRightName, "Fade Channels Left To Right", 0, left_to_right});
    });
}

EFFECTS_API DWORD FadeChannelsRightToLeft(LPVOID frame) {
    run(frame, [](HWND f) {
        op::run_in_place(f, {kRightToLeftName, "Fade Channels Right To Left", 0, right_to_left});
    });
}

EFFECTS_API DWORD SetMaxVolume(LPVOID frame) {
    run(frame, [](HWND f) {
        op::run_in_place(f, {kPeakName, "Set Maximal Volume", 0, peak_volume});
    });
}

EFFECTS_API DWORD SetSilence(LPVOID frame) {
    run(frame, [](HWND f) { op::run_in_place(f, {kSilenceName, "Silence", 0, silence}); });
}

EFFECTS_API DWORD Zeroize(LPVOID frame) {
    run(frame, [](HWND f) { op::run_in_place(f, {kZeroizeName, "Zeroize", 0, zeroize}); });
}
