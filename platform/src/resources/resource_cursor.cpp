// Cursors and icons: the standard cursors as Qt cursor shapes, the program's
// own cursors from the registry, cursor files. SetCursor applies the cursor on
// the user-interface thread: the busy shapes (wait, app-starting) and a hidden
// cursor become the application's override cursor; any other cursor removes
// that override and goes to the window under the mouse (or holding capture).
#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <map>
#include <memory>
#include <unordered_set>

#include "resources_private.h"
#include "windows/windows_private.h"

namespace {

struct Cursor {
    bool shared = true;  // standard and registered cursors outlive DestroyCursor
    int shape = -1;      // a Qt::CursorShape, or -1 for an image cursor
    QImage image;
    int hotX = 0, hotY = 0;
    std::unique_ptr<QCursor> qt;  // made on the user-interface thread when first needed
};

struct CursorImage {
    int w = 0, h = 0;
    std::vector<DWORD> pixels;
    int hotX = 0, hotY = 0;
};

struct State {
    std::mutex m;
    std::unordered_set<const void*> live;
    std::map<int, Cursor*> standard;       // by cursor id
    std::map<int, Cursor*> standardIcons;  // by icon id
    std::map<std::pair<HINSTANCE, std::string>, CursorImage> registered;
    std::map<std::pair<HINSTANCE, std::string>, Cursor*> loaded;
    HCURSOR current = nullptr;
    bool currentSet = false;
    int showCount = 0;
    bool overridden = false;  // only touched on the user-interface thread
};

// Cursor records live as long as the process: handles may be kept anywhere.
State& state() {
    static State* s = new State;
    return *s;
}

int shape_of_id(uintptr_t id) {
    switch (id) {
        case 32512:
            return Qt::ArrowCursor;
        case 32513:
            return Qt::IBeamCursor;
        case 32514:
            return Qt::WaitCursor;
        case 32515:
            return Qt::CrossCursor;
        case 32516:
            return Qt::UpArrowCursor;
        case 32642:
            return Qt::SizeFDiagCursor;
        case 32643:
            return Qt::SizeBDiagCursor;
        case 32644:
            return Qt::SizeHorCursor;
        case 32645:
            return Qt::SizeVerCursor;
        case 32646:
            return Qt::SizeAllCursor;
        case 32648:
            return Qt::ForbiddenCursor;
        case 32649:
            return Qt::PointingHandCursor;
        case 32650:
            return Qt::BusyCursor;
        case 32651:
            return Qt::WhatsThisCursor;
        default:
            return -1;
    }
}

Cursor* add_locked(State& s, Cursor* c) {
    s.live.insert(c);
    return c;
}

Cursor* cursor_locked(State& s, HCURSOR h) {
    return h && s.live.count(h) ? static_cast<Cursor*>(h) : nullptr;
}

Cursor* standard_locked(State& s, int id) {
    auto it = s.standard.find(id);
    if (it != s.standard.end()) return it->second;
    int shape = shape_of_id(uintptr_t(id));
    if (shape < 0) return nullptr;
    auto* c = new Cursor;
    c->shape = shape;
    return s.standard[id] = add_locked(s, c);
}

// Our own application icon: a small window with a blue caption.
QImage application_icon() {
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int y = 3; y < 29; ++y)
        for (int x = 2; x < 30; ++x) {
            bool frame = x == 2 || x == 29 || y == 3 || y == 28;
            img.setPixel(x, y, frame ? 0xFF000000u : y < 9 ? 0xFF000080u : 0xFFFFFFFFu);
        }
    return img;
}

Cursor* image_cursor(const QImage& img, int hx, int hy, bool shared) {
    auto* c = new Cursor;
    c->shared = shared;
    c->image = img.convertToFormat(QImage::Format_ARGB32).copy();
    c->hotX = hx;
    c->hotY = hy;
    return c;
}

// A cursor the program registered, made once and then shared.
Cursor* registered_locked(State& s, HINSTANCE inst, LPCSTR name) {
    auto k = std::make_pair(inst, res::key(name));
    if (auto it = s.loaded.find(k); it != s.loaded.end()) return it->second;
    auto it = s.registered.find(k);
    if (it == s.registered.end()) return nullptr;
    const CursorImage& ci = it->second;
    QImage img(reinterpret_cast<const uchar*>(ci.pixels.data()), ci.w, ci.h, QImage::Format_ARGB32);
    return s.loaded[k] = add_locked(s, image_cursor(img, ci.hotX, ci.hotY, true));
}

// The hot spot of a .cur file's first image (header: reserved, type 2, count;
// then entries with the hot spot at bytes 4-7).
bool cur_hot_spot(const QByteArray& bytes, int* hx, int* hy) {
    if (bytes.size() < 22) return false;
    auto u16 = [&](int at) { return int(uint8_t(bytes[at])) | (int(uint8_t(bytes[at + 1])) << 8); };
    if (u16(0) != 0 || u16(2) != 2 || u16(4) < 1) return false;
    *hx = u16(10);
    *hy = u16(12);
    return true;
}

const QCursor* qt_cursor(Cursor* c) {
    if (!c->qt) {
        if (c->shape >= 0) {
            c->qt = std::make_unique<QCursor>(static_cast<Qt::CursorShape>(c->shape));
        } else {
            c->qt = std::make_unique<QCursor>(QPixmap::fromImage(c->image), c->hotX, c->hotY);
        }
    }
    return c->qt.get();
}

bool is_busy(const Cursor* c) {
    return c && (c->shape == Qt::WaitCursor || c->shape == Qt::BusyCursor);
}

QWidget* window_under_mouse() {
    if (QWidget* w = plat::widget_of(GetCapture())) return w;
    for (QWidget* w = QApplication::widgetAt(QCursor::pos()); w; w = w->parentWidget())
        if (plat::hwnd_of(w)) return w;
    return nullptr;
}

// Brings the visible cursor in line with the current one (user-interface thread).
void apply() {
    State& s = state();
    std::unique_ptr<QCursor> wanted;
    QCursor forWindow;
    bool toWindow = false;
    {
        std::lock_guard<std::mutex> g(s.m);
        Cursor* c = cursor_locked(s, s.current);
        if (s.showCount < 0 || (s.currentSet && !s.current)) {
            wanted = std::make_unique<QCursor>(Qt::BlankCursor);
        } else if (is_busy(c)) {
            wanted = std::make_unique<QCursor>(*qt_cursor(c));
        } else if (c) {
            forWindow = *qt_cursor(c);
            toWindow = true;
        }
    }
    if (wanted) {
        if (s.overridden)
            QGuiApplication::changeOverrideCursor(*wanted);
        else
            QGuiApplication::setOverrideCursor(*wanted);
        s.overridden = true;
        return;
    }
    if (s.overridden) {
        QGuiApplication::restoreOverrideCursor();
        s.overridden = false;
    }
    if (toWindow) {
        if (QWidget* w = window_under_mouse()) w->setCursor(forWindow);
    }
}

void apply_soon() {
    if (!qApp) return;
    if (PlatformIsUiThread())
        apply();
    else
        QMetaObject::invokeMethod(qApp, &apply, Qt::QueuedConnection);
}

}  // namespace

namespace res {

bool cursor_image(HCURSOR cursor, QImage* image, int* hotX, int* hotY) {
    State& s = state();
    std::lock_guard<std::mutex> g(s.m);
    Cursor* c = cursor_locked(s, cursor);
    if (!c || c->image.isNull()) return false;
    *image = c->image;
    *hotX = c->hotX;
    *hotY = c->hotY;
    return true;
}

}  // namespace res

namespace plat {

const void* cursor_data(HCURSOR cursor) {
    State& s = state();
    std::lock_guard<std::mutex> g(s.m);
    Cursor* c = cursor_locked(s, cursor);
    return c ? qt_cursor(c) : nullptr;
}

}  // namespace plat

void PlatformAddCursor(HINSTANCE inst, LPCSTR name, int w, int h, const DWORD* pixels, int hotX,
                       int hotY) {
    if (!name || w <= 0 || h <= 0 || !pixels) return;
    State& s = state();
    std::lock_guard<std::mutex> g(s.m);
    auto k = std::make_pair(res::instance(inst), res::key(name));
    s.registered[k] =
        CursorImage{w, h, std::vector<DWORD>(pixels, pixels + size_t(w) * h), hotX, hotY};
    s.loaded.erase(k);
}

HCURSOR LoadCursor(HINSTANCE inst, LPCSTR name) {
    if (!name) return nullptr;
    State& s = state();
    std::lock_guard<std::mutex> g(s.m);
    if (inst)
        if (Cursor* c = registered_locked(s, inst, name)) return c;
    if (!IS_INTRESOURCE(name)) return nullptr;
    return standard_locked(s, int(reinterpret_cast<uintptr_t>(name)));
}

HICON LoadIcon(HINSTANCE inst, LPCSTR name) {
    if (!name) return nullptr;
    State& s = state();
    if (inst) {
        int w = 0, h = 0;
        std::vector<DWORD> px;
        bool asBitmap = res::find_bitmap(inst, name, &w, &h, &px);
        std::lock_guard<std::mutex> g(s.m);
        if (Cursor* c = registered_locked(s, inst, name)) return c;
        if (!asBitmap) return nullptr;
        auto k = std::make_pair(inst, "ICON:" + res::key(name));
        if (auto it = s.loaded.find(k); it != s.loaded.end()) return it->second;
        for (DWORD& p : px) p |= 0xFF000000u;
        QImage img(reinterpret_cast<const uchar*>(px.data()), w, h, QImage::Format_ARGB32);
        return s.loaded[k] = add_locked(s, image_cursor(img, w / 2, h / 2, true));
    }
    if (!IS_INTRESOURCE(name)) return nullptr;
    int id = int(reinterpret_cast<uintptr_t>(name));
    if (id < 32512 || id > 32517) return nullptr;
    std::lock_guard<std::mutex> g(s.m);
    auto it = s.standardIcons.find(id);
    if (it != s.standardIcons.end()) return it->second;
    return s.standardIcons[id] = add_locked(s, image_cursor(application_icon(), 16, 16, true));
}

HCURSOR LoadCursorFromFile(LPCSTR path) {
    if (!path) return nullptr;
    QFile f(QString::fromUtf8(path));
    if (!f.open(QIODevice::ReadOnly)) return nullptr;
    QByteArray bytes = f.readAll();
    int hx = -1, hy = -1;
    QImage img;
    if (cur_hot_spot(bytes, &hx, &hy)) {
        bytes[2] = 1;  // read as the icon it otherwise is
        img.loadFromData(bytes, "ICO");
    } else {
        img.loadFromData(bytes);
    }
    if (img.isNull()) return nullptr;
    if (hx < 0 || hx >= img.width() || hy < 0 || hy >= img.height()) {
        hx = img.width() / 2;
        hy = img.height() / 2;
    }
    State& s = state();
    std::lock_guard<std::mutex> g(s.m);
    return add_locked(s, image_cursor(img, hx, hy, false));
}

HCURSOR SetCursor(HCURSOR cursor) {
    State& s = state();
    HCURSOR prev;
    {
        std::lock_guard<std::mutex> g(s.m);
        if (cursor && !cursor_locked(s, cursor)) return nullptr;
        prev = s.currentSet ? s.current : standard_locked(s, 32512);
        s.current = cursor;
        s.currentSet = true;
    }
    apply_soon();
    return prev;
}

HCURSOR GetCursor(void) {
    State& s = state();
    std::lock_guard<std::mutex> g(s.m);
    return s.currentSet ? s.current : standard_locked(s, 32512);
}

BOOL DestroyCursor(HCURSOR cursor) {
    State& s = state();
    std::lock_guard<std::mutex> g(s.m);
    Cursor* c = cursor_locked(s, cursor);
    if (!c) return FALSE;
    if (c->shared || s.current == cursor) return TRUE;
    s.live.erase(c);
    delete c;
    return TRUE;
}

int ShowCursor(BOOL show) {
    State& s = state();
    int count;
    {
        std::lock_guard<std::mutex> g(s.m);
        count = show ? ++s.showCount : --s.showCount;
    }
    apply_soon();
    return count;
}
