// OK in the CurveSound editors: the path applied to the active document on the
// user-interface thread, with the progress window showing the segment at work.
//
// Undo covers every byte the path may change: the range, widened by what the
// walk reaches beyond it (a 16-bit range on an odd byte; channel fades, which
// align their start and keep their length), so that undo gives back the data
// exactly.
#include <sonrel/dialogs.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>

#include "curvesound.h"
#include "document.h"
#include "operation.h"

namespace curve {

namespace {

using kern::ByteRange;

// Data of this many bytes or fewer, and marks as short, are not processed.
constexpr uint32_t kLeastBytes = 300;

// The progress window for one application: range 0 .. count, position 0.
struct Progress {
    HWND window;
    Progress(HWND owner, int count) : window(ShowPercentage(owner)) {
        SendMessage(window, UM_PROGRESSRANGE, 0, count);
        at(0);
    }
    ~Progress() {
        if (window) DestroyWindow(window);
    }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;
    void at(int position) const { SendMessage(window, UM_PROGRESSPOS, WPARAM(position), 0); }
};

bool marked_area(HWND dlg) {
    return IsDlgButtonChecked(dlg, kMarkedArea) == BST_CHECKED;
}

// The mark within the data.
ByteRange mark_of(const op::Samples& s) {
    return kern::clip_range(ByteRange{s.markStart, s.markLength}, s.size);
}

void apply_path(const op::Samples& s, ByteRange r, const Editor& e, const Progress& progress) {
    kern::CurveWalk walk = kern::curve_volume_walk(s.bits, r, s.size);
    for (int i = 0; i + 1 < e.count; ++i) {
        progress.at(i + 1);
        kern::curve_volume_segment(s.data, s.bits, walk, e.pins[i], e.pins[i + 1], nullptr);
    }
}

void apply_fades(const op::Samples& s, ByteRange r, const Editor& e, const Progress& progress) {
    for (int i = 0; i + 1 < e.count; ++i) {
        progress.at(i + 1);
        kern::CurveChannelSegment seg = kern::curve_channel_segment(r, e.pins[i], e.pins[i + 1]);
        kern::curve_channel_apply(s.data, s.size, s.bits, s.blockAlign, seg, nullptr);
    }
}

}  // namespace

// "Whole file" processes all data; "Marked area" only a mark longer than 300
// bytes. The document is marked not saved in every case.
void apply_volume(HWND dlg, const Editor& e) {
    HWND doc = doc::active_document(e.frame);
    if (!doc) return;
    store_count(e);
    {
        Progress progress(dlg, e.count);
        doc::Work work(doc);
        op::Samples s = op::samples_of(work);
        if (s.size > kLeastBytes && s.data) {
            SetMouseWait(dlg);
            bool marked = marked_area(dlg);
            bool whole = IsDlgButtonChecked(dlg, kWholeFile) == BST_CHECKED;
            ByteRange r = marked ? mark_of(s) : ByteRange{0, s.size};
            if ((marked && s.markLength > kLeastBytes) || (!marked && whole)) {
                op::Edit edit{doc, UNDO_TEXT_CSVOLUME, s};
                edit.record(op::span_union(r, kern::curve_volume_span(s.bits, r, s.size)));
                apply_path(s, r, e, progress);
            }
            progress.at(e.count);
            SetMouseActive();
        }
    }
    SetFileNotSaved(doc);
}

// A mark of 300 bytes or less falls back to the whole file. On data that is
// not stereo there are no channels to move between: undo is recorded and the
// document marked not saved, but no byte changes.
void apply_channels(HWND dlg, const Editor& e) {
    HWND doc = doc::active_document(e.frame);
    if (!doc) return;
    store_count(e);
    Progress progress(dlg, e.count);
    {
        doc::Work work(doc);
        op::Samples s = op::samples_of(work);
        if (s.size <= kLeastBytes || !s.data) return;
        SetMouseWait(dlg);
        bool marked = marked_area(dlg) && s.markLength > kLeastBytes;
        ByteRange r = marked ? mark_of(s) : ByteRange{0, s.size};
        bool stereo = s.channels == 2;
        ByteRange touched =
            stereo ? kern::curve_channel_span(s.size, s.bits, s.blockAlign, r, e.pins, e.count)
                   : ByteRange{r.start, 0};
        op::Edit{doc, UNDO_TEXT_CSFADECHANNELS, s}.record(op::span_union(r, touched));
        if (stereo) apply_fades(s, r, e, progress);
    }
    SetFileNotSaved(doc);
    progress.at(e.count);
    SetMouseActive();
}

}  // namespace curve
