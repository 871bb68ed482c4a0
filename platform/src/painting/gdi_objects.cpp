// Drawing objects (pens, brushes, fonts, bitmaps), the stock objects, the
// fixed system colour table and the live sets behind every painting handle.
#include <array>
#include <cstring>
#include <unordered_set>

#include "painting_private.h"

namespace gdi {

namespace {

std::unordered_set<const void*>& live_dcs() {
    static auto* s = new std::unordered_set<const void*>;
    return *s;
}
std::unordered_set<const void*>& live_objects() {
    static auto* s = new std::unordered_set<const void*>;
    return *s;
}

bool state_uses(const DCState& st, HGDIOBJ h) {
    return st.pen == h || st.brush == h || st.font == h || st.bitmap == h;
}

bool referenced_locked(HGDIOBJ h) {
    for (const void* p : live_dcs()) {
        const DC* dc = static_cast<const DC*>(p);
        if (state_uses(dc->st, h)) return true;
        for (const DCState& s : dc->saved)
            if (state_uses(s, h)) return true;
    }
    return false;
}

void free_object_locked(Object* obj) {
    live_objects().erase(obj);
    delete obj;
}

// Classic desktop colours, the same on every machine.
constexpr std::array<COLORREF, 31> kSysColors = {
    RGB(192, 192, 192),  // scroll bar
    RGB(0, 128, 128),    // desktop
    RGB(0, 0, 128),      // active caption
    RGB(128, 128, 128),  // inactive caption
    RGB(192, 192, 192),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(192, 192, 192),  // active border
    RGB(192, 192, 192),  // inactive border
    RGB(128, 128, 128),  // application workspace
    RGB(0, 0, 128),      // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(192, 192, 192),  // button face
    RGB(128, 128, 128),  // button shadow
    RGB(128, 128, 128),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(192, 192, 192),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(0, 0, 0),        // 3D dark shadow
    RGB(223, 223, 223),  // 3D light
    RGB(0, 0, 0),        // tooltip text
    RGB(255, 255, 225),  // tooltip background
    RGB(192, 192, 192),  // unused
    RGB(0, 0, 255),      // hot-tracked item
    RGB(16, 132, 208),   // active caption gradient
    RGB(181, 181, 181),  // inactive caption gradient
    RGB(0, 0, 128),      // menu highlight
    RGB(192, 192, 192),  // menu bar
};

QString map_face(const char* face) {
    if (!face || !*face) return QStringLiteral("DejaVu Sans");
    QString f = QString::fromUtf8(face).toLower();
    static const char* const kSans[] = {"sans serif", "arial",  "helvetica", "tahoma",
                                        "verdana",    "system", "shell dlg"};
    static const char* const kMono[] = {"courier",  "fixedsys", "terminal",
                                        "consolas", "console",  "mono"};
    for (const char* s : kMono)
        if (f.contains(QLatin1String(s))) return QStringLiteral("DejaVu Sans Mono");
    for (const char* s : kSans)
        if (f.contains(QLatin1String(s))) return QStringLiteral("DejaVu Sans");
    if (f.contains(QLatin1String("times")) || f == QLatin1String("serif"))
        return QStringLiteral("DejaVu Serif");
    return QString::fromUtf8(face);
}

QFont make_font(const char* face, int pixelSize, int weight, bool italic, bool underline,
                bool strike) {
    QFont f(map_face(face));
    f.setPixelSize(pixelSize > 0 ? pixelSize : 12);
    f.setWeight(static_cast<QFont::Weight>(weight >= 100 && weight <= 900 ? weight : 400));
    f.setItalic(italic);
    f.setUnderline(underline);
    f.setStrikeOut(strike);
    // Crisp classic text: every text pixel has exactly the text colour.
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

Object* new_pen(int style, int width, COLORREF color) {
    auto* o = new_object(ObjKind::Pen);
    o->penStyle = style & 0xF;
    o->penWidth = width < 1 ? 1 : width;
    o->color = color & 0x00FFFFFFu;
    return o;
}

Object* new_brush(COLORREF color, bool hollow) {
    auto* o = new_object(ObjKind::Brush);
    o->color = color & 0x00FFFFFFu;
    o->hollow = hollow;
    return o;
}

Object* new_font(const QFont& f) {
    auto* o = new_object(ObjKind::Font);
    o->font = f;
    return o;
}

Object* make_stock(int index) {
    switch (index) {
        case WHITE_BRUSH:
        case DC_BRUSH:
            return new_brush(RGB(255, 255, 255), false);
        case LTGRAY_BRUSH:
            return new_brush(RGB(192, 192, 192), false);
        case GRAY_BRUSH:
            return new_brush(RGB(128, 128, 128), false);
        case DKGRAY_BRUSH:
            return new_brush(RGB(64, 64, 64), false);
        case BLACK_BRUSH:
            return new_brush(0, false);
        case NULL_BRUSH:
            return new_brush(0, true);
        case WHITE_PEN:
            return new_pen(PS_SOLID, 1, RGB(255, 255, 255));
        case BLACK_PEN:
        case DC_PEN:
            return new_pen(PS_SOLID, 1, 0);
        case NULL_PEN:
            return new_pen(PS_NULL, 1, 0);
        case OEM_FIXED_FONT:
        case ANSI_FIXED_FONT:
            return new_font(make_font("Mono", 12, 400, false, false, false));
        case ANSI_VAR_FONT:
        case DEFAULT_GUI_FONT:
            return new_font(make_font(nullptr, 11, 400, false, false, false));
        case SYSTEM_FONT:
        case DEVICE_DEFAULT_FONT:
            return new_font(make_font(nullptr, 13, 400, false, false, false));
        default:
            return nullptr;
    }
}

}  // namespace

// Never destroyed, so that contexts and objects stay valid until the very end.
std::mutex& registry_mutex() {
    static auto* m = new std::mutex;
    return *m;
}

DC* dc_locked(HDC hdc) {
    return hdc && live_dcs().count(hdc) ? reinterpret_cast<DC*>(hdc) : nullptr;
}

DC* dc_of(HDC hdc) {
    std::lock_guard<std::mutex> g(registry_mutex());
    return dc_locked(hdc);
}

void release_locked(HGDIOBJ h) {
    Object* obj = obj_locked(h);
    if (obj && obj->deletePending && !referenced_locked(h)) free_object_locked(obj);
}

Object* obj_locked(HGDIOBJ h) {
    return h && live_objects().count(h) ? static_cast<Object*>(h) : nullptr;
}

Object* obj_of(HGDIOBJ h) {
    std::lock_guard<std::mutex> g(registry_mutex());
    return obj_locked(h);
}

HDC add_dc(DC* dc) {
    std::lock_guard<std::mutex> g(registry_mutex());
    live_dcs().insert(dc);
    return reinterpret_cast<HDC>(dc);
}

HGDIOBJ add_object(Object* obj) {
    std::lock_guard<std::mutex> g(registry_mutex());
    live_objects().insert(obj);
    return obj;
}

void remove_dc(HDC hdc) {
    std::lock_guard<std::mutex> g(registry_mutex());
    if (!live_dcs().count(hdc)) return;
    DC* dc = reinterpret_cast<DC*>(hdc);
    live_dcs().erase(hdc);
    std::vector<HGDIOBJ> used = {dc->st.pen, dc->st.brush, dc->st.font, dc->st.bitmap};
    for (const DCState& s : dc->saved) used.insert(used.end(), {s.pen, s.brush, s.font, s.bitmap});
    for (HGDIOBJ h : used) {
        Object* o = obj_locked(h);
        if (o && o->selectedIn == hdc) o->selectedIn = nullptr;
    }
    if (Object* own = obj_locked(dc->defaultBitmap)) {
        if (own->selectedIn == hdc || !own->selectedIn) free_object_locked(own);
    }
    delete dc;
    for (HGDIOBJ h : used) release_locked(h);
}

HGDIOBJ stock_object(int index) {
    static std::array<HGDIOBJ, 20> table = [] {
        std::array<HGDIOBJ, 20> t{};
        for (int i = 0; i < 20; ++i) {
            Object* o = make_stock(i);
            if (!o) continue;
            o->stock = true;
            t[i] = add_object(o);
        }
        return t;
    }();
    return index >= 0 && index < 20 ? table[index] : nullptr;
}

bool brush_colour(HBRUSH brush, QRgb* out) {
    auto v = reinterpret_cast<uintptr_t>(brush);
    if (v >= 1 && v <= kSysColors.size()) {
        *out = to_qrgb(kSysColors[v - 1]);
        return true;
    }
    std::lock_guard<std::mutex> g(registry_mutex());
    Object* o = obj_locked(brush);
    if (!o || o->kind != ObjKind::Brush || o->hollow) return false;
    *out = to_qrgb(o->color);
    return true;
}

QFont font_of(const DCState& st) {
    {
        std::lock_guard<std::mutex> g(registry_mutex());
        Object* o = obj_locked(st.font);
        if (o && o->kind == ObjKind::Font) return o->font;
    }
    Object* sys = obj_of(stock_object(SYSTEM_FONT));
    return sys ? sys->font : QFont();
}

}  // namespace gdi

using namespace gdi;

HPEN CreatePen(int style, int width, COLORREF color) {
    return add_object(new_pen(style, width, color));
}

HBRUSH CreateSolidBrush(COLORREF color) {
    return add_object(new_brush(color, false));
}

HBRUSH GetSysColorBrush(int index) {
    static std::array<HGDIOBJ, kSysColors.size()> table = [] {
        std::array<HGDIOBJ, kSysColors.size()> t{};
        for (size_t i = 0; i < t.size(); ++i) {
            Object* o = new_brush(kSysColors[i], false);
            o->stock = true;
            t[i] = add_object(o);
        }
        return t;
    }();
    return index >= 0 && static_cast<size_t>(index) < table.size() ? table[index] : nullptr;
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strike, DWORD charset, DWORD outPrecision,
                 DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR face) {
    int px = height < 0 ? -height : height;
    const char* name = face;
    if ((!face || !*face) && (pitchAndFamily & 0x3) == 1) name = "Mono";  // FIXED_PITCH
    return add_object(new_font(make_font(name, px, weight, italic, underline, strike)));
}

HGDIOBJ GetStockObject(int index) {
    return stock_object(index);
}

COLORREF GetSysColor(int index) {
    return index >= 0 && static_cast<size_t>(index) < kSysColors.size() ? kSysColors[index] : 0;
}

HBITMAP PlatformCreateBitmap(int w, int h, const DWORD* pixels0RGB) {
    if (w <= 0 || h <= 0) return nullptr;
    auto* o = new_object(ObjKind::Bitmap);
    o->image = QImage(w, h, QImage::Format_RGB32);
    if (o->image.isNull()) {
        delete o;
        return nullptr;
    }
    // A bitmap without pixels starts black.
    if (!pixels0RGB) {
        o->image.fill(0xFF000000u);
        return add_object(o);
    }
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(o->image.scanLine(y));
        const DWORD* from = pixels0RGB + size_t(y) * w;
        for (int x = 0; x < w; ++x) row[x] = 0xFF000000u | from[x];
    }
    return add_object(o);
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
    std::lock_guard<std::mutex> g(registry_mutex());
    if (!live_dcs().count(hdc)) return nullptr;
    DC* dc = reinterpret_cast<DC*>(hdc);
    Object* o = obj_locked(h);
    if (!o || o->deletePending) return nullptr;
    HGDIOBJ* slot = nullptr;
    switch (o->kind) {
        case ObjKind::Pen:
            slot = &dc->st.pen;
            break;
        case ObjKind::Brush:
            slot = &dc->st.brush;
            break;
        case ObjKind::Font:
            slot = &dc->st.font;
            break;
        case ObjKind::Bitmap:
            if (dc->kind != DCKind::Memory) return nullptr;
            if (o->selectedIn && o->selectedIn != hdc) return nullptr;
            slot = &dc->st.bitmap;
            break;
    }
    HGDIOBJ prev = *slot;
    *slot = h;
    if (o->kind == ObjKind::Bitmap && prev != h) {
        if (Object* old = obj_locked(prev)) old->selectedIn = nullptr;
        o->selectedIn = hdc;
    }
    release_locked(prev);
    return prev;
}

BOOL DeleteObject(HGDIOBJ h) {
    std::lock_guard<std::mutex> g(registry_mutex());
    Object* o = obj_locked(h);
    if (!o) return FALSE;
    if (o->stock) return TRUE;
    if (referenced_locked(h)) {
        o->deletePending = true;
        return TRUE;
    }
    free_object_locked(o);
    return TRUE;
}

int GetObject(HGDIOBJ h, int size, LPVOID out) {
    std::lock_guard<std::mutex> g(registry_mutex());
    Object* o = obj_locked(h);
    if (!o) return 0;
    if (o->kind == ObjKind::Bitmap) {
        if (!out) return sizeof(BITMAP);
        if (size < static_cast<int>(sizeof(BITMAP))) return 0;
        BITMAP bm{};
        bm.bmWidth = o->image.width();
        bm.bmHeight = o->image.height();
        bm.bmWidthBytes = o->image.width() * 4;
        bm.bmPlanes = 1;
        bm.bmBitsPixel = 32;
        std::memcpy(out, &bm, sizeof bm);
        return sizeof(BITMAP);
    }
    if (o->kind == ObjKind::Pen) {
        if (!out) return sizeof(LOGPEN);
        if (size < static_cast<int>(sizeof(LOGPEN))) return 0;
        LOGPEN lp{static_cast<UINT>(o->penStyle), {o->penWidth, 0}, o->color};
        std::memcpy(out, &lp, sizeof lp);
        return sizeof(LOGPEN);
    }
    return 0;
}
