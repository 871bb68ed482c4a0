// Message boxes and the question hook. With a hook installed every question
// goes to it on the asking thread; without one, a modal QMessageBox is shown on
// the user-interface thread (a box asked from another thread is handed over
// and waited for, as a sent message).
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <string>
#include <vector>

#include "windows/windows_private.h"

namespace {

struct Hook {
    std::mutex m;
    PlatformQuestionHook fn = nullptr;
    void* ctx = nullptr;
};

Hook& hook() {
    static Hook h;
    return h;
}

struct ButtonSet {
    UINT type;
    std::vector<int> ids;
    int escape;  // 0: the box cannot be dismissed without a choice
};

const ButtonSet kButtonSets[] = {
    {MB_OK, {IDOK}, IDOK},
    {MB_OKCANCEL, {IDOK, IDCANCEL}, IDCANCEL},
    {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}, 0},
    {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, IDCANCEL},
    {MB_YESNO, {IDYES, IDNO}, 0},
    {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, IDCANCEL},
};

QMessageBox::StandardButton standard_button(int id) {
    switch (id) {
        case IDOK:
            return QMessageBox::Ok;
        case IDCANCEL:
            return QMessageBox::Cancel;
        case IDABORT:
            return QMessageBox::Abort;
        case IDRETRY:
            return QMessageBox::Retry;
        case IDIGNORE:
            return QMessageBox::Ignore;
        case IDYES:
            return QMessageBox::Yes;
        case IDNO:
            return QMessageBox::No;
        default:
            return QMessageBox::NoButton;
    }
}

QMessageBox::Icon icon_of(UINT type) {
    switch (type & 0xF0u) {
        case MB_ICONHAND:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        case MB_ICONASTERISK:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

const ButtonSet& buttons_of(UINT type) {
    for (const ButtonSet& s : kButtonSets)
        if (s.type == (type & 0xFu)) return s;
    return kButtonSets[0];
}

QString box_text(LPCSTR text) {
    QString s = QString::fromUtf8(text ? text : "");
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

// The boxes open on the user-interface thread, innermost last.
struct OpenBox {
    QMessageBox* box;
    HWND owner;
    UINT type;
    std::vector<std::pair<QAbstractButton*, int>> buttons;
};
std::vector<OpenBox*> g_open;  // user-interface thread only

// Texts handed out by answer_message_box.
struct Shown {
    std::mutex m;
    std::string text, caption;
};
Shown& shown() {
    static Shown s;
    return s;
}

// The modal box itself (user-interface thread).
int show_box(HWND owner, const QString& text, const QString& caption, UINT type) {
    QWidget* parent = owner ? plat::widget_of(owner) : nullptr;
    QMessageBox box(parent ? parent->window() : nullptr);
    box.setWindowTitle(caption);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(icon_of(type));
    const ButtonSet& set = buttons_of(type);
    std::vector<std::pair<QAbstractButton*, int>> made;
    for (int id : set.ids) made.emplace_back(box.addButton(standard_button(id)), id);
    size_t def = (type >> 8) & 0xFu;
    if (def >= made.size()) def = 0;
    box.setDefaultButton(static_cast<QPushButton*>(made[def].first));
    for (auto& [button, id] : made)
        if (id == set.escape) box.setEscapeButton(button);
    // Calls other threads hand over keep being served while the box is up.
    QTimer serve;
    QObject::connect(&serve, &QTimer::timeout, [] { PlatformServeSentMessages(); });
    serve.start(20);
    OpenBox open{&box, owner, type, made};
    g_open.push_back(&open);
    box.exec();
    g_open.erase(std::find(g_open.begin(), g_open.end(), &open));
    for (auto& [button, id] : made)
        if (box.clickedButton() == button) return id;
    return set.escape ? set.escape : set.ids.back();
}

}  // namespace

namespace plat::dlg {

PlatformQuestionHook set_question_hook(PlatformQuestionHook fn, void* ctx) {
    Hook& h = hook();
    std::lock_guard<std::mutex> g(h.m);
    PlatformQuestionHook prev = h.fn;
    h.fn = fn;
    h.ctx = fn ? ctx : nullptr;
    return prev;
}

bool answer_message_box(int id, PlatformQuestion* out) {
    if (!qApp) return false;
    LRESULT pressed = plat::run_on_ui([id, out]() -> LRESULT {
        if (g_open.empty()) return FALSE;
        OpenBox* open = g_open.back();
        if (out) {
            Shown& s = shown();
            std::lock_guard<std::mutex> g(s.m);
            s.text = open->box->text().toStdString();
            s.caption = open->box->windowTitle().toStdString();
            *out = PlatformQuestion{"MessageBox", s.text.c_str(), s.caption.c_str(),
                                    open->type,   open->owner,    nullptr};
        }
        QAbstractButton* press = nullptr;
        if (id == 0)
            press = open->box->defaultButton();
        else if (id == -1)
            press = open->box->escapeButton();
        for (auto& [button, bid] : open->buttons)
            if (bid == id) press = button;
        if (!press) return FALSE;
        press->click();
        return TRUE;
    });
    return pressed != 0;
}

}  // namespace plat::dlg

BOOL PlatformAskHook(const PlatformQuestion* q, INT_PTR* answer) {
    PlatformQuestionHook fn;
    void* ctx;
    {
        Hook& h = hook();
        std::lock_guard<std::mutex> g(h.m);
        fn = h.fn;
        ctx = h.ctx;
    }
    if (!fn || !q) return FALSE;
    INT_PTR a = fn(q, ctx);
    if (answer) *answer = a;
    return TRUE;
}

int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    PlatformQuestion q{"MessageBox", text ? text : "", caption ? caption : "Error", type,
                       owner,        nullptr};
    INT_PTR answer = 0;
    if (PlatformAskHook(&q, &answer)) return static_cast<int>(answer);
    if (!qApp) return 0;
    QString t = box_text(text), c = QString::fromUtf8(q.caption);
    return static_cast<int>(plat::run_on_ui([&] { return LRESULT(show_box(owner, t, c, type)); }));
}

BOOL MessageBeep(UINT type) {
    if (!qApp) return FALSE;
    if (PlatformIsUiThread())
        QApplication::beep();
    else
        QMetaObject::invokeMethod(
            qApp, [] { QApplication::beep(); }, Qt::QueuedConnection);
    return TRUE;
}
