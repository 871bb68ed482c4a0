// The painting area: device contexts and drawing objects over the windows'
// backing images. Records stand behind the handles: a handle is the address
// of its record; every use checks it against the live set first, so a stale
// handle is refused, never dereferenced. A drawing object deleted while
// selected into a context stays alive until the last context lets go of it.
// Controls read bitmap objects through the live set.
#pragma once

#include <platform/platform.h>

#include <QFont>
#include <QImage>
#include <QRect>
#include <mutex>
#include <string>
#include <vector>

namespace gdi {

enum class ObjKind { Pen, Brush, Font, Bitmap };

struct Object {
    ObjKind kind = ObjKind::Pen;
    bool stock = false;          // survives DeleteObject
    bool deletePending = false;  // deleted while selected: freed on release
    int penStyle = PS_SOLID;     // pens
    int penWidth = 1;
    COLORREF color = 0;   // pens and brushes
    bool hollow = false;  // NULL_BRUSH
    QFont font;           // fonts
    QImage image;         // bitmaps, Format_RGB32
    HDC selectedIn = nullptr;
};

inline Object* new_object(ObjKind kind) {
    auto* o = new Object;
    o->kind = kind;
    return o;
}

struct DCState {
    HGDIOBJ pen = nullptr;
    HGDIOBJ brush = nullptr;
    HGDIOBJ font = nullptr;
    HGDIOBJ bitmap = nullptr;  // memory contexts only
    int rop2 = R2_COPYPEN;
    int bkMode = OPAQUE;
    COLORREF bkColor = 0x00FFFFFF;
    COLORREF textColor = 0;
    POINT pos{0, 0};
    bool clipped = false;
    RECT clip{0, 0, 0, 0};  // device coordinates, valid when clipped
};

// Window: GetDC; Paint: BeginPaint; Memory: CreateCompatibleDC; Screen: GetDC(null),
// whose drawing goes to a 1x1 sink.
enum class DCKind { Window, Paint, Memory, Screen };

struct DC {
    DCKind kind = DCKind::Memory;
    HWND hwnd = nullptr;
    DCState st;
    std::vector<DCState> saved;
    HGDIOBJ defaultBitmap = nullptr;  // a memory context's own 1x1 bitmap
    QImage sink;                      // Screen contexts
    QRect dirty;                      // Paint contexts: shown again at EndPaint
    bool limited = false;             // Paint contexts: never beyond the painted area
    QRect limit;
};

// Guards the live sets and every object's selection state.
std::mutex& registry_mutex();
// Live-set checks; the *_locked forms expect registry_mutex() held.
DC* dc_of(HDC hdc);
DC* dc_locked(HDC hdc);
Object* obj_of(HGDIOBJ h);
Object* obj_locked(HGDIOBJ h);
HDC add_dc(DC* dc);
HGDIOBJ add_object(Object* obj);
// Removes a context from the live set, lets go of what it selected (freeing
// objects whose deletion was pending) and frees the record.
void remove_dc(HDC hdc);
// Frees an object deleted while selected once no context uses it any more.
void release_locked(HGDIOBJ h);
HGDIOBJ stock_object(int index);  // null for an unknown index

inline QRgb to_qrgb(COLORREF c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline COLORREF to_colorref(QRgb p) {
    return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}
// The colour of a brush handle or of a class background value COLOR_x + 1;
// FALSE for a hollow or dead brush.
bool brush_colour(HBRUSH brush, QRgb* out);
// The font a context draws text with.
QFont font_of(const DCState& st);

// Mixes a pen colour into a destination pixel by a binary raster operation.
inline QRgb rop2_apply(int rop, QRgb pen, QRgb dst) {
    unsigned t = static_cast<unsigned>(rop - 1) & 15u;
    QRgb r = 0;
    if (t & 1u) r |= ~pen & ~dst;
    if (t & 2u) r |= ~pen & dst;
    if (t & 4u) r |= pen & ~dst;
    if (t & 8u) r |= pen & dst;
    return r | 0xFF000000u;
}
// Mixes pattern, source and destination by the truth table in bits 16-23 of a
// ternary raster operation code.
inline QRgb rop3_apply(DWORD rop, QRgb pat, QRgb src, QRgb dst) {
    unsigned code = (rop >> 16) & 0xFFu;
    QRgb r = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!(code & (1u << i))) continue;
        r |= ((i & 4u) ? pat : ~pat) & ((i & 2u) ? src : ~src) & ((i & 1u) ? dst : ~dst);
    }
    return r | 0xFF000000u;
}

// The image a context draws on, locked for one primitive. clip is the image
// bounds cut by the context's clip rectangle. The destructor unlocks and then
// has the changed area (mark()) shown again.
struct Target {
    DC* dc = nullptr;
    QImage* image = nullptr;
    std::unique_lock<std::recursive_mutex> lock;
    QRect clip;
    QRect dirty;
    Target() = default;
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;
    ~Target();
    void mark(const QRect& r) { dirty |= r & clip; }
    QRgb* row(int y) { return reinterpret_cast<QRgb*>(image->scanLine(y)); }
};
// FALSE for a dead context or a context of a dead window.
bool open_target(HDC hdc, Target* t);

// Fills r (cut by the clip) with colour c mixed by a binary raster operation.
void fill_rop2(Target& t, QRect r, QRgb c, int rop2);
// Applies a ternary raster operation with a solid pattern and no source.
void fill_rop3(Target& t, QRect r, QRgb pat, DWORD rop);
// Converts a half-open RECT to a QRect (empty when inverted).
inline QRect to_qrect(int l, int t, int r, int b) {
    return r > l && b > t ? QRect(l, t, r - l, b - t) : QRect();
}

}  // namespace gdi

namespace plat {
// Fills a rectangle of a device context with a class background brush value
// (a brush, or COLOR_x + 1); the window area erases with it.
void fill_background(HDC hdc, const RECT& rc, HBRUSH classBrush);
}  // namespace plat
