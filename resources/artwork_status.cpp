#include "artwork_status.h"

#include "canvas.h"

#include <vector>

namespace {

using artwork::Canvas;

DWORD face() {
    COLORREF c = GetSysColor(COLOR_BTNFACE);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// Squared distance of the pixel centre (x, y) from the centre (cx, cy), in
// quarter pixels, so circles of half-pixel radii come out round.
int dist2(int x, int y, int cx2, int cy2) {
    const int dx = 2 * x + 1 - cx2, dy = 2 * y + 1 - cy2;
    return dx * dx + dy * dy;
}

// A round red lamp with a dark rim and a bright spot at its upper left.
void red_lamp(HINSTANCE inst) {
    Canvas c(10, 10, face());
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const int d = dist2(x, y, 10, 10);
            if (d > 100) continue;
            DWORD colour = d > 64 ? 0x800000 : 0xE00000;
            if (dist2(x, y, 7, 7) <= 8) colour = 0xFFA0A0;
            c.set(x, y, colour);
        }
    PlatformAddBitmap(inst, "RED", c.w, c.h, c.px.data());
}

// A silver disc with its centre hole and one darker track ring.
void disc_at_rest(HINSTANCE inst) {
    Canvas c(16, 14, face());
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const int d = dist2(x, y, 16, 14);
            if (d > 169 || d <= 4) continue;
            DWORD colour = 0xC8C8D8;
            if (d > 144)
                colour = 0x606070;
            else if (d > 64 && d <= 90)
                colour = 0x9090A8;
            else if (d <= 16)
                colour = 0x808080;
            c.set(x, y, colour);
        }
    PlatformAddBitmap(inst, "CDING1", c.w, c.h, c.px.data());
}

}  // namespace

void RegisterStatusArtwork(HINSTANCE inst) {
    red_lamp(inst);
    disc_at_rest(inst);
}
