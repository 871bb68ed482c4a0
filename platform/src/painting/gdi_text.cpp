// Text drawn with the selected font in the text colour; an opaque background
// mode fills the text's box with the background colour first. Texts are UTF-8.
#include <QFontMetrics>
#include <QPainter>

#include "painting_private.h"

namespace gdi {

namespace {

QString decode(LPCSTR text, int len) {
    if (!text) return QString();
    return len < 0 ? QString::fromUtf8(text) : QString::fromUtf8(text, len);
}

int qt_flags(UINT format) {
    int f = 0;
    if (format & DT_CENTER)
        f |= Qt::AlignHCenter;
    else if (format & DT_RIGHT)
        f |= Qt::AlignRight;
    else
        f |= Qt::AlignLeft;
    if (format & DT_SINGLELINE) {
        f |= Qt::TextSingleLine;
        if (format & DT_VCENTER)
            f |= Qt::AlignVCenter;
        else if (format & DT_BOTTOM)
            f |= Qt::AlignBottom;
        else
            f |= Qt::AlignTop;
    } else {
        f |= Qt::AlignTop;
    }
    if (format & DT_WORDBREAK) f |= Qt::TextWordWrap;
    if (format & DT_EXPANDTABS) f |= Qt::TextExpandTabs;
    if (!(format & DT_NOPREFIX)) f |= Qt::TextShowMnemonic;
    return f;
}

// Line breaks as Qt lays them out: "\r\n" and a lone '\r' are one break; a
// single-line text shows them as spaces.
QString prepare(QString s, UINT format) {
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (format & DT_SINGLELINE) s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}

// Draws s laid out in box; an opaque background fills 'back' first.
void draw(Target& t, const QFont& font, const QRect& box, int flags, const QString& s,
          const QRect& clip, const QRect& back) {
    const DCState& st = t.dc->st;
    QRect br = back | QFontMetrics(font).boundingRect(box, flags, s);
    QPainter p(t.image);
    p.setClipRect(clip & t.clip);
    if (st.bkMode == OPAQUE) p.fillRect(back, QColor(to_qrgb(st.bkColor)));
    p.setFont(font);
    p.setPen(QColor(to_qrgb(st.textColor)));
    p.drawText(box, flags, s);
    p.end();
    t.mark(br & clip);
}

}  // namespace

}  // namespace gdi

using namespace gdi;

BOOL TextOut(HDC hdc, int x, int y, LPCSTR text, int len) {
    if (!text) return FALSE;
    Target t;
    if (!open_target(hdc, &t)) return FALSE;
    QString s = decode(text, len);
    QFont font = font_of(t.dc->st);
    QFontMetrics fm(font);
    QRect box(x, y, fm.horizontalAdvance(s), fm.height());
    if (!t.clip.intersects(box)) return TRUE;
    draw(t, font, box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, s,
         t.clip, box);
    return TRUE;
}

int DrawText(HDC hdc, LPCSTR text, int len, RECT* rc, UINT format) {
    if (!text || !rc) return 0;
    DC* dc = dc_of(hdc);
    if (!dc) return 0;
    QFont font = font_of(dc->st);
    QFontMetrics fm(font);
    QString s = prepare(decode(text, len), format);
    int flags = qt_flags(format);
    QRect box = to_qrect(rc->left, rc->top, rc->right, rc->bottom);
    if (box.isNull()) box = QRect(rc->left, rc->top, 0, 0);
    if ((format & DT_END_ELLIPSIS) && (format & DT_SINGLELINE))
        s = fm.elidedText(s, Qt::ElideRight, box.width(), flags & Qt::TextShowMnemonic);
    if (format & DT_CALCRECT) {
        QRect wide(rc->left, rc->top, (format & DT_WORDBREAK) ? box.width() : 1 << 20, 1 << 20);
        QRect br = fm.boundingRect(
            wide, flags & ~(Qt::AlignHCenter | Qt::AlignRight | Qt::AlignVCenter | Qt::AlignBottom),
            s);
        rc->right = rc->left + br.width();
        rc->bottom = rc->top + br.height();
        return br.height();
    }
    QRect br = fm.boundingRect(box, flags, s);
    Target t;
    if (!open_target(hdc, &t)) return 0;
    QRect clip = (format & DT_NOCLIP) ? t.clip : box;
    draw(t, font, box, flags, s, clip, br);
    return (format & DT_SINGLELINE) ? br.bottom() + 1 - rc->top : br.height();
}

BOOL GetTextExtentPoint32(HDC hdc, LPCSTR text, int len, SIZE* out) {
    DC* dc = dc_of(hdc);
    if (!dc || !out || !text) return FALSE;
    QFontMetrics fm(font_of(dc->st));
    out->cx = fm.horizontalAdvance(decode(text, len));
    out->cy = fm.height();
    return TRUE;
}
