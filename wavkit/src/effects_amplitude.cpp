// The amplitude effects: thread procedures that change sample values in place.
#include <sonrel/effects.h>
#include <sonrel/ids.h>
#include <sonrel/settings.h>

#include "operation.h"

namespace {

using kern::ByteRange;
using op::Edit;

// Display-name string ids under which the frame lists the operations.
constexpr UINT kVolumeName = IDS_NAME_VOLUME;
constexpr UINT kFadeInName = IDS_NAME_FADEIN;
constexpr UINT kFadeOutName = IDS_NAME_FADEOUT;
constexpr UINT kLeftToRightName = IDS_NAME_FADELEFTTORIGHT;
constexpr UINT kPeakName = IDS_NAME_PEAKVOLUME;
constexpr UINT kSilenceName = IDS_NAME_SILENCE;
constexpr UINT kRightToLeftName = IDS_NAME_FADERIGHTTOLEFT;
constexpr UINT kZeroizeName = IDS_NAME_ZEROIZE;

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
    unsigned percent = SettingWord(SET_FILTERS_ZEROIZE_PERCENT);
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
        unsigned percent = SettingWord(SET_FILTERS_VOLUME);
        op::run_in_place(f, {kVolumeName, UNDO_TEXT_VOLUME, percent, change_volume});
    });
}

EFFECTS_API DWORD FadeIn(LPVOID frame) {
    run(frame, [](HWND f) {
        unsigned percent = SettingWord(SET_FILTERS_FADEIN);
        op::run_in_place(f, {kFadeInName, UNDO_TEXT_FADEIN, percent, fade_in});
    });
}

EFFECTS_API DWORD FadeOut(LPVOID frame) {
    run(frame, [](HWND f) {
        unsigned percent = SettingWord(SET_FILTERS_FADEOUT);
        op::run_in_place(f, {kFadeOutName, UNDO_TEXT_FADEOUT, percent, fade_out});
    });
}

EFFECTS_API DWORD FadeChannelsLeftToRight(LPVOID frame) {
    run(frame, [](HWND f) {
        op::run_in_place(f, {kLeftToRightName, UNDO_TEXT_FADELEFTTORIGHT, 0, left_to_right});
    });
}

EFFECTS_API DWORD FadeChannelsRightToLeft(LPVOID frame) {
    run(frame, [](HWND f) {
        op::run_in_place(f, {kRightToLeftName, UNDO_TEXT_FADERIGHTTOLEFT, 0, right_to_left});
    });
}

EFFECTS_API DWORD SetMaxVolume(LPVOID frame) {
    run(frame, [](HWND f) {
        op::run_in_place(f, {kPeakName, UNDO_TEXT_MAXVOLUME, 0, peak_volume});
    });
}

EFFECTS_API DWORD SetSilence(LPVOID frame) {
    run(frame, [](HWND f) { op::run_in_place(f, {kSilenceName, UNDO_TEXT_SILENCE, 0, silence}); });
}

EFFECTS_API DWORD Zeroize(LPVOID frame) {
    run(frame, [](HWND f) { op::run_in_place(f, {kZeroizeName, UNDO_TEXT_ZEROIZE, 0, zeroize}); });
}
