// Painting of the document window: the sunken frame, one band (mono) or two
// (stereo) with their zero lines and labels, the waveform, the inverted mark
// and the mark-start line.
//
// Every drawn point is one sample value taken at its position (point
// sampling), so a paint touches at most (width - 6) / line step values per
// channel, whatever the file's length. With the peak display on, each column
// shows the smallest and largest value of each channel over the frames it
// covers instead, read from the document's peak summary (wavkit), so the
// paint stays as short for an hour of sound as for a minute.
#include <kit/rvg32.h>
#include <sonrel/effects.h>
#include <sonrel/settings.h>
#include <sonrel/wavkit.h>

#include <algorithm>
#include <vector>

#include "waveview.h"

using namespace waveview;

namespace {

// The solid one-pixel pens of one paint, made once per colour and deleted
// when the paint ends (also when it ends by a fault).
struct Pens {
    static constexpr int kMax = 8;
    COLORREF colour[kMax] = {};
    HPEN pen[kMax] = {};
    int n = 0;
    Pens() = default;
    Pens(const Pens&) = delete;
    Pens& operator=(const Pens&) = delete;
    ~Pens() {
        for (int i = 0; i < n; ++i) DeleteObject(pen[i]);
    }
};

// What the drawing of one document needs, read once under the guard.
struct Scene {
    HDC dc;
    int w, h, cols;  // client size; waveform columns (w - 6)
    const uint8_t* wave;
    int bits;
    long long n;   // sample values in the data
    long long vs;  // view start
    long long spp;
    bool stereo;
    Pens* pens;
};

struct Reach {
    long long last;  // last index drawn, or n when the data ended inside the view
};

HPEN pen_for(Pens* pens, COLORREF colour) {
    for (int i = 0; i < pens->n; ++i)
        if (pens->colour[i] == colour) return pens->pen[i];
    // The pens are never left selected, so a full table gives up its last one.
    if (pens->n == Pens::kMax) DeleteObject(pens->pen[--pens->n]);
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    pens->colour[pens->n] = colour;
    pens->pen[pens->n++] = pen;
    return pen;
}

void line(HDC dc, Pens* pens, int x1, int y1, int x2, int y2, COLORREF colour) {
    HGDIOBJ old = SelectObject(dc, pen_for(pens, colour));
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, old);
}

void background(HDC dc, int w, int h) {
    RECT rc{0, 0, w, h};
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    Down3Drectangle(dc, 2, 2, w - 2, h - 2);
}

// Zero lines, the stereo divider and the labels of the bands.
void bands(const Scene& s) {
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    if (!s.stereo) {
        line(s.dc, s.pens, 3, s.h / 2, s.w - 3, s.h / 2, shadow);
        return;
    }
    Down3Drectangle(s.dc, 3, s.h / 2 - 1, s.w - 3, s.h / 2 + 1);
    line(s.dc, s.pens, 3, s.h / 4, s.w - 3, s.h / 4, shadow);
    line(s.dc, s.pens, 3, 3 * s.h / 4, s.w - 3, 3 * s.h / 4, shadow);
}

void labels(const Scene& s) {
    if (!s.stereo) {
        Text(s.dc, 4, 4, "Mono channel");
        return;
    }
    Text(s.dc, 4, 4, "Left channel");
    Text(s.dc, 4, s.h / 2 + 1, "Right channel");
}

// One pixel per column from index base in steps of `step` sample values.
Reach dots(const Scene& s, long long base, long long step, int centre, int height,
           COLORREF colour) {
    Reach r{s.vs};
    for (int i = 0; i < s.cols; ++i) {
        long long idx = base + step * i;
        if (idx >= s.n) return Reach{s.n};
        int y = PixelCalculate(sample_at(s.wave, s.bits, idx), s.bits, height);
        SetPixel(s.dc, i + 3, centre - y, colour);
        r.last = idx;
    }
    return r;
}

// A polyline through one point every line step pixels. parity: -1 any index,
// 0 even indices (rounded up), 1 odd indices.
Reach lines(const Scene& s, POINT start, int parity, int centre, int height, COLORREF colour) {
    // A quality setting of 0 would never advance.
    const float step = std::max(g_waveView.lineStep, 0.01f);
    std::vector<POINT> pts;
    pts.reserve(static_cast<size_t>(s.cols / step) + 2);
    pts.push_back(start);
    Reach r{s.vs};
    bool ended = false;
    for (float x = 0.0f; x < static_cast<float>(s.cols); x += step) {
        long long idx = s.vs + static_cast<long long>(static_cast<double>(x) * s.spp);
        if (parity == 0 && (idx & 1)) ++idx;
        if (parity == 1 && !(idx & 1)) ++idx;
        if (idx >= s.n) {
            ended = true;
            break;
        }
        int y = PixelCalculate(sample_at(s.wave, s.bits, idx), s.bits, height);
        pts.push_back(POINT{static_cast<int>(x) + 3, centre - y});
        r.last = idx;
    }
    if (pts.size() >= 2) {
        HGDIOBJ old = SelectObject(s.dc, pen_for(s.pens, colour));
        Polyline(s.dc, pts.data(), static_cast<int>(pts.size()));
        SelectObject(s.dc, old);
    }
    if (ended) r.last = s.n;
    return r;
}

void invert(HDC dc, int x1, int x2, int top, int bottom) {
    if (x2 > x1 && bottom > top) PatBlt(dc, x1, top, x2 - x1, bottom - top, DSTINVERT);
}

// The mark (sample values ms .. ms + ml) and the mark-start line; px maps an
// index at or after view start to its column.
void mark(const Scene& s, long long ms, long long ml, long long ve, bool split) {
    auto px = [&](long long idx) { return static_cast<int>((idx - s.vs) / s.spp + 3); };
    long long left = std::max(ms, s.vs);
    long long right = std::min(ms + ml, ve);
    if (ml != 0 && right != 0 && right >= s.vs && ve >= ms) {
        if (split) {
            invert(s.dc, px(left), px(right), 4, s.h / 2 - 2);
            invert(s.dc, px(left), px(right), s.h / 2 + 2, s.h - 4);
        } else {
            invert(s.dc, px(left), px(right), s.spp == 1 ? 3 : 4, s.h - (s.spp == 1 ? 3 : 4));
        }
    }
    if (s.vs <= ms && ms < ve) line(s.dc, s.pens, px(ms), 3, px(ms), s.h - 3, 0x000000);
}

// A vertical line per column from the largest to the smallest value of each
// channel; -1 when the document gives no peaks (the caller then draws as
// without the peak display).
long long draw_peaks(const Scene& s, HWND doc) {
    static std::vector<ValueRange> ranges;  // the user-interface thread's, kept between paints
    ranges.resize(static_cast<size_t>(s.cols) * 2);
    int filled = ColumnPeaks(doc, s.vs, s.spp, s.cols, ranges.data());
    if (filled < 0) return -1;
    const int bands = s.stereo ? 2 : 1;
    for (int c = 0; c < bands; ++c) {
        const int centre = s.stereo ? (2 * c + 1) * s.h / 4 : s.h / 2;
        const int height = s.stereo ? s.h / 2 - 5 : s.h - 5;
        HGDIOBJ old = SelectObject(s.dc, pen_for(s.pens, c ? WAVE_RIGHT_COLOUR : WAVE_LEFT_COLOUR));
        for (int i = 0; i < filled; ++i) {
            const ValueRange& r = ranges[2 * static_cast<size_t>(i) + c];
            if (r.min > r.max) continue;
            int top = centre - PixelCalculate(r.max, s.bits, height);
            int bottom = centre - PixelCalculate(r.min, s.bits, height);
            MoveToEx(s.dc, i + 3, top, nullptr);
            LineTo(s.dc, i + 3, bottom + 1);  // the line leaves out its last pixel
        }
        SelectObject(s.dc, old);
    }
    if (filled < s.cols || s.vs + s.cols * s.spp >= s.n) return s.n;
    return s.vs + static_cast<long long>(s.cols - 1) * s.spp;
}

long long draw_zoom_one(const Scene& s) {
    if (!s.stereo) return dots(s, s.vs, 1, s.h / 2, s.h - 5, WAVE_LEFT_COLOUR).last;
    long long leftBase = (s.vs + 1) & ~1LL;
    long long rightBase = s.vs | 1LL;
    dots(s, leftBase, 2, s.h / 4, (s.h - 4) / 2, WAVE_LEFT_COLOUR);
    return dots(s, rightBase, 2, 3 * s.h / 4, (s.h - 4) / 2, WAVE_RIGHT_COLOUR).last;
}

long long draw_zoomed(const Scene& s) {
    if (!s.stereo) return lines(s, POINT{3, s.h / 2}, -1, s.h / 2, s.h - 5, WAVE_LEFT_COLOUR).last;
    lines(s, POINT{6, s.h / 4}, 0, s.h / 4, s.h / 2 - 5, WAVE_LEFT_COLOUR);
    return lines(s, POINT{6, 3 * s.h / 4}, 1, 3 * s.h / 4, s.h / 2 - 5, WAVE_RIGHT_COLOUR).last;
}

// The off-screen picture of one window, kept from paint to paint so that a
// paint allocates nothing; re-made when the client size changes.
struct BackBuffer {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ original;  // the context's own bitmap, selected back before deletion
    int w, h;
};

constexpr char kBackBufferProp[] = "WaveViewBackBuffer";

// A memory context of w x h pixels for the window; its content is left from
// the last paint.
HDC back_buffer(HWND doc, HDC like, int w, int h) {
    auto* b = static_cast<BackBuffer*>(GetProp(doc, kBackBufferProp));
    if (b && b->w == w && b->h == h) return b->dc;
    if (!b) {
        b = new BackBuffer{CreateCompatibleDC(like), nullptr, nullptr, 0, 0};
        SetProp(doc, kBackBufferProp, b);
    }
    HBITMAP bitmap = CreateCompatibleBitmap(like, w, h);
    HGDIOBJ previous = SelectObject(b->dc, bitmap);
    if (b->bitmap)
        DeleteObject(b->bitmap);
    else
        b->original = previous;
    b->bitmap = bitmap;
    b->w = w;
    b->h = h;
    return b->dc;
}

}  // namespace

namespace waveview {

void free_back_buffer(HWND doc) {
    auto* b = static_cast<BackBuffer*>(RemoveProp(doc, kBackBufferProp));
    if (!b) return;
    SelectObject(b->dc, b->original);
    DeleteObject(b->bitmap);
    DeleteDC(b->dc);
    delete b;
}

void draw_view(HWND doc, HDC dc, int w, int h) {
    background(dc, w, h);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, RVGetStockObject(2));
    IntersectClipRect(dc, 3, 3, w - 3, h - 3);
    Blocks b(doc, true);
    if (!b.ok() || b.values() == 0 || w <= 6) return;
    PositionBlock* pos = b.pos;
    Pens pens;
    Scene s{dc,         w,
            h,          w - 6,
            b.wave,     b.header->bitsPerSample,
            b.values(), pos->viewStart,
            1,          b.header->channels == 2,
            &pens};
    if (s.vs < 0) s.vs = 0;
    const bool zoomOne = pos->zoom == 1;
    s.spp = zoomOne ? 1 : values_per_column(pos->zoom, s.n, w);
    const long long unit = s.bits == 16 ? 2 : 1;
    const long long ms = pos->markStart / unit;
    const long long ml = pos->markLength / unit;

    bands(s);
    // Columns of one frame or less have no extremes to show apart from the value.
    const bool peaks =
        !zoomOne && s.spp >= (s.stereo ? 4 : 2) && SettingBool(SET_BOOLEAN_PEAKDISPLAY);
    long long ve = peaks ? draw_peaks(s, doc) : -1;
    if (ve < 0) ve = zoomOne ? draw_zoom_one(s) : draw_zoomed(s);
    labels(s);
    pos->viewEnd = static_cast<LONG>(ve);
    mark(s, ms, ml, ve, zoomOne && s.stereo);
}

// 0 when painted; 1 when an operation held the guard and the picture stays as it was.
LRESULT on_paint(HWND doc) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(doc, &ps);
    int w = 0, h = 0;
    client_size(doc, &w, &h);
    if (IsFileWorking(doc) || w <= 0 || h <= 0) {
        background(hdc, w, h);
        EndPaint(doc, &ps);
        return 0;
    }
    TryGuard guard(doc);
    if (!guard.held) {
        EndPaint(doc, &ps);
        return 1;
    }
    HDC dc = hdc, mem = nullptr;
    if (!SettingBool(SET_BOOLEAN_DIRECTDISPLAY)) {
        mem = back_buffer(doc, hdc, w, h);
        dc = mem;
    }
    int saved = SaveDC(dc);
    bool fault = false;
    try {
        draw_view(doc, dc, w, h);
    } catch (...) {
        fault = true;
    }
    RestoreDC(dc, saved);
    if (mem) BitBlt(hdc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
    EndPaint(doc, &ps);
    if (fault) ExceptionBox(doc, "Main window");
    return 0;
}

}  // namespace waveview
