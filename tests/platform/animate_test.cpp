// The animation control over a clip registered as a bitmap strip: opening,
// playing once and without end, stopping on the first frame, seeking, the
// parent's notifications, and the transparent background the parent paints.
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <vector>

#include "test_support.h"

namespace {

constexpr int kFrames = 4, kSize = 10;
constexpr DWORD kBackground = 0x808080;  // the clip's background (0x00RRGGBB)
// Frame f is a grey square with a centre block of its colour.
const DWORD kFrameColour[kFrames] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
const COLORREF kShown[kFrames] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
// A period long enough that no real timer fires while a test looks.
const ANIMATECLIP kClip{"ANIMSTRIP", kFrames, 60000};
const ANIMATECLIP kNoStrip{"NOSUCHSTRIP", 3, 100};
const COLORREF kParentBrush = RGB(0, 0, 0);

std::vector<int> g_notes;
HBRUSH g_brush = nullptr;

LRESULT CALLBACK parent_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND) {
        g_notes.push_back(HIWORD(wp));
        return 0;
    }
    if (msg == WM_CTLCOLORSTATIC) return reinterpret_cast<LRESULT>(g_brush);
    return DefWindowProc(hwnd, msg, wp, lp);
}

class AnimateTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_notes.clear();
        g_brush = CreateSolidBrush(kParentBrush);
        HINSTANCE inst = GetModuleHandle(nullptr);
        std::vector<DWORD> px(size_t(kFrames) * kSize * kSize, kBackground);
        for (int f = 0; f < kFrames; ++f)
            for (int y = 3; y < 7; ++y)
                for (int x = 3; x < 7; ++x)
                    px[size_t(y) * kFrames * kSize + f * kSize + x] = kFrameColour[f];
        PlatformAddBitmap(inst, "ANIMSTRIP", kFrames * kSize, kSize, px.data());
        PlatformAddData(inst, RT_ANIMATECLIP, "TESTSPIN", &kClip, sizeof kClip);
        PlatformAddData(inst, RT_ANIMATECLIP, MAKEINTRESOURCE(301), &kClip, sizeof kClip);
        PlatformAddData(inst, RT_ANIMATECLIP, "BROKENCLIP", &kNoStrip, sizeof kNoStrip);
        parent = testing_support::make_parent_window("AnimateParent", parent_proc, 200, 100);
        anim = make(ACS_TRANSPARENT);
        ASSERT_NE(anim, nullptr);
    }
    void TearDown() override {
        DestroyWindow(parent);
        DeleteObject(g_brush);
    }
    HWND make(DWORD style) {
        return CreateWindowEx(0, ANIMATE_CLASS, nullptr, WS_CHILD | WS_VISIBLE | style, 5, 5, 40,
                              40, parent, reinterpret_cast<HMENU>(intptr_t(8761)), nullptr,
                              nullptr);
    }
    COLORREF centre(HWND h) {
        UpdateWindow(h);
        return PlatformWindowPixel(h, 5, 5);
    }
    HWND parent = nullptr, anim = nullptr;
};

TEST_F(AnimateTest, OpeningShowsTheFirstFrameAtTheClipsSize) {
    EXPECT_EQ(PlatformAnimateFrame(anim), -1);
    ASSERT_TRUE(Animate_Open(anim, "TESTSPIN"));
    EXPECT_EQ(PlatformAnimateFrame(anim), 0);
    RECT rc{};
    GetClientRect(anim, &rc);
    EXPECT_EQ(rc.right, kSize);
    EXPECT_EQ(rc.bottom, kSize);
    EXPECT_EQ(centre(anim), kShown[0]);
    EXPECT_FALSE(Animate_IsPlaying(anim));
    EXPECT_TRUE(Animate_OpenEx(anim, GetModuleHandle(nullptr), MAKEINTRESOURCE(301)))
        << "a clip by number";
}

TEST_F(AnimateTest, PlayingOnceRunsThroughTheFramesAndRestsOnTheLast) {
    ASSERT_TRUE(Animate_Open(anim, "TESTSPIN"));
    ASSERT_TRUE(Animate_Play(anim, 0, -1, 1));
    EXPECT_TRUE(Animate_IsPlaying(anim));
    ASSERT_EQ(g_notes, std::vector<int>{ACN_START});
    std::vector<int> seen{PlatformAnimateFrame(anim)};
    for (int i = 0; i < kFrames; ++i) {
        PlatformAnimateTick(anim, 1);
        seen.push_back(PlatformAnimateFrame(anim));
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 3}));
    EXPECT_FALSE(Animate_IsPlaying(anim));
    EXPECT_EQ(g_notes, (std::vector<int>{ACN_START, ACN_STOP}));
    EXPECT_EQ(centre(anim), kShown[3]);
    EXPECT_FALSE(PlatformAnimateTick(anim, 1)) << "nothing plays any more";
}

struct PlayCase {
    const char* name;
    int from, to, repeat, ticks;
    int frame;     // shown after the ticks
    bool playing;  // still playing then
};

class Plays : public AnimateTest, public ::testing::WithParamInterface<PlayCase> {};

TEST_P(Plays, FramesFollowTheRangeAndTheRepeatCount) {
    const PlayCase& c = GetParam();
    ASSERT_TRUE(Animate_Open(anim, "TESTSPIN"));
    ASSERT_TRUE(Animate_Play(anim, c.from, c.to, c.repeat));
    for (int i = 0; i < c.ticks; ++i) PlatformAnimateTick(anim, 1);
    EXPECT_EQ(PlatformAnimateFrame(anim), c.frame);
    EXPECT_EQ(bool(Animate_IsPlaying(anim)), c.playing);
}

INSTANTIATE_TEST_SUITE_P(Ranges, Plays,
                         ::testing::Values(PlayCase{"endless_wraps", 0, -1, -1, 9, 1, true},
                                           PlayCase{"endless_after_many", 0, -1, -1, 400, 0, true},
                                           PlayCase{"twice_then_rests", 0, 3, 2, 8, 3, false},
                                           PlayCase{"twice_still_going", 0, 3, 2, 6, 2, true},
                                           PlayCase{"part_of_the_clip", 1, 2, -1, 3, 2, true},
                                           PlayCase{"zero_counts_as_once", 2, 3, 0, 2, 3, false},
                                           PlayCase{"seek", 2, 2, 1, 0, 2, false}),
                         [](const ::testing::TestParamInfo<PlayCase>& i) {
                             return std::string(i.param.name);
                         });

TEST_F(AnimateTest, StoppingShowsTheFirstFrameAndPlayingAgainStartsOver) {
    ASSERT_TRUE(Animate_Open(anim, "TESTSPIN"));
    ASSERT_TRUE(Animate_Play(anim, 0, -1, -1));
    PlatformAnimateTick(anim, 2);
    EXPECT_EQ(centre(anim), kShown[2]);
    ASSERT_TRUE(Animate_Stop(anim));
    EXPECT_FALSE(Animate_IsPlaying(anim));
    EXPECT_EQ(PlatformAnimateFrame(anim), 0);
    EXPECT_EQ(centre(anim), kShown[0]);
    EXPECT_EQ(g_notes, (std::vector<int>{ACN_START, ACN_STOP}));
    ASSERT_TRUE(Animate_Play(anim, 0, -1, -1));
    EXPECT_EQ(PlatformAnimateFrame(anim), 0);
    PlatformAnimateTick(anim, 1);
    EXPECT_EQ(PlatformAnimateFrame(anim), 1);
}

TEST_F(AnimateTest, BadRangesAndMissingClipsAreRefused) {
    EXPECT_FALSE(Animate_Play(anim, 0, -1, 1)) << "no clip open";
    EXPECT_FALSE(Animate_Open(anim, "NOSUCHCLIP"));
    EXPECT_FALSE(Animate_Open(anim, "BROKENCLIP")) << "its strip is missing";
    ASSERT_TRUE(Animate_Open(anim, "TESTSPIN"));
    EXPECT_FALSE(Animate_Play(anim, 3, 1, 1));
    EXPECT_FALSE(Animate_Play(anim, 0, kFrames, 1));
    EXPECT_EQ(PlatformAnimateFrame(anim), 0);
    EXPECT_TRUE(Animate_Close(anim));
    EXPECT_EQ(PlatformAnimateFrame(anim), -1);
    EXPECT_EQ(centre(anim), kParentBrush) << "a closed control shows only its background";
}

TEST_F(AnimateTest, TheClipsBackgroundShowsWhatTheParentPaintsWhenTransparent) {
    ASSERT_TRUE(Animate_Open(anim, "TESTSPIN"));
    UpdateWindow(anim);
    EXPECT_EQ(PlatformWindowPixel(anim, 0, 0), kParentBrush);
    EXPECT_EQ(PlatformWindowPixel(anim, 4, 4), kShown[0]);

    HWND opaque = make(ACS_CENTER);
    ASSERT_TRUE(Animate_Open(opaque, "TESTSPIN"));
    RECT rc{};
    GetClientRect(opaque, &rc);
    EXPECT_EQ(rc.right, 40) << "a centred clip keeps the control's size";
    UpdateWindow(opaque);
    EXPECT_EQ(PlatformWindowPixel(opaque, 15, 15), RGB(128, 128, 128)) << "the clip's own grey";
    EXPECT_EQ(PlatformWindowPixel(opaque, 20, 20), kShown[0]);
    EXPECT_EQ(PlatformWindowPixel(opaque, 2, 2), GetSysColor(COLOR_BTNFACE));
}

TEST_F(AnimateTest, AutoplayStartsWithoutEndWhenOpened) {
    HWND autoplay = make(ACS_AUTOPLAY);
    ASSERT_TRUE(Animate_Open(autoplay, "TESTSPIN"));
    EXPECT_TRUE(Animate_IsPlaying(autoplay));
    PlatformAnimateTick(autoplay, kFrames * 3 + 1);
    EXPECT_EQ(PlatformAnimateFrame(autoplay), 1);
}

}  // namespace
