// The speed change ("Velocity"): resamples the whole data in place by
// repeating or dropping values, then smooths it with the moving average.
//
// Stretching grows the block first, so a refused allocation changes nothing.
// Compressing shrinks the block after the values have moved; a shrink the
// memory layer refuses leaves the block larger than the data, which every
// reader tolerates, so the change stands. No undo is recorded; the older
// record is cleared once the data changes.
#include <sonrel/effects.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/settings.h>

#include <algorithm>

#include "entry.h"
#include "operation.h"

namespace {

constexpr UINT kVelocityName = IDS_NAME_VELOCITY;
constexpr unsigned kMaxWidth = 20;

struct SpeedSettings {
    kern::SpeedFactors factors;
    bool smooth;
    unsigned width;  // moving-average width in values
};

uint32_t value_count(uint64_t bytes, int bits) {
    return static_cast<uint32_t>(bits == 8 ? bytes : bytes / 2);
}

void scale_mark(PositionBlock* p, float length, uint32_t newSize) {
    if (!p || p->markLength == 0) return;
    uint64_t start = std::min<uint64_t>(kern::scaled_size(p->markStart, length), newSize);
    uint64_t span = std::min<uint64_t>(kern::scaled_size(p->markLength, length), newSize - start);
    p->markStart = static_cast<DWORD>(start);
    p->markLength = static_cast<DWORD>(span);
}

// False when the data would not fit 32 bits or the block cannot grow; nothing
// has changed then.
bool change_speed(HWND doc, const SpeedSettings& set) {
    doc::Work work(doc);
    op::Samples s = op::samples_of(work);
    const float k = set.factors.length;
    uint32_t size = s.size;
    if (s.size != 0 && k != 1.0f) {
        uint64_t wanted = kern::scaled_size(s.size, k);
        if (k > 1.0f) {
            if (!doc::data_size_fits(wanted)) return false;
            work.unpin();
            bool grown = doc::resize_wave(doc, wanted);
            work.repin();
            if (!grown) return false;
        }
        size = static_cast<uint32_t>(wanted);
        ForbidUndo(doc);
        kern::resample_kernel(work.wave.ptr, s.bits, value_count(s.size, s.bits),
                              value_count(size, s.bits), set.factors.speed, op::checkpoint);
        // An odd 16-bit size ends in half a value: make it silence.
        if (s.bits != 8 && size % 2 != 0) work.wave.ptr[size - 1] = 0;
        doc::set_data_size(work.header.ptr, size);
        scale_mark(work.position.ptr, k, size);
        if (k < 1.0f) {
            work.unpin();
            doc::resize_wave(doc, size);
            work.repin();
        }
    }
    if (set.smooth && size != 0) {
        kern::moving_average_kernel(work.wave.ptr, s.bits, 0, value_count(size, s.bits), set.width,
                                    op::checkpoint);
    }
    return true;
}

void velocity_body(HWND frame) {
    SpeedSettings set;
    set.factors = kern::speed_factors(SettingWord(SET_FILTERS_VELOCITY));
    set.smooth = SettingBool(SET_FILTERS_VELOCITYSMOOTH) != 0;
    set.width = std::min<unsigned>(SettingWord(SET_FILTERS_VELOCITYSMOOTHVALUE) + 2u, kMaxWidth);
    HWND doc = doc::active_document(frame);
    HWND preview = op::ask_preview(frame);
    HWND status = op::ask_status(frame);
    op::announce_start(frame, doc, kVelocityName);
    if (set.factors.length == 1.0f) BreakThread(frame);
    if (!doc) op::finish(frame);
    if (!change_speed(doc, set)) {
        entry::not_enough_memory(frame);
        BreakThread(frame);
    }
    SendMessage(doc, UM_DOCCHANGED, 0, 0);
    op::repaint(doc);
    op::repaint(preview);
    op::repaint(status);
    SetFileNotSaved(doc);
    op::finish(frame);
}

}  // namespace

EFFECTS_API DWORD Velocity(LPVOID frame) {
    op::thread_body(frame, velocity_body);
}
