// The document window's picture, read from its backing image and checked
// against positions computed from PixelCalculate.
#include <gtest/gtest.h>
#include <kit/rvg32.h>
#include <platform/testing.h>
#include <sonrel/effects.h>

#include <algorithm>
#include <map>

#include "waveview.h"
#include "waveview_fixture.h"

using namespace wvtest;

namespace {

const uint32_t kBlue = 0x000060;  // 0x00RRGGBB of the left / mono colour
const uint32_t kRed = 0x550000;
const uint32_t kBlack = 0x000000;

struct Picture {
    std::vector<uint32_t> px;
    int w = 0, h = 0;
    uint32_t at(int x, int y) const { return px[size_t(y) * w + x]; }
};

Picture picture(HWND doc) {
    Picture p;
    p.px = pixels(doc, &p.w, &p.h);
    return p;
}

int value8(const Bytes& d, long long i) {
    return d[size_t(i)];
}
int value16(const Bytes& d, long long i) {
    return static_cast<int16_t>(d[size_t(2 * i)] | (d[size_t(2 * i + 1)] << 8));
}

// The points of the line drawing as the view describes them: one every
// 0.2 pixels, index view start + trunc(x * spp), made even or odd for the
// stereo bands.
struct Point {
    int x, y;
};
std::vector<Point> line_points(const Bytes& d, int bits, long long n, long long vs, long long spp,
                               int cols, int parity, int centre, int height) {
    std::vector<Point> out;
    for (float x = 0.0f; x < float(cols); x += 0.2f) {
        long long idx = vs + static_cast<long long>(double(x) * spp);
        if (parity == 0 && (idx & 1)) ++idx;
        if (parity == 1 && !(idx & 1)) ++idx;
        if (idx >= n) break;
        int v = bits == 16 ? value16(d, idx) : value8(d, idx);
        out.push_back(Point{int(x) + 3, centre - PixelCalculate(v, bits, height)});
    }
    return out;
}

// Every point but the last is a pixel of the line, and every pixel of the
// colour in a column lies between the points of that column and its neighbours.
void expect_line(const Picture& p, Point start, const std::vector<Point>& pts, uint32_t colour,
                 int top, int bottom) {
    ASSERT_GE(pts.size(), 2u);
    for (size_t i = 0; i + 1 < pts.size(); ++i)
        EXPECT_EQ(p.at(pts[i].x, pts[i].y), colour) << "point " << i << " at " << pts[i].x;
    std::map<int, std::pair<int, int>> span;
    for (const Point& q : pts)
        for (int dx = -1; dx <= 1; ++dx) {
            auto [it, fresh] = span.try_emplace(q.x + dx, q.y, q.y);
            it->second.first = std::min(it->second.first, q.y);
            it->second.second = std::max(it->second.second, q.y);
        }
    // The first segment runs from the start point to the first sampled point.
    for (int x = std::min(start.x, pts[0].x); x <= std::max(start.x, pts[0].x); ++x) {
        auto& s = span.try_emplace(x, start.y, start.y).first->second;
        s.first = std::min({s.first, start.y, pts[0].y});
        s.second = std::max({s.second, start.y, pts[0].y});
    }
    for (int x = 3; x < p.w - 3; ++x)
        for (int y = top; y < bottom; ++y) {
            if (p.at(x, y) != colour) continue;
            auto it = span.find(x);
            ASSERT_NE(it, span.end()) << "stray pixel at column " << x;
            EXPECT_GE(y, it->second.first) << "column " << x;
            EXPECT_LE(y, it->second.second) << "column " << x;
        }
}

int count_colour(const Picture& p, uint32_t colour) {
    return int(std::count(p.px.begin(), p.px.end(), colour));
}

class WaveViewPaint : public ::testing::Test {
protected:
    ViewFrame f;
    void SetUp() override { RegWriteString("Sonrel\\Settings\\Boolean\\DirectDisplay", "0"); }
};

}  // namespace

TEST_F(WaveViewPaint, MonoAtZoomOneSetsOnePixelPerSampleValue) {
    const int W = 160, H = 100;
    Bytes d = wave8(300, 40);
    HWND doc = make_view(f, Format{1, 8}, d, W, H, 1, 20);
    paint(doc);
    Picture p = picture(doc);
    const uint32_t face = rgb(GetSysColor(COLOR_BTNFACE));
    for (int i = 0; i < W - 6; ++i) {
        int y = H / 2 - PixelCalculate(value8(d, 20 + i), 8, H - 5);
        EXPECT_EQ(p.at(i + 3, y), kBlue) << "column " << i;
        // Nothing else in the column but the zero line and the background.
        for (int r = 20; r < H - 4; ++r) {
            if (r == y) continue;
            uint32_t want = r == H / 2 ? rgb(GetSysColor(COLOR_BTNSHADOW)) : face;
            ASSERT_EQ(p.at(i + 3, r), want) << "column " << i << " row " << r;
        }
    }
    EXPECT_EQ(position_of(doc).viewEnd, 20 + W - 7);
}

TEST_F(WaveViewPaint, MonoAtZoomOneStopsWhereTheDataEnds) {
    const int W = 160, H = 100;
    Bytes d = wave8(100, 40);
    HWND doc = make_view(f, Format{1, 8}, d, W, H, 1, 40);
    paint(doc);
    Picture p = picture(doc);
    for (int x = 3 + 60; x < W - 3; ++x)
        for (int y = 3; y < H - 3; ++y) ASSERT_NE(p.at(x, y), kBlue) << x << "," << y;
    EXPECT_EQ(p.at(3 + 59, H / 2 - PixelCalculate(d[99], 8, H - 5)), kBlue);
    EXPECT_EQ(position_of(doc).viewEnd, 100) << "the data ended inside the view";
}

TEST_F(WaveViewPaint, StereoAtZoomOneShowsOneFramePerColumnInTwoBands) {
    const int W = 140, H = 120;
    Bytes d = wave16(400, 30);
    // The left band starts at view start rounded up to even, the right one at
    // the next odd index.
    for (LONG vs : {7, 6}) {
        HWND doc = make_view(f, Format{2, 16}, d, W, H, 1, vs);
        paint(doc);
        Picture p = picture(doc);
        const long long left = (vs + 1) / 2 * 2, right = vs % 2 ? vs : vs + 1;
        for (int i = 0; i < W - 6; ++i) {
            int yl = H / 4 - PixelCalculate(value16(d, left + 2 * i), 16, (H - 4) / 2);
            int yr = 3 * H / 4 - PixelCalculate(value16(d, right + 2 * i), 16, (H - 4) / 2);
            EXPECT_EQ(p.at(i + 3, yl), kBlue) << "left column " << i << " from " << vs;
            EXPECT_EQ(p.at(i + 3, yr), kRed) << "right column " << i << " from " << vs;
        }
        // The left colour stays in the upper band and the right one in the lower.
        for (int y = H / 2; y < H; ++y)
            for (int x = 0; x < W; ++x) ASSERT_NE(p.at(x, y), kBlue) << x << "," << y;
        for (int y = 0; y < H / 2; ++y)
            for (int x = 0; x < W; ++x) ASSERT_NE(p.at(x, y), kRed) << x << "," << y;
    }
}

TEST_F(WaveViewPaint, MonoAtOtherZoomDrawsLinesThroughSampledPoints) {
    const int W = 200, H = 100;
    Bytes d = wave8(4000, 40, 3);
    HWND doc = make_view(f, Format{1, 8}, d, W, H, 7, 50);
    paint(doc);
    Picture p = picture(doc);
    auto pts = line_points(d, 8, 4000, 50, 7, W - 6, -1, H / 2, H - 5);
    expect_line(p, Point{3, H / 2}, pts, kBlue, 20, H - 4);
}

TEST_F(WaveViewPaint, StereoAtOtherZoomDrawsEvenAndOddIndicesInTheirBands) {
    const int W = 200, H = 140;
    Bytes d = wave16(6000, 20, 5);
    HWND doc = make_view(f, Format{2, 16}, d, W, H, 9, 31);
    paint(doc);
    Picture p = picture(doc);
    auto left = line_points(d, 16, 6000, 31, 9, W - 6, 0, H / 4, H / 2 - 5);
    auto right = line_points(d, 16, 6000, 31, 9, W - 6, 1, 3 * H / 4, H / 2 - 5);
    expect_line(p, Point{6, H / 4}, left, kBlue, 20, H / 2);
    expect_line(p, Point{6, 3 * H / 4}, right, kRed, H / 2 + 16, H - 4);
}

TEST_F(WaveViewPaint, WholeFileFitsAllValuesIntoTheWidth) {
    const int W = 206, H = 100;
    Bytes d = wave8(200 * 50 + 17, 40, 9);
    HWND doc = make_view(f, Format{1, 8}, d, W, H, 0, 0);
    paint(doc);
    Picture p = picture(doc);
    auto pts =
        line_points(d, 8, long(d.size()), 0, long(d.size()) / (W - 6), W - 6, -1, H / 2, H - 5);
    expect_line(p, Point{3, H / 2}, pts, kBlue, 20, H - 4);
    EXPECT_GE(pts.back().x, W - 4) << "the drawing reaches the right edge";
}

TEST_F(WaveViewPaint, MarkIsInvertedAndMarkStartHasABlackLineAtZoomOne) {
    const int W = 160, H = 100;
    Bytes d = wave8(400, 40);
    HWND doc = make_view(f, Format{1, 8}, d, W, H, 1, 10);
    paint(doc);
    Picture plain = picture(doc);
    set_mark(doc, 30, 50);
    paint(doc);
    Picture marked = picture(doc);
    const int x1 = 30 - 10 + 3, x2 = 80 - 10 + 3;
    for (int y = 3; y < H - 3; ++y)
        for (int x = 3; x < W - 3; ++x) {
            uint32_t want = plain.at(x, y);
            if (x == x1)
                want = kBlack;
            else if (x > x1 && x < x2)
                want = ~want & 0xFFFFFF;
            ASSERT_EQ(marked.at(x, y), want) << x << "," << y;
        }
}

TEST_F(WaveViewPaint, StereoMarkAtZoomOneIsInvertedInEachBandApart) {
    const int W = 120, H = 100;
    Bytes d = wave8(600, 20);
    HWND doc = make_view(f, Format{2, 8}, d, W, H, 1, 0);
    paint(doc);
    Picture plain = picture(doc);
    set_mark(doc, 20, 30);
    paint(doc);
    Picture marked = picture(doc);
    const int x1 = 23, x2 = 53;
    for (int y = 3; y < H - 3; ++y)
        for (int x = 3; x < W - 3; ++x) {
            bool inRows = (y >= 4 && y < H / 2 - 2) || (y >= H / 2 + 2 && y < H - 4);
            uint32_t want = plain.at(x, y);
            if (x == x1)
                want = kBlack;
            else if (x > x1 && x < x2 && inRows)
                want = ~want & 0xFFFFFF;
            ASSERT_EQ(marked.at(x, y), want) << x << "," << y;
        }
}

TEST_F(WaveViewPaint, MarkAtOtherZoomCoversItsColumns) {
    const int W = 200, H = 100;
    Bytes d = wave16(5000, 40);
    HWND doc = make_view(f, Format{1, 16}, d, W, H, 10, 100);
    paint(doc);
    Picture plain = picture(doc);
    // Bytes 1000 .. 2000 are values 500 .. 1000: columns 40 .. 90.
    set_mark(doc, 1000, 1000);
    paint(doc);
    Picture marked = picture(doc);
    const int x1 = (500 - 100) / 10 + 3, x2 = (1000 - 100) / 10 + 3;
    for (int y = 3; y < H - 3; ++y)
        for (int x = 3; x < W - 3; ++x) {
            uint32_t want = plain.at(x, y);
            if (x == x1)
                want = kBlack;
            else if (x > x1 && x < x2 && y >= 4 && y < H - 4)
                want = ~want & 0xFFFFFF;
            ASSERT_EQ(marked.at(x, y), want) << x << "," << y;
        }
}

TEST_F(WaveViewPaint, MarkOutsideTheViewChangesNothing) {
    const int W = 160, H = 100;
    HWND doc = make_view(f, Format{1, 8}, wave8(2000, 40), W, H, 1, 500);
    paint(doc);
    Picture plain = picture(doc);
    set_mark(doc, 100, 300);
    paint(doc);
    EXPECT_EQ(picture(doc).px, plain.px);
}

TEST_F(WaveViewPaint, EmptyAndLoadingDocumentsShowOnlyTheSunkenFrame) {
    const int W = 120, H = 80;
    HWND empty = make_view(f, Format{1, 8}, {}, W, H, 1);
    HWND loading = make_view(f, Format{1, 8}, wave8(500, 40), W, H, 1);
    set_working(loading, 1);
    const uint32_t face = rgb(GetSysColor(COLOR_BTNFACE));
    const uint32_t shadow = rgb(GetSysColor(COLOR_BTNSHADOW));
    for (HWND doc : {empty, loading}) {
        paint(doc);
        Picture p = picture(doc);
        EXPECT_EQ(p.at(10, 2), shadow) << "top edge of the sunken frame";
        EXPECT_EQ(p.at(2, 10), shadow) << "left edge of the sunken frame";
        for (int y = 3; y < H - 3; ++y)
            for (int x = 3; x < W - 3; ++x) ASSERT_EQ(p.at(x, y), face) << x << "," << y;
    }
}

TEST_F(WaveViewPaint, LabelsNameTheChannels) {
    HWND mono = make_view(f, Format{1, 8}, Bytes(400, 128), 160, 100, 1);
    HWND stereo = make_view(f, Format{2, 8}, Bytes(400, 128), 160, 100, 1);
    paint(mono);
    paint(stereo);
    Picture m = picture(mono), s = picture(stereo);
    auto text_in = [](const Picture& p, int top, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 4; x < 100; ++x) n += p.at(x, y) == kBlack;
        return n;
    };
    EXPECT_GT(text_in(m, 4, 20), 20) << "\"Mono channel\" at (4, 4)";
    EXPECT_GT(text_in(s, 51, 67), 20) << "\"Right channel\" at (4, H / 2 + 1)";
    EXPECT_EQ(text_in(m, 51, 67), 0);
}

TEST_F(WaveViewPaint, DirectDisplayDrawsTheSamePicture) {
    Bytes d = wave8(3000, 40, 2);
    HWND doc = make_view(f, Format{1, 8}, d, 180, 90, 4, 10);
    set_mark(doc, 100, 200);
    paint(doc);
    Picture buffered = picture(doc);
    RegWriteString("Sonrel\\Settings\\Boolean\\DirectDisplay", "1");
    paint(doc);
    Picture direct = picture(doc);
    RegWriteString("Sonrel\\Settings\\Boolean\\DirectDisplay", "0");
    EXPECT_EQ(direct.px, buffered.px);
    EXPECT_GT(count_colour(direct, kBlue), 100);
}

// The kept off-screen picture follows the client size: after growing and
// after shrinking, the buffered paint equals the direct one at the new size.
TEST_F(WaveViewPaint, KeptBufferFollowsTheWindowSize) {
    Bytes d = wave16(8000, 3000, 4);
    HWND doc = make_view(f, Format{2, 16}, d, 120, 80, 3, 40);
    set_mark(doc, 400, 300);
    // A document is laid out anew only while its frame is on screen.
    ShowWindow(f.frame, SW_SHOW);
    paint(doc);
    auto resize = [doc](int w, int h) {
        RECT rc{}, wr{};
        GetClientRect(doc, &rc);
        GetWindowRect(doc, &wr);
        MoveWindow(doc, 0, 0, (wr.right - wr.left) + w - rc.right,
                   (wr.bottom - wr.top) + h - rc.bottom, TRUE);
        // The client area follows the frame once the window system has laid it out.
        PlatformProcessEvents();
    };
    for (auto [w, h] : {std::pair{260, 150}, std::pair{90, 60}}) {
        resize(w, h);
        paint(doc);
        Picture buffered = picture(doc);
        ASSERT_EQ(buffered.w, w);
        ASSERT_EQ(buffered.h, h);
        RegWriteString("Sonrel\\Settings\\Boolean\\DirectDisplay", "1");
        paint(doc);
        Picture direct = picture(doc);
        RegWriteString("Sonrel\\Settings\\Boolean\\DirectDisplay", "0");
        int differ = 0;
        for (size_t i = 0; i < direct.px.size(); ++i) differ += buffered.px[i] != direct.px[i];
        EXPECT_EQ(differ, 0) << "pixels differing at " << w << " x " << h;
        EXPECT_GT(count_colour(direct, kRed), 20) << "at " << w << " x " << h;
    }
}
