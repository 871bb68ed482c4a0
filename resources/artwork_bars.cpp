#include "artwork_bars.h"

#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kIcon = 17;

using artwork::Canvas;

DWORD rgb_of(COLORREF c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

constexpr DWORD kMask = 0xC0C0C0;  // the toolbars' transparent colour
constexpr DWORD kInk = 0x000000;
constexpr DWORD kPaper = 0xFFFFFF;
constexpr DWORD kShade = 0x808080;
constexpr DWORD kBlue = 0x1850A8;
constexpr DWORD kWave = 0x0B6E2A;
constexpr DWORD kRed = 0xC02020;
constexpr DWORD kYellow = 0xF0C040;
constexpr DWORD kGreen = 0x20A030;

// --- Shapes the icons share -----------------------------------------------

// A sheet of paper with a folded top-right corner.
void page(Canvas& c, int l, int t, int r, int b) {
    c.box(l, t, r, b, kPaper);
    c.frame(l, t, r, b, kInk);
    for (int i = 0; i < 4; ++i) c.box(r - 4 + i, t, r, t + 1 + i, kMask);
    c.line(r - 5, t, r - 1, t + 4, kInk);
    c.line(r - 5, t, r - 5, t + 4, kInk);
    c.line(r - 5, t + 4, r - 1, t + 4, kInk);
}

// A wave drawn as a line from x0 to x1 around row mid; amp(t) the height at
// t in 0..1 (pixels), cycles the number of periods.
template <class Amp>
void wave(Canvas& c, int x0, int x1, int mid, double cycles, DWORD colour, Amp amp) {
    int prev = mid;
    for (int x = x0; x <= x1; ++x) {
        double t = double(x - x0) / std::max(1, x1 - x0);
        int y = mid - int(std::lround(amp(t) * std::sin(2 * kPi * cycles * t)));
        c.line(x, x == x0 ? y : prev, x, y, colour);
        prev = y;
    }
}

void wave_steady(Canvas& c, DWORD colour, double height) {
    wave(c, 1, 15, 8, 2, colour, [&](double) { return height; });
}

void arrow_right(Canvas& c, int l, int r, int y, DWORD colour) {
    c.line(l, y, r, y, colour);
    c.line(r - 3, y - 3, r, y, colour);
    c.line(r - 3, y + 3, r, y, colour);
}

void arrow_left(Canvas& c, int l, int r, int y, DWORD colour) {
    c.line(l, y, r, y, colour);
    c.line(l + 3, y - 3, l, y, colour);
    c.line(l + 3, y + 3, l, y, colour);
}

// Letters of 3 x 5 dots for the channel buttons.
void glyph(Canvas& c, char ch, int l, int t, DWORD colour) {
    static const char* const kLetters[][5] = {
        {"X..", "X..", "X..", "X..", "XXX"},  // L
        {"XX.", "X.X", "XX.", "X.X", "X.X"},  // R
        {".X.", "X.X", "X.X", "X.X", ".X."},  // 0
    };
    int k = ch == 'L' ? 0 : ch == 'R' ? 1 : 2;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x)
            if (kLetters[k][y][x] == 'X') c.set(l + x, t + y, colour);
}

void speaker(Canvas& c, int l, int t) {
    c.box(l, t + 4, l + 3, t + 9, kInk);
    for (int i = 0; i < 4; ++i) c.box(l + 3 + i, t + 3 - i, l + 4 + i, t + 10 + i, kInk);
}

// --- The icon bar's images --------------------------------------------------

void icon_new(Canvas& c) {
    page(c, 3, 1, 14, 16);
}

void icon_open(Canvas& c) {
    c.box(1, 4, 7, 6, 0xC09020);
    c.box(1, 6, 14, 15, 0xC09020);
    c.frame(1, 5, 14, 15, kInk);
    c.box(3, 8, 16, 15, kYellow);
    c.line(3, 8, 16, 8, kInk);
    c.line(3, 8, 1, 14, kInk);
    c.line(16, 8, 13, 14, kInk);
}

void icon_save(Canvas& c) {
    c.box(2, 2, 15, 15, kBlue);
    c.frame(2, 2, 15, 15, kInk);
    c.box(5, 3, 12, 8, kPaper);
    c.box(5, 10, 12, 15, 0xA0A0A0);
    c.box(9, 11, 11, 14, kInk);
}

void icon_settings(Canvas& c) {
    page(c, 2, 1, 13, 16);
    for (int i = 0; i < 3; ++i) {
        int y = 6 + i * 3;
        c.line(4, y, 10, y, kShade);
        c.box(5 + (i * 2) % 5, y - 1, 7 + (i * 2) % 5, y + 2, kBlue);
    }
}

void icon_cut(Canvas& c) {
    c.line(5, 1, 10, 10, kInk);
    c.line(11, 1, 6, 10, kInk);
    c.ring(5, 12.5, 2.5, kInk);
    c.ring(11, 12.5, 2.5, kInk);
}

void icon_copy(Canvas& c) {
    page(c, 1, 1, 10, 12);
    page(c, 6, 5, 15, 16);
}

void clipboard_board(Canvas& c) {
    c.box(2, 2, 14, 16, 0xA06830);
    c.frame(2, 2, 14, 16, kInk);
    c.box(5, 1, 11, 4, kShade);
    c.frame(5, 1, 11, 4, kInk);
}

void icon_paste(Canvas& c) {
    clipboard_board(c);
    page(c, 6, 6, 16, 16);
}

void icon_mix(Canvas& c) {
    clipboard_board(c);
    c.box(4, 6, 14, 15, kPaper);
    wave(c, 4, 13, 10, 1.5, kWave, [](double) { return 3.0; });
    wave(c, 4, 13, 10, 1, kRed, [](double) { return 2.0; });
}

void icon_crop(Canvas& c) {
    c.box(4, 1, 6, 13, kInk);
    c.box(1, 11, 13, 13, kInk);
    c.box(11, 4, 13, 16, kInk);
    c.box(4, 4, 16, 6, kInk);
    c.box(6, 6, 11, 11, 0xA8C8F0);
}

void icon_delete(Canvas& c) {
    for (int i = 0; i < 2; ++i) {
        c.line(3 + i, 3, 13 + i, 13, kRed);
        c.line(13 + i, 3, 3 + i, 13, kRed);
    }
}

void icon_undo(Canvas& c) {
    for (int a = 0; a <= 180; a += 3) {
        double r = a * kPi / 180;
        c.set(9 + int(std::lround(5 * std::cos(r))), 10 - int(std::lround(5 * std::sin(r))), kBlue);
        c.set(9 + int(std::lround(4 * std::cos(r))), 10 - int(std::lround(4 * std::sin(r))), kBlue);
    }
    c.box(2, 10, 7, 11, kBlue);
    c.line(2, 10, 4, 13, kBlue);
    c.line(6, 10, 4, 13, kBlue);
}

void icon_revert(Canvas& c) {
    page(c, 4, 1, 15, 16);
    arrow_left(c, 1, 10, 9, kRed);
}

void icon_play(Canvas& c) {
    for (int i = 0; i < 7; ++i) c.box(5 + i, 2 + i, 6 + i, 15 - i, kGreen);
}

void icon_pause(Canvas& c) {
    c.box(4, 3, 7, 14, kBlue);
    c.box(10, 3, 13, 14, kBlue);
}

void icon_stop(Canvas& c) {
    c.box(4, 4, 13, 13, kInk);
}

void icon_record(Canvas& c) {
    c.disc(8, 8, 5, kRed);
}

void icon_cd(Canvas& c) {
    c.disc(8, 8, 7, 0xD8D8E8);
    c.ring(8, 8, 7, kShade);
    c.disc(8, 8, 2, kMask);
    c.ring(8, 8, 2.5, kShade);
    c.line(10, 4, 12, 6, 0x90A0F0);
}

void icon_tonbox(Canvas& c) {
    c.box(1, 4, 16, 14, 0x705030);
    c.frame(1, 4, 16, 14, kInk);
    c.disc(5, 9, 3, kInk);
    c.disc(12, 9, 3, kInk);
    c.disc(5, 9, 1, kShade);
    c.disc(12, 9, 1, kShade);
}

void icon_options(Canvas& c) {
    c.disc(8, 8, 6, kShade);
    for (int a = 0; a < 8; ++a) {
        double r = a * kPi / 4;
        c.disc(8 + 6 * std::cos(r), 8 + 6 * std::sin(r), 1.5, kShade);
    }
    c.disc(8, 8, 2.5, kMask);
}

void icon_volume_control(Canvas& c) {
    speaker(c, 1, 2);
    c.ring(6, 8.5, 5, kBlue);
    c.ring(6, 8.5, 8, kBlue);
    c.box(0, 0, 9, 17, kMask);
    speaker(c, 1, 2);
}

void icon_homepage(Canvas& c) {
    c.disc(8, 8, 7, 0x3080D0);
    c.box(3, 4, 8, 8, kGreen);
    c.box(9, 9, 13, 13, kGreen);
    c.ring(8, 8, 7, kInk);
}

void icon_exit(Canvas& c) {
    c.box(3, 1, 12, 16, 0x805020);
    c.frame(3, 1, 12, 16, kInk);
    c.set(10, 9, kYellow);
    arrow_right(c, 8, 16, 8, kRed);
}

void icon_spare(Canvas&) {}

// --- The function bar's images ----------------------------------------------

void fn_extensions(Canvas& c) {
    c.box(3, 5, 14, 15, kGreen);
    c.frame(3, 5, 14, 15, kInk);
    c.disc(8.5, 4, 2, kGreen);
    c.disc(14, 10, 2, kGreen);
}

void fn_dock(Canvas& c) {
    c.box(2, 2, 15, 15, kPaper);
    c.frame(2, 2, 15, 15, kInk);
    c.box(2, 2, 6, 15, kBlue);
    c.box(3, 3, 15, 5, kBlue);
}

void fn_fadein(Canvas& c) {
    wave(c, 1, 15, 8, 3, kWave, [](double t) { return 7 * t; });
}

void fn_fadeout(Canvas& c) {
    wave(c, 1, 15, 8, 3, kWave, [](double t) { return 7 * (1 - t); });
}

void fn_volume(Canvas& c) {
    wave_steady(c, kWave, 6);
    c.line(14, 1, 14, 5, kRed);
    c.line(12, 3, 16, 3, kRed);
}

void fn_soften(Canvas& c) {
    wave(c, 1, 15, 8, 1, kBlue, [](double) { return 6.0; });
}

void fn_fade_left_to_right(Canvas& c) {
    glyph(c, 'L', 1, 1, kBlue);
    glyph(c, 'R', 13, 11, kRed);
    arrow_right(c, 2, 14, 8, kInk);
}

void fn_fade_right_to_left(Canvas& c) {
    glyph(c, 'R', 13, 1, kRed);
    glyph(c, 'L', 1, 11, kBlue);
    arrow_left(c, 2, 14, 8, kInk);
}

void fn_peak(Canvas& c) {
    c.box(1, 1, 16, 2, kRed);
    c.box(1, 15, 16, 16, kRed);
    wave_steady(c, kWave, 7);
}

void fn_velocity(Canvas& c) {
    wave(c, 1, 15, 8, 5, kWave, [](double) { return 4.0; });
    arrow_right(c, 1, 15, 15, kBlue);
}

void fn_cs_volume(Canvas& c) {
    wave(c, 1, 15, 9, 3, 0x80A080, [](double) { return 5.0; });
    for (int x = 1; x < 16; ++x) c.set(x, 3 + int(std::lround(3 * std::cos(x * kPi / 8))), kRed);
}

void fn_cs_channels(Canvas& c) {
    glyph(c, 'L', 1, 1, kBlue);
    glyph(c, 'R', 1, 11, kRed);
    for (int x = 5; x < 16; ++x) c.set(x, 8 + int(std::lround(5 * std::sin(x * kPi / 6))), kRed);
}

void fn_silence(Canvas& c) {
    wave(c, 1, 5, 8, 1, kWave, [](double) { return 5.0; });
    c.line(5, 8, 11, 8, kRed);
    wave(c, 11, 15, 8, 1, kWave, [](double) { return 5.0; });
}

void fn_reverse(Canvas& c) {
    wave(c, 1, 15, 6, 2, kWave, [](double t) { return 5 * (1 - t); });
    arrow_left(c, 2, 15, 14, kBlue);
}

void fn_zeroize(Canvas& c) {
    wave(c, 1, 15, 8, 3, kWave, [](double t) { return 6 * std::fabs(std::sin(kPi * t)); });
    c.box(6, 4, 11, 12, kMask);
    glyph(c, '0', 7, 6, kRed);
}

void fn_separate(Canvas& c) {
    wave(c, 1, 15, 4, 2, kBlue, [](double) { return 3.0; });
    c.line(1, 8, 15, 8, kShade);
    wave(c, 1, 15, 12, 2, kRed, [](double) { return 3.0; });
}

using Painter = void (*)(Canvas&);

void strip(HINSTANCE inst, LPCSTR name, const Painter* painters, int count) {
    Canvas s(kIcon * count, kIcon, kMask);
    for (int i = 0; i < count; ++i) {
        Canvas one(kIcon, kIcon, kMask);
        painters[i](one);
        s.paste(one, i * kIcon, 0);
    }
    PlatformAddBitmap(inst, name, s.w, s.h, s.px.data());
}

void toolbar_strips(HINSTANCE inst) {
    static const Painter kIconBar[24] = {icon_new,      icon_open,    icon_save,
                                         icon_settings, icon_spare,   icon_cut,
                                         icon_copy,     icon_paste,   icon_mix,
                                         icon_crop,     icon_delete,  icon_undo,
                                         icon_revert,   icon_play,    icon_pause,
                                         icon_stop,     icon_record,  icon_cd,
                                         icon_tonbox,   icon_options, icon_volume_control,
                                         icon_homepage, icon_spare,   icon_exit};
    strip(inst, "TOOLBAR24", kIconBar, 24);
    static const Painter kFuncBar[16] = {fn_extensions,
                                         fn_dock,
                                         fn_fadein,
                                         fn_fadeout,
                                         fn_volume,
                                         fn_soften,
                                         fn_fade_left_to_right,
                                         fn_fade_right_to_left,
                                         fn_peak,
                                         fn_velocity,
                                         fn_cs_volume,
                                         fn_cs_channels,
                                         fn_silence,
                                         fn_reverse,
                                         fn_zeroize,
                                         fn_separate};
    strip(inst, MAKEINTRESOURCE(111), kFuncBar, 16);
}

// --- The select bar's pictures ------------------------------------------------

void add(HINSTANCE inst, LPCSTR name, const Canvas& c) {
    PlatformAddBitmap(inst, name, c.w, c.h, c.px.data());
}

void select_pictures(HINSTANCE inst) {
    const DWORD face = rgb_of(GetSysColor(COLOR_BTNFACE));
    Canvas down(12, 9, face), up(12, 9, face);
    for (int i = 0; i < 5; ++i) {
        down.box(1 + i, 2 + i, 11 - i, 3 + i, kInk);
        up.box(1 + i, 6 - i, 11 - i, 7 - i, kInk);
    }
    add(inst, "ROLLDOWN", down);
    add(inst, "ROLLUP", up);

    Canvas empty(13, 11, face), full(13, 11, face);
    for (Canvas* c : {&empty, &full}) {
        c->box(1, 1, 12, 11, 0xA06830);
        c->frame(1, 1, 12, 11, kInk);
        c->box(4, 0, 9, 2, kShade);
    }
    empty.box(3, 3, 10, 10, 0xE8E8E8);
    full.box(3, 3, 10, 10, kPaper);
    for (int y = 4; y < 10; y += 2) full.box(4, y, 9, y + 1, kBlue);
    add(inst, "EMPTYCLP", empty);
    add(inst, "FULLCLP", full);

    Canvas info(16, 14, face);
    info.disc(7.5, 7, 6, kBlue);
    info.box(7, 3, 9, 5, kPaper);
    info.box(7, 6, 9, 12, kPaper);
    add(inst, "INFOROLL", info);

    Canvas in(13, 10, face), out(13, 10, face);
    for (Canvas* c : {&in, &out}) {
        c->ring(5, 4.5, 3.5, kInk);
        c->line(8, 7, 11, 9, kInk);
        c->line(9, 7, 12, 9, kInk);
        c->box(3, 4, 8, 5, kInk);
    }
    in.box(5, 2, 6, 7, kInk);
    add(inst, "ZOOMIN", in);
    add(inst, "ZOOMOUT", out);

    Canvas threads(12, 10, face);
    for (int y = 0; y < 10; ++y) {
        int dx = int(std::lround(1.5 * std::sin(y * 0.9)));
        threads.set(3 + dx, y, kBlue);
        threads.set(8 - dx, y, kGreen);
    }
    add(inst, "IDTHREADS", threads);
}

// --- The busy clip ---------------------------------------------------------------

constexpr int kSpinFrames = 12;
constexpr int kSpinSize = 28;

// A wave ring: twelve bars around a centre whose heights travel round with
// the frame; frame 0 shows them all at rest.
void spin_clip(HINSTANCE inst) {
    Canvas s(kSpinSize * kSpinFrames, kSpinSize, kInk);
    for (int f = 0; f < kSpinFrames; ++f) {
        Canvas one(kSpinSize, kSpinSize, kInk);
        for (int b = 0; b < 12; ++b) {
            double a = b * kPi / 6;
            int lead = (b - f + 12) % 12;
            double len = f == 0 ? 4 : 3 + 8.0 * std::max(0, 6 - lead) / 6;
            DWORD colour = f == 0 ? 0x306090 : (lead < 6 ? kYellow : 0x306090);
            for (double r = 4; r <= 4 + len; r += 0.5)
                one.disc(13.5 + r * std::cos(a), 13.5 + r * std::sin(a), 0.9, colour);
        }
        s.paste(one, f * kSpinSize, 0);
    }
    add(inst, "SNRSPINFRAMES", s);
    static const ANIMATECLIP clip{"SNRSPINFRAMES", kSpinFrames, 70};
    PlatformAddData(inst, RT_ANIMATECLIP, "SNRSPIN", &clip, sizeof clip);
}

// --- The virtual desktop --------------------------------------------------------

constexpr DWORD kDesk = 0x0099CC;  // the desktop's fill, RGB (0, 153, 204)

void desktop_pictures(HINSTANCE inst) {
    // Waves fading from the top-right corner into the desk colour.
    Canvas back(400, 240, kDesk);
    for (int y = 0; y < back.h; ++y)
        for (int x = 0; x < back.w; ++x) {
            double fx = double(x) / back.w, fy = 1 - double(y) / back.h;
            double glow = std::clamp(fx * fy * 1.4, 0.0, 1.0);
            DWORD r = DWORD(0 + 60 * glow), g = DWORD(153 + 60 * glow), b = DWORD(204 + 40 * glow);
            back.set(x, y, (r << 16) | (g << 8) | b);
        }
    for (int k = 0; k < 5; ++k)
        for (int x = 0; x < back.w; ++x) {
            double t = double(x) / back.w;
            double y = 60 + k * 28 + std::sin(2 * kPi * (t * (1.5 + k * 0.4) + k * 0.2)) * 30 * t;
            back.disc(x, y, 0.5 + t, k % 2 ? 0xFFD135 : 0xE8F4FF);
        }
    add(inst, "COLOREDBACK", back);

    // The product's mark at the bottom left: a wide wave band under the name's initial bars.
    Canvas mark(400, 100, kDesk);
    for (int x = 0; x < mark.w; ++x) {
        double t = double(x) / mark.w;
        double env = std::sin(kPi * t) * (0.5 + 0.5 * std::sin(7 * kPi * t));
        int a = int(env * 34 * std::sin(2 * kPi * 24 * t * t));
        mark.line(x, 55, x, 55 - a, 0x00577A);
    }
    for (int i = 0; i < 6; ++i) mark.box(20 + i * 10, 84 - i * 4, 27 + i * 10, 96, 0xFFD135);
    add(inst, "COLOREDSNR2003", mark);
}

}  // namespace

void RegisterBarArtwork(HINSTANCE inst) {
    toolbar_strips(inst);
    select_pictures(inst);
    spin_clip(inst);
    desktop_pictures(inst);
}
