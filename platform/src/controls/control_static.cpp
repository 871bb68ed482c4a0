// "STATIC": text labels (left, centred, right; '&' marks no mnemonic here and
// is dropped unless SS_NOPREFIX), frames, etched lines, filled rectangles and
// pictures (SS_BITMAP, set with STM_SETIMAGE or named by the text).
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <map>

#include "controls/common_controls.h"
#include "controls_private.h"
#include "painting/painting_private.h"
#include "windows/windows_private.h"

namespace plat::dlg {

namespace {

std::map<HWND, HANDLE> g_images;  // the picture each control shows, user-interface thread only

bool is_text(DWORD t) {
    return t == SS_LEFT || t == SS_CENTER || t == SS_RIGHT || t == SS_SIMPLE ||
           t == SS_LEFTNOWORDWRAP;
}

QString label_text(DWORD style, const QString& text) {
    if (style & SS_NOPREFIX) return text;
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '&') {
            out += '&';
            ++i;
        }
    }
    return out;
}

QImage bitmap_image(HBITMAP bitmap) {
    std::lock_guard lock(gdi::registry_mutex());
    gdi::Object* o = gdi::obj_locked(bitmap);
    return o && o->kind == gdi::ObjKind::Bitmap ? o->image.copy() : QImage();
}

QFrame* make_frame(QWidget* parent, DWORD t) {
    auto* f = new QFrame(parent);
    switch (t) {
        case SS_ETCHEDHORZ:
            f->setFrameStyle(QFrame::HLine | QFrame::Sunken);
            break;
        case SS_ETCHEDVERT:
            f->setFrameStyle(QFrame::VLine | QFrame::Sunken);
            break;
        case SS_ETCHEDFRAME:
            f->setFrameStyle(QFrame::Box | QFrame::Sunken);
            break;
        case SS_BLACKRECT:
        case SS_GRAYRECT:
        case SS_WHITERECT: {
            QColor c = t == SS_BLACKRECT ? Qt::black : t == SS_GRAYRECT ? Qt::gray : Qt::white;
            QPalette pal = f->palette();
            pal.setColor(QPalette::Window, c);
            f->setPalette(pal);
            f->setAutoFillBackground(true);
            break;
        }
        default:
            f->setFrameStyle(QFrame::Box | QFrame::Plain);
            break;
    }
    return f;
}

QWidget* make_widget(HWND hwnd, const CREATESTRUCT* cs) {
    QWidget* parent = client_widget_of(hwnd);
    DWORD style = DWORD(cs->style), t = style & SS_TYPEMASK;
    QString text = from_text(cs->lpszName);
    if (is_text(t)) {
        auto* label = new QLabel(label_text(style, text), parent);
        Qt::Alignment h = t == SS_CENTER  ? Qt::AlignHCenter
                          : t == SS_RIGHT ? Qt::AlignRight
                                          : Qt::AlignLeft;
        label->setAlignment(h | ((style & SS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop));
        label->setWordWrap(t == SS_LEFT || t == SS_CENTER || t == SS_RIGHT);
        if (style & SS_SUNKEN) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return label;
    }
    if (t == SS_BITMAP || t == SS_ICON) {
        auto* label = new QLabel(parent);
        label->setAlignment((style & SS_CENTERIMAGE) ? Qt::AlignCenter
                                                     : Qt::AlignLeft | Qt::AlignTop);
        if (t == SS_BITMAP && cs->lpszName && *cs->lpszName) {
            HBITMAP b = LoadBitmap(cs->hInstance, cs->lpszName);
            if (b) label->setPixmap(QPixmap::fromImage(bitmap_image(b)));
            g_images[hwnd] = b;
        }
        return label;
    }
    // Frames and rectangles are drawn around or behind other controls.
    if (QWidget* f = frame_of(hwnd)) {
        f->lower();
        f->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    return make_frame(parent, t);
}

LRESULT set_image(HWND hwnd, WPARAM kind, LPARAM lp) {
    HANDLE old = g_images[hwnd];
    auto handle = reinterpret_cast<HANDLE>(lp);
    g_images[hwnd] = handle;
    auto* label = qobject_cast<QLabel*>(control_widget(hwnd));
    if (label && kind == IMAGE_BITMAP) {
        QImage img = handle ? bitmap_image(handle) : QImage();
        if (img.isNull())
            label->clear();
        else
            label->setPixmap(QPixmap::fromImage(img));
    }
    return reinterpret_cast<LRESULT>(old);
}

}  // namespace

LRESULT CALLBACK static_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            adopt_widget(hwnd, make_widget(hwnd, reinterpret_cast<CREATESTRUCT*>(lp)));
            return 0;
        case WM_SETTEXT: {
            QString text = from_text(reinterpret_cast<LPCSTR>(lp));
            store_text(hwnd, text);
            auto* label = qobject_cast<QLabel*>(control_widget(hwnd));
            DWORD style = DWORD(GetWindowLong(hwnd, GWL_STYLE));
            if (label && is_text(style & SS_TYPEMASK)) label->setText(label_text(style, text));
            return TRUE;
        }
        case STM_SETIMAGE:
            return set_image(hwnd, wp, lp);
        case WM_PAINT:
            apply_control_colours(hwnd);
            return control_default(hwnd, msg, wp, lp);
        case STM_GETIMAGE:
            return reinterpret_cast<LRESULT>(g_images[hwnd]);
        case WM_DESTROY:
            g_images.erase(hwnd);
            return control_default(hwnd, msg, wp, lp);
        default:
            return control_default(hwnd, msg, wp, lp);
    }
}

}  // namespace plat::dlg
