// Image lists: plain records of equal-sized ARGB32 images in a live set, so a
// stale handle is refused. Transparency is the image's alpha (0 or 255).
#include <QColor>
#include <algorithm>
#include <mutex>
#include <set>
#include <vector>

#include "controls/common_controls.h"
#include "painting/painting_private.h"
#include "resources/resources_private.h"

struct ImageListRecord {
    int cx = 0;
    int cy = 0;
    bool masked = false;
    std::vector<QImage> images;
};

namespace {

std::mutex g_lists_mutex;
std::set<ImageListRecord*> g_lists;  // guarded by g_lists_mutex

ImageListRecord* record_locked(HIMAGELIST h) {
    auto* r = reinterpret_cast<ImageListRecord*>(h);
    return g_lists.count(r) ? r : nullptr;
}

QImage bitmap_copy(HBITMAP bitmap) {
    std::lock_guard<std::mutex> g(gdi::registry_mutex());
    gdi::Object* o = gdi::obj_locked(bitmap);
    if (!o || o->kind != gdi::ObjKind::Bitmap) return QImage();
    return o->image.convertToFormat(QImage::Format_ARGB32);
}

// Which pixels of a source bitmap are transparent.
struct MaskRule {
    enum Kind { None, Colour, Bitmap } kind = None;
    QRgb colour = 0;  // Colour: this RGB
    QImage bitmap;    // Bitmap: white pixels
    bool clear(const QImage& src, int x, int y) const {
        if (kind == Colour) return (src.pixel(x, y) & 0xFFFFFFu) == (colour & 0xFFFFFFu);
        if (kind == Bitmap && x < bitmap.width() && y < bitmap.height())
            return (bitmap.pixel(x, y) & 0xFFFFFFu) == 0xFFFFFFu;
        return false;
    }
};

int add_images(HIMAGELIST list, const QImage& source, const MaskRule& rule, int wanted = 0) {
    if (source.isNull()) return -1;
    std::lock_guard<std::mutex> g(g_lists_mutex);
    ImageListRecord* r = record_locked(list);
    if (!r) return -1;
    int first = int(r->images.size());
    int count = wanted > 0 ? wanted : std::max(1, source.width() / r->cx);
    for (int i = 0; i < count; ++i) {
        QImage cut(r->cx, r->cy, QImage::Format_ARGB32);
        cut.fill(r->masked ? 0x00000000u : 0xFFFFFFFFu);
        int left = i * r->cx;
        for (int y = 0; y < std::min(r->cy, source.height()); ++y) {
            for (int x = 0; x < std::min(r->cx, source.width() - left); ++x) {
                bool clear = r->masked && rule.clear(source, left + x, y);
                QRgb p = source.pixel(left + x, y) | 0xFF000000u;
                cut.setPixel(x, y, clear ? (p & 0x00FFFFFFu) : p);
            }
        }
        r->images.push_back(cut);
    }
    return first;
}

}  // namespace

namespace plat::dlg {

bool imagelist_image(HIMAGELIST list, int index, QImage* out) {
    std::lock_guard<std::mutex> g(g_lists_mutex);
    ImageListRecord* r = record_locked(list);
    if (!r || index < 0 || index >= int(r->images.size())) return false;
    *out = r->images[size_t(index)];
    return true;
}

int imagelist_add(HIMAGELIST list, HBITMAP image, int count, COLORREF mask) {
    MaskRule rule;
    if (mask != CLR_NONE) {
        rule.kind = MaskRule::Colour;
        rule.colour = gdi::to_qrgb(mask);
    }
    return add_images(list, bitmap_copy(image), rule, count);
}

bool draw_image(HDC hdc, int x, int y, const QImage& image, bool greyed) {
    gdi::Target t;
    if (!gdi::open_target(hdc, &t)) return false;
    const QRgb shadow = gdi::to_qrgb(GetSysColor(COLOR_BTNSHADOW));
    const QRgb light = gdi::to_qrgb(GetSysColor(COLOR_BTNHIGHLIGHT));
    auto put = [&](int px, int py, QRgb c) {
        if (t.clip.contains(px, py)) t.row(py)[px] = c | 0xFF000000u;
    };
    auto dark = [&](int ix, int iy) {
        QRgb p = image.pixel(ix, iy);
        return qAlpha(p) != 0 && qGray(p) < 192;
    };
    // The disabled look: the dark pixels as a light shape offset by one, then in shadow.
    for (int pass = greyed ? 0 : 1; pass < 2; ++pass) {
        for (int iy = 0; iy < image.height(); ++iy) {
            for (int ix = 0; ix < image.width(); ++ix) {
                if (!greyed) {
                    QRgb p = image.pixel(ix, iy);
                    if (qAlpha(p) != 0) put(x + ix, y + iy, p);
                } else if (dark(ix, iy)) {
                    put(x + ix + (pass == 0), y + iy + (pass == 0), pass == 0 ? light : shadow);
                }
            }
        }
    }
    t.mark(QRect(x, y, image.width() + 1, image.height() + 1));
    return true;
}

}  // namespace plat::dlg

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int, int) {
    if (cx < 1 || cy < 1) return nullptr;
    auto* r = new ImageListRecord;
    r->cx = cx;
    r->cy = cy;
    r->masked = (flags & ILC_MASK) != 0;
    std::lock_guard<std::mutex> g(g_lists_mutex);
    g_lists.insert(r);
    return reinterpret_cast<HIMAGELIST>(r);
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
    MaskRule rule;
    if (mask) {
        rule.kind = MaskRule::Bitmap;
        rule.bitmap = bitmap_copy(mask);
        if (rule.bitmap.isNull()) return -1;
    }
    return add_images(list, bitmap_copy(image), rule);
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask) {
    MaskRule rule;
    rule.kind = MaskRule::Colour;
    rule.colour = gdi::to_qrgb(mask);
    return add_images(list, bitmap_copy(image), rule);
}

HIMAGELIST ImageList_LoadImage(HINSTANCE inst, LPCSTR name, int cx, int grow, COLORREF mask,
                               UINT type, UINT) {
    if (type != IMAGE_BITMAP || cx < 1) return nullptr;
    int w = 0, h = 0;
    std::vector<DWORD> pixels;
    if (!res::find_bitmap(inst, name, &w, &h, &pixels)) return nullptr;
    bool masked = mask != CLR_NONE;
    HIMAGELIST list = ImageList_Create(cx, h, masked ? ILC_MASK | ILC_COLOR24 : ILC_COLOR24,
                                       std::max(1, w / cx), grow);
    if (!list) return nullptr;
    QImage source(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) source.setPixel(x, y, pixels[size_t(y) * w + x] | 0xFF000000u);
    MaskRule rule;
    if (masked) {
        rule.kind = MaskRule::Colour;
        rule.colour = mask == CLR_DEFAULT ? source.pixel(0, 0) : gdi::to_qrgb(mask);
    }
    if (add_images(list, source, rule) < 0) {
        ImageList_Destroy(list);
        return nullptr;
    }
    return list;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC hdc, int x, int y, UINT style) {
    QImage image;
    if (!plat::dlg::imagelist_image(list, index, &image)) return FALSE;
    if (style & ILD_MASK) {
        for (int iy = 0; iy < image.height(); ++iy)
            for (int ix = 0; ix < image.width(); ++ix)
                image.setPixel(ix, iy, qAlpha(image.pixel(ix, iy)) ? 0xFF000000u : 0xFFFFFFFFu);
    }
    return plat::dlg::draw_image(hdc, x, y, image, false) ? TRUE : FALSE;
}

int ImageList_GetImageCount(HIMAGELIST list) {
    std::lock_guard<std::mutex> g(g_lists_mutex);
    ImageListRecord* r = record_locked(list);
    return r ? int(r->images.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
    std::lock_guard<std::mutex> g(g_lists_mutex);
    ImageListRecord* r = record_locked(list);
    if (!r) return FALSE;
    if (cx) *cx = r->cx;
    if (cy) *cy = r->cy;
    return TRUE;
}

BOOL ImageList_Destroy(HIMAGELIST list) {
    std::lock_guard<std::mutex> g(g_lists_mutex);
    ImageListRecord* r = record_locked(list);
    if (!r) return FALSE;
    g_lists.erase(r);
    delete r;
    return TRUE;
}
