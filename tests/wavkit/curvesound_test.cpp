// The CurveSound editors driven as the user drives them, through the question
// hook and simulated mouse messages: what they show on opening, the pins
// (reset, drag, snap, limits), the path applied on OK to 8- and 16-bit, mono
// and stereo data, whole or marked, undo and Cancel; and the progress window.
#include <gtest/gtest.h>
#include <platform/testing.h>
#include <kernels/kernels.h>
#include <kit/rvg32.h>
#include <sonrel/dialogs.h>
#include <sonrel/effects.h>
#include <sonrel/messages.h>

#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "../../resources/artwork_curve.h"
#include "../../resources/dialogs_curve.h"
#include "document_fixture.h"
#include "test_support.h"

namespace {

using namespace wavtest;
using kern::CurvePin;
using testing_support::QuestionRecorder;
using Path = std::vector<CurvePin>;

const char* const kVolumeCount = "Sonrel\\Settings\\CurveSound\\VolumeNumber";
const char* const kChannelCount = "Sonrel\\Settings\\CurveSound\\FadeChannelsNumber";
constexpr COLORREF kPinFill = RGB(192, 192, 192);
constexpr int kValueText = 115, kCountEdit = 113, kReset = 114;
constexpr int kWholeFile = 10, kMarkedArea = 11;

struct Editor {
    BOOL (*show)(HWND);
    const char* title;
    const char* setting;
    int defaultCount;
    POINT origin;  // client pixel of the drawing area's top left
};
const Editor kVolume{ShowCSVolume, "CurveSound - Change Volume", kVolumeCount, 4, {10, 10}};
const Editor kChannels{
    ShowCSFadeChannels, "CurveSound - Fade Channels", kChannelCount, 5, {30, 10}};

std::string text(HWND dlg, int id) {
    return testing_support::item_text(dlg, id);
}

// The mouse over an open editor, in drawing-area pixels.
struct Mouse {
    HWND dlg;
    POINT o;
    void down(POINT p) { PlatformSimulateMouse(dlg, WM_LBUTTONDOWN, o.x + p.x, o.y + p.y, 0); }
    void move(POINT p) {
        PlatformSimulateMouse(dlg, WM_MOUSEMOVE, o.x + p.x, o.y + p.y, MK_LBUTTON);
    }
    void up(POINT p) { PlatformSimulateMouse(dlg, WM_LBUTTONUP, o.x + p.x, o.y + p.y, 0); }
    // Presses at `from`, moves through the points and lets go at the last.
    void drag(POINT from, std::initializer_list<POINT> through) {
        down(from);
        POINT at = from;
        for (POINT p : through) move(at = p);
        up(at);
    }
};

// Paints the (hidden) dialog as showing it would.
void paint(HWND dlg) {
    InvalidateRect(dlg, nullptr, TRUE);
    UpdateWindow(dlg);
}

// Whether a pin is drawn at (x, y) of the area: its grey fill there (a pin on
// the right or bottom edge shows only its inner half).
bool pin_drawn_at(HWND dlg, POINT o, CurvePin p) {
    int x = o.x + p.x - (p.x == kern::kCurveWidth ? 1 : 0);
    int y = o.y + p.y - (p.y == kern::kCurveHeight ? 1 : 0);
    return PlatformWindowPixel(dlg, x, y) == kPinFill;
}

// Pixels of the pins' fill inside the area, and outside it.
struct FillCount {
    int inside = 0, outside = 0;
};
FillCount fill_pixels(HWND dlg, POINT o) {
    std::vector<DWORD> px(1 << 20);
    int w = 0, h = 0;
    PlatformReadWindowPixels(dlg, px.data(), int(px.size()), &w, &h);
    FillCount n;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (px[size_t(y) * w + x] != 0xC0C0C0) continue;
            bool in =
                x >= o.x && x < o.x + kern::kCurveWidth && y >= o.y && y < o.y + kern::kCurveHeight;
            (in ? n.inside : n.outside)++;
        }
    }
    return n;
}

Path reset_path(int count) {
    Path p;
    for (int k = 0; k < count; ++k) p.push_back({300 / (count - 1) * k, 100});
    p.back().x = 300;
    return p;
}

// 16-bit values as bytes and back.
Bytes words(const std::vector<int16_t>& v) {
    Bytes b(v.size() * 2);
    std::memcpy(b.data(), v.data(), b.size());
    return b;
}
Bytes constant16(size_t values, int16_t v) {
    return words(std::vector<int16_t>(values, v));
}

class CurveSound : public ::testing::Test {
protected:
    void SetUp() override {
        static bool registered = (RegisterCurveDialogTemplates(GetModuleHandle(nullptr)),
                                  RegisterCurveArtwork(GetModuleHandle(nullptr)), true);
        (void)registered;
        RegWriteString(kVolumeCount, "unset");
        RegWriteString(kChannelCount, "unset");
    }
    // Each open editor is answered by `answer` (the dialog and the number of
    // the ask); other questions get OK.
    void answer_with(std::function<INT_PTR(HWND, int)> answer) {
        asks = 0;
        rec.on_ask = [this, answer](const PlatformQuestion* q) -> INT_PTR {
            if (std::strcmp(q->kind, "Dialog") != 0) return IDOK;
            return answer(static_cast<HWND>(q->data), asks++);
        };
    }
    // Opens the editor on the active document, lets `act` drag the pins and
    // gives the button it answers with.
    BOOL run(const Editor& e, const std::function<INT_PTR(Mouse&)>& act) {
        answer_with([&](HWND dlg, int) -> INT_PTR {
            Mouse m{dlg, e.origin};
            return act(m);
        });
        return e.show(f.frame);
    }
    Frame f;
    QuestionRecorder rec;
    int asks = 0;
};

// --- Opening

TEST_F(CurveSound, EditorsOpenWithTheirTitlesCountsAndFlatPins) {
    for (const Editor& e : {kVolume, kChannels}) {
        SCOPED_TRACE(e.title);
        std::string title, count, value;
        int lo = -1, hi = -1;
        bool flat = true;
        FillCount fill;
        answer_with([&](HWND dlg, int) -> INT_PTR {
            char buf[128];
            GetWindowText(dlg, buf, sizeof buf);
            title = buf;
            count = text(dlg, kCountEdit);
            value = text(dlg, kValueText);
            HWND ud = FindWindowEx(dlg, nullptr, "msctls_updown32", nullptr);
            EXPECT_EQ(GetDlgCtrlID(ud), 114);
            SendMessage(ud, UDM_GETRANGE32, WPARAM(&lo), LPARAM(&hi));
            paint(dlg);
            for (CurvePin p : reset_path(e.defaultCount))
                flat = flat && pin_drawn_at(dlg, e.origin, p);
            fill = fill_pixels(dlg, e.origin);
            return IDCANCEL;
        });
        EXPECT_EQ(e.show(f.frame), 0);
        EXPECT_EQ(title, e.title);
        EXPECT_EQ(count, std::to_string(e.defaultCount));
        EXPECT_EQ(value, "100");
        EXPECT_EQ(lo, 3);
        EXPECT_EQ(hi, 20);
        EXPECT_TRUE(flat) << "every pin drawn at its reset place";
        EXPECT_GT(fill.inside, 0);
    }
}

TEST_F(CurveSound, StoredCountIsHeldWithinThreeToTwenty) {
    struct Case {
        const char* stored;
        const char* shown;
    };
    const Case cases[] = {{"8", "8"}, {"3", "3"}, {"20", "20"}, {"2", "3"}, {"99", "20"}};
    for (const Case& c : cases) {
        RegWriteString(kVolumeCount, c.stored);
        std::string shown;
        bool drawn = false;
        answer_with([&](HWND dlg, int) -> INT_PTR {
            shown = text(dlg, kCountEdit);
            paint(dlg);
            drawn = true;
            for (CurvePin p : reset_path(std::stoi(shown)))
                drawn = drawn && pin_drawn_at(dlg, kVolume.origin, p);
            return IDCANCEL;
        });
        ShowCSVolume(f.frame);
        EXPECT_EQ(shown, c.shown) << "stored " << c.stored;
        EXPECT_TRUE(drawn) << "stored " << c.stored;
        EXPECT_EQ(RegGetString(kVolumeCount, ""), std::string(c.stored)) << "Cancel stores nothing";
    }
}

TEST_F(CurveSound, MarkedAreaIsOfferedOnlyWithAMark) {
    HWND doc = make_document(f, Format{1, 8000, 16}, constant16(1000, 100));
    for (DWORD mark : {0u, 40u}) {
        set_mark(doc, 0, mark);
        UINT whole = 9, marked = 9;
        BOOL markedEnabled = TRUE;
        POINT off{-1, -1};
        answer_with([&](HWND dlg, int) -> INT_PTR {
            whole = IsDlgButtonChecked(dlg, kWholeFile);
            marked = IsDlgButtonChecked(dlg, kMarkedArea);
            markedEnabled = IsWindowEnabled(GetDlgItem(dlg, kMarkedArea));
            RECT box{}, client{}, frameClient{};
            POINT origin{0, 0};
            GetWindowRect(dlg, &box);
            GetClientRect(dlg, &client);
            GetClientRect(f.frame, &frameClient);
            ClientToScreen(f.frame, &origin);
            off = POINT{box.left - (origin.x + frameClient.right / 2 - client.right / 2),
                        box.top - (origin.y + frameClient.bottom / 2 - client.bottom / 2)};
            return IDCANCEL;
        });
        ShowCSFadeChannels(f.frame);
        EXPECT_EQ(whole, mark ? BST_UNCHECKED : BST_CHECKED) << "mark " << mark;
        EXPECT_EQ(marked, mark ? BST_CHECKED : BST_UNCHECKED) << "mark " << mark;
        EXPECT_EQ(markedEnabled, mark ? TRUE : FALSE) << "mark " << mark;
        EXPECT_EQ(off.x, 0);
        EXPECT_EQ(off.y, -25) << "centred, 25 pixels high";
    }
}

// --- Pins

TEST_F(CurveSound, ResetSpreadsTheTypedCountAndStoresIt) {
    struct Case {
        const char* typed;
        int count;  // pins after the reset
    };
    const Case cases[] = {{"3", 3}, {"8", 8}, {"20", 20}, {"25", 20}, {"1", 3}, {"many", 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        RegWriteString(kVolumeCount, "unset");
        bool drawn = false;
        std::string value, shown;
        run(kVolume, [&](Mouse& m) -> INT_PTR {
            m.drag({100, 100}, {{100, 20}});  // a moved pin goes back flat
            SetDlgItemText(m.dlg, kCountEdit, c.typed);
            SendMessage(m.dlg, WM_COMMAND, MAKEWPARAM(kReset, BN_CLICKED),
                        LPARAM(GetDlgItem(m.dlg, kReset)));
            shown = text(m.dlg, kCountEdit);
            value = text(m.dlg, kValueText);
            drawn = true;
            for (CurvePin p : reset_path(c.count)) drawn = drawn && pin_drawn_at(m.dlg, m.o, p);
            return IDCANCEL;
        });
        EXPECT_TRUE(drawn);
        EXPECT_EQ(shown, std::to_string(c.count));
        EXPECT_EQ(value, "100");
        EXPECT_EQ(RegGetString(kVolumeCount, ""), std::to_string(c.count))
            << "a reset stores the count even when the editor is cancelled";
    }
}

TEST_F(CurveSound, ResetPinsStandEvenlyWithTheLastAtTheRightEdge) {
    struct Case {
        const char* count;
        std::vector<int> xs;
    };
    const Case cases[] = {{"3", {0, 150, 300}},
                          {"8", {0, 42, 84, 126, 168, 210, 252, 300}},
                          {"20", {0,   15,  30,  45,  60,  75,  90,  105, 120, 135,
                                  150, 165, 180, 195, 210, 225, 240, 255, 270, 300}}};
    for (const Case& c : cases) {
        std::vector<int> missing;
        run(kVolume, [&](Mouse& m) -> INT_PTR {
            SetDlgItemText(m.dlg, kCountEdit, c.count);
            SendMessage(m.dlg, WM_COMMAND, MAKEWPARAM(kReset, BN_CLICKED),
                        LPARAM(GetDlgItem(m.dlg, kReset)));
            for (int x : c.xs)
                if (!pin_drawn_at(m.dlg, m.o, {x, 100})) missing.push_back(x);
            return IDCANCEL;
        });
        EXPECT_TRUE(missing.empty()) << c.count << " pins: none drawn at x " << missing.front();
    }
}

TEST_F(CurveSound, TypingACountWithoutResetChangesNoPin) {
    bool flat = false;
    run(kVolume, [&](Mouse& m) -> INT_PTR {
        SetDlgItemText(m.dlg, kCountEdit, "7");
        paint(m.dlg);
        flat = true;
        for (CurvePin p : reset_path(4)) flat = flat && pin_drawn_at(m.dlg, m.o, p);
        return IDCANCEL;
    });
    EXPECT_TRUE(flat);
    EXPECT_EQ(RegGetString(kVolumeCount, ""), std::string("unset"));
}

struct DragCase {
    const char* name;
    POINT press;
    std::initializer_list<POINT> moves;
    int pin;       // the pin that should have moved, -1 for none
    CurvePin end;  // where it ends
};

// Four pins at x 0, 100, 200, 300, all at y 100.
const DragCase kDrags[] = {
    {"inner pin anywhere inside", {101, 99}, {{150, 30}}, 1, {150, 30}},
    {"snaps onto the middle line", {100, 100}, {{120, 60}, {120, 101}}, 1, {120, 100}},
    {"snaps onto a dotted line", {100, 100}, {{100, 52}}, 1, {100, 50}},
    {"snaps onto the top", {100, 100}, {{100, 2}}, 1, {100, 0}},
    {"snaps onto the bottom", {100, 100}, {{100, 198}}, 1, {100, 200}},
    {"stops before its right neighbour", {100, 100}, {{150, 80}, {250, 40}}, 1, {150, 40}},
    {"stops before its left neighbour", {200, 100}, {{50, 120}}, 2, {200, 120}},
    {"cannot leave at the top", {100, 100}, {{100, 40}, {100, -20}}, 1, {100, 40}},
    {"cannot leave at the bottom", {100, 100}, {{90, 160}, {90, 215}}, 1, {90, 160}},
    {"cannot leave at the right", {200, 100}, {{250, 40}, {320, 10}}, 2, {250, 40}},
    {"first pin only up and down", {2, 100}, {{60, 150}}, 0, {0, 150}},
    {"last pin only up and down", {298, 100}, {{299, 20}, {150, 30}}, 3, {300, 30}},
    {"a press beside every pin moves none", {50, 50}, {{60, 60}}, -1, {0, 0}},
};

TEST_F(CurveSound, DraggedPinsStayOnTheSurfaceAndInTimeOrder) {
    const Bytes data = constant16(3000, 1000);
    for (const DragCase& c : kDrags) {
        SCOPED_TRACE(c.name);
        HWND doc = make_document(f, Format{1, 8000, 16}, data);
        f.active = doc;
        Path expect = reset_path(4);
        if (c.pin >= 0) expect[c.pin] = c.end;
        std::string value;
        bool drawn = false;
        FillCount fill;
        run(kVolume, [&](Mouse& m) -> INT_PTR {
            m.drag(c.press, c.moves);
            paint(m.dlg);
            value = text(m.dlg, kValueText);
            drawn = true;
            for (CurvePin p : expect) drawn = drawn && pin_drawn_at(m.dlg, m.o, p);
            fill = fill_pixels(m.dlg, m.o);
            return IDOK;
        });
        EXPECT_EQ(value, c.pin >= 0 ? std::to_string(200 - c.end.y) : "100");
        EXPECT_TRUE(drawn) << "pins drawn where they stand";
        EXPECT_GT(fill.inside, 0);
        // The path applied is the one on the surface.
        Bytes want = data;
        kern::curve_volume_kernel(want.data(), 16, kern::ByteRange{0, 6000}, 6000, expect.data(), 4,
                                  nullptr);
        EXPECT_EQ(data_of(doc), want);
    }
}

TEST_F(CurveSound, PinsPushedPastEachOtherKeepThePathAFunctionOfTime) {
    HWND doc = make_document(f, Format{2, 8000, 16}, constant16(6000, -8000));
    f.active = doc;
    RegWriteString(kVolumeCount, "5");  // 0, 75, 150, 225, 300
    run(kVolume, [&](Mouse& m) -> INT_PTR {
        // Each pin goes as far as it may and then only up and down.
        m.drag({75, 100}, {{140, 60}, {200, 50}, {280, 40}});
        m.drag({150, 100}, {{145, 150}, {100, 170}});
        m.drag({225, 100}, {{160, 10}, {142, 0}});
        return IDOK;
    });
    Path expect = {{0, 100}, {140, 40}, {145, 170}, {160, 0}, {300, 100}};
    Bytes want = constant16(6000, -8000);
    kern::curve_volume_kernel(want.data(), 16, kern::ByteRange{0, 12000}, 12000, expect.data(), 5,
                              nullptr);
    EXPECT_EQ(data_of(doc), want);
}

// --- Applying the volume path

struct Layout {
    const char* name;
    Format fmt;
    DWORD markStart, markLength;  // bytes; length 0: the whole file
};
const Layout kLayouts[] = {
    {"8-bit mono, whole", {1, 8000, 8}, 0, 0},
    {"8-bit stereo, whole", {2, 8000, 8}, 0, 0},
    {"16-bit mono, whole", {1, 8000, 16}, 0, 0},
    {"16-bit stereo, whole", {2, 8000, 16}, 0, 0},
    {"8-bit mono, mark", {1, 8000, 8}, 1001, 2500},
    {"8-bit stereo, mark", {2, 8000, 8}, 400, 3002},
    {"16-bit mono, mark", {1, 8000, 16}, 602, 4000},
    {"16-bit stereo, mark", {2, 8000, 16}, 1000, 5000},
    {"16-bit stereo, mark on an odd byte", {2, 8000, 16}, 1001, 4000},
};

TEST_F(CurveSound, FlatPathLeavesEveryLayoutUnchangedButUnsaved) {
    for (const Layout& l : kLayouts) {
        SCOPED_TRACE(l.name);
        Bytes data = pattern(8000, 4);
        HWND doc = make_document(f, l.fmt, data);
        f.active = doc;
        set_mark(doc, l.markStart, l.markLength);
        EXPECT_EQ(run(kVolume, [](Mouse&) -> INT_PTR { return IDOK; }), 1);
        EXPECT_EQ(data_of(doc), data);
        EXPECT_EQ(info_of(doc).saved, 0u);
        EXPECT_EQ(RegGetString(kVolumeCount, ""), std::string("4")) << "OK stores the count";
    }
}

TEST_F(CurveSound, StraightRiseIsAppliedValueByValueAndUndoneExactly) {
    // First pin to the bottom (0 %), last to the top (200 %): the gain rises
    // through the range, every value as ChangeSampleVolume gives it.
    for (const Layout& l : kLayouts) {
        SCOPED_TRACE(l.name);
        Bytes data = pattern(8000, 9);
        HWND doc = make_document(f, l.fmt, data);
        f.active = doc;
        set_mark(doc, l.markStart, l.markLength);
        RegWriteString(kVolumeCount, "3");
        run(kVolume, [](Mouse& m) -> INT_PTR {
            m.drag({1, 100}, {{1, 200}});
            m.drag({299, 100}, {{299, 0}});
            return IDOK;
        });
        kern::ByteRange r =
            l.markLength ? kern::ByteRange{l.markStart, l.markLength} : kern::ByteRange{0, 8000};
        int bits = l.fmt.bits;
        unsigned width = bits == 8 ? 1 : 2;
        uint32_t first = r.start / width, values = r.length / width;
        Bytes want = data;
        for (uint32_t i = 0; i < 2; ++i) {
            uint32_t v = uint32_t(kern::curve_share(150, values));
            float t = i == 0 ? 0.0f : 1.0f, e = i == 0 ? 1.0f : 2.0f;
            for (uint32_t k = 1; k <= v; ++k) {
                float gain = k == v ? e : float(t + k * ((double(e) - t) / v));
                uint32_t j = first + i * v + k - 1;
                if (bits == 8) {
                    want[j] = uint8_t(ChangeSampleVolume(want[j], 8, gain));
                } else {
                    int16_t s;
                    std::memcpy(&s, &want[2 * j], 2);
                    s = int16_t(ChangeSampleVolume(s, 16, gain));
                    std::memcpy(&want[2 * j], &s, 2);
                }
            }
        }
        ASSERT_EQ(data_of(doc), want);
        UndoBlock undo = undo_of(doc);
        EXPECT_EQ(undo.kind, UNDO_CHANGED);
        EXPECT_STREQ(undo.description, "CurveSound Volume");
        EXPECT_EQ(RestoreUndoInformation(doc), 1);
        EXPECT_EQ(data_of(doc), data) << "undo gives back every byte";
    }
}

TEST_F(CurveSound, ShortDataAndShortMarksAreLeftAlone) {
    struct Case {
        const char* name;
        size_t bytes;
        DWORD markLength;
        bool marked;  // "Marked area" chosen
        bool changes;
    };
    const Case cases[] = {{"300 bytes of data", 300, 0, false, false},
                          {"302 bytes of data", 302, 0, false, true},
                          {"a mark of 300 bytes", 4000, 300, true, false},
                          {"a mark of 302 bytes", 4000, 302, true, true},
                          {"whole file with a short mark", 4000, 300, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes data = pattern(c.bytes, 2);
        HWND doc = make_document(f, Format{1, 8000, 16}, data);
        f.active = doc;
        set_mark(doc, 100, c.markLength);
        run(kVolume, [&](Mouse& m) -> INT_PTR {
            m.drag({100, 100}, {{100, 0}});
            CheckRadioButton(m.dlg, kWholeFile, kMarkedArea, c.marked ? kMarkedArea : kWholeFile);
            return IDOK;
        });
        EXPECT_EQ(data_of(doc) != data, c.changes);
        EXPECT_EQ(undo_of(doc).kind, c.changes ? UNDO_CHANGED : 0);
        EXPECT_EQ(info_of(doc).saved, 0u) << "marked not saved in every case";
    }
}

TEST_F(CurveSound, CancelChangesNothing) {
    for (const Editor& e : {kVolume, kChannels}) {
        SCOPED_TRACE(e.title);
        Bytes data = pattern(4000, 5);
        HWND doc = make_document(f, Format{2, 8000, 16}, data);
        f.active = doc;
        EXPECT_EQ(run(e,
                      [](Mouse& m) -> INT_PTR {
                          m.drag({100, 100}, {{100, 0}});
                          return IDCANCEL;
                      }),
                  0);
        EXPECT_EQ(data_of(doc), data);
        EXPECT_EQ(undo_of(doc).kind, 0);
        EXPECT_EQ(info_of(doc).saved, 1u);
        EXPECT_EQ(RegGetString(e.setting, ""), std::string("unset"));
    }
}

TEST_F(CurveSound, WithoutADocumentOkChangesNothingAndGivesOne) {
    for (const Editor& e : {kVolume, kChannels}) {
        EXPECT_EQ(run(e, [](Mouse&) -> INT_PTR { return IDOK; }), 1);
        EXPECT_EQ(RegGetString(e.setting, ""), std::string("unset"));
    }
}

// --- Applying the channel path

TEST_F(CurveSound, ChannelPathFadesEachSegmentByItsSlopeAndUndoesExactly) {
    struct Case {
        const char* name;
        Format fmt;
        DWORD markStart, markLength;
        bool marked;
    };
    const Case cases[] = {
        {"16-bit stereo, whole", {2, 8000, 16}, 0, 0, false},
        {"8-bit stereo, whole", {2, 8000, 8}, 0, 0, false},
        {"16-bit stereo, mark", {2, 8000, 16}, 1002, 3000, true},
        {"8-bit stereo, mark on an odd byte", {2, 8000, 8}, 501, 2999, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes data = pattern(8000, 6);
        HWND doc = make_document(f, c.fmt, data);
        f.active = doc;
        set_mark(doc, c.markStart, c.markLength);
        // Five pins at 0, 75, 150, 225, 300: up, a rise of 1 pixel, down, level.
        run(kChannels, [](Mouse& m) -> INT_PTR {
            m.drag({75, 100}, {{75, 20}});
            m.drag({150, 100}, {{150, 19}});
            m.drag({225, 100}, {{225, 180}});
            m.drag({298, 100}, {{299, 180}});
            return IDOK;
        });
        Path path = {{0, 100}, {75, 20}, {150, 19}, {225, 180}, {300, 180}};
        kern::ByteRange r =
            c.marked ? kern::ByteRange{c.markStart, c.markLength} : kern::ByteRange{0, 8000};
        Bytes want = data;
        kern::curve_channel_kernel(want.data(), 8000, c.fmt.bits, c.fmt.blockAlign(), r,
                                   path.data(), 5, nullptr);
        ASSERT_EQ(data_of(doc), want);
        EXPECT_NE(want, data);
        UndoBlock undo = undo_of(doc);
        EXPECT_STREQ(undo.description, "CurveSound Fade Channels");
        EXPECT_EQ(RestoreUndoInformation(doc), 1);
        EXPECT_EQ(data_of(doc), data) << "undo gives back every byte, the aligned frames too";
        EXPECT_EQ(info_of(doc).saved, 0u);
        EXPECT_EQ(RegGetString(kChannelCount, ""), std::string("5"));
    }
}

TEST_F(CurveSound, ChannelPathOnAShortMarkTakesTheWholeFileAndOnMonoMovesNothing) {
    Bytes data = pattern(4000, 8);
    HWND stereo = make_document(f, Format{2, 8000, 16}, data);
    f.active = stereo;
    set_mark(stereo, 400, 300);
    auto rise = [](Mouse& m) -> INT_PTR {
        m.drag({298, 100}, {{299, 0}});
        return IDOK;
    };
    run(kChannels, rise);
    Path path = reset_path(5);
    path.back().y = 0;
    Bytes want = data;
    kern::curve_channel_kernel(want.data(), 4000, 16, 4, kern::ByteRange{0, 4000}, path.data(), 5,
                               nullptr);
    EXPECT_EQ(data_of(stereo), want);

    HWND mono = make_document(f, Format{1, 8000, 16}, data);
    f.active = mono;
    run(kChannels, rise);
    EXPECT_EQ(data_of(mono), data) << "mono data has no channels to move between";
    EXPECT_EQ(undo_of(mono).kind, UNDO_CHANGED);
    EXPECT_EQ(info_of(mono).saved, 0u);
}

// --- The progress window

TEST_F(CurveSound, ProgressWindowShowsTheRangeAndPositionItIsSent) {
    HWND w = ShowPercentage(f.frame);
    ASSERT_NE(w, nullptr);
    HWND bar = GetDlgItem(w, 101);
    PBRANGE r{};
    SendMessage(bar, PBM_GETRANGE, TRUE, LPARAM(&r));
    EXPECT_EQ(r.iLow, 0);
    EXPECT_EQ(r.iHigh, 100);
    SendMessage(w, UM_PROGRESSRANGE, 0, 7);
    SendMessage(w, UM_PROGRESSPOS, 5, 0);
    SendMessage(bar, PBM_GETRANGE, TRUE, LPARAM(&r));
    EXPECT_EQ(r.iHigh, 7);
    EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), 5);
    char caption[32];
    GetWindowText(w, caption, sizeof caption);
    EXPECT_STREQ(caption, "Working...");
    // A second window takes the messages over; the first keeps its bar as it was.
    HWND second = ShowPercentage(f.frame);
    SendMessage(w, UM_PROGRESSPOS, 2, 0);
    EXPECT_EQ(SendMessage(GetDlgItem(second, 101), PBM_GETPOS, 0, 0), 2);
    EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), 5);
    SendMessage(second, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindow(second)) << "Cancel destroys it";
    SendMessage(w, UM_PROGRESSPOS, 3, 0);  // the slot is empty: nothing happens
    SendMessage(w, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsWindow(w));
}

}  // namespace
