// "tooltips_class32": a list of tools per tooltip control. The control itself
// stays hidden; it watches the client widgets of the windows that hold its
// tools for Qt's tooltip event (the end of the hover delay) and shows the
// tool's text as the desktop's tooltip.
#include <QEvent>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "controls/common_controls.h"
#include "input/input_private.h"
#include "windows/windows_private.h"

namespace plat::dlg {

namespace {

struct Tool {
    UINT flags = 0;
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    RECT rect{0, 0, 0, 0};
    HINSTANCE hinst = nullptr;
    enum Source { Text, StringId, Callback } source = Text;
    std::string text;
    UINT string_id = 0;
    LPARAM lParam = 0;
};

struct Tip {
    std::vector<Tool> tools;
    bool active = true;
    int max_width = -1;
};

std::map<HWND, Tip> g_tips;  // user-interface thread only

// The window whose client area the tool covers, and the covered rectangle.
HWND tool_window(const Tool& t) {
    return (t.flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(t.id) : t.hwnd;
}

RECT tool_rect(const Tool& t) {
    if (!(t.flags & TTF_IDISHWND)) return t.rect;
    RECT rc{};
    GetClientRect(tool_window(t), &rc);
    return rc;
}

TOOLINFO read_info(LPARAM lp) {
    TOOLINFO ti{};
    if (!lp) return ti;
    auto* given = reinterpret_cast<const TOOLINFO*>(lp);
    std::memcpy(&ti, given, std::min<size_t>(given->cbSize ? given->cbSize : sizeof ti, sizeof ti));
    return ti;
}

void set_text(Tool& t, HINSTANCE hinst, LPSTR text) {
    t.hinst = hinst;
    if (text == LPSTR_TEXTCALLBACK) {
        t.source = Tool::Callback;
    } else if (text && IS_INTRESOURCE(text)) {
        t.source = Tool::StringId;
        t.string_id = LOWORD(reinterpret_cast<uintptr_t>(text));
    } else {
        t.source = Tool::Text;
        t.text = text ? text : "";
    }
}

Tool* find_tool(Tip& tip, HWND hwnd, UINT_PTR id) {
    for (Tool& t : tip.tools)
        if (t.hwnd == hwnd && t.id == id) return &t;
    return nullptr;
}

std::string load_string(HINSTANCE inst, UINT id) {
    char buf[1024];
    return LoadString(inst, id, buf, sizeof buf) > 0 ? std::string(buf) : std::string();
}

// Without TTS_NOPREFIX a tip drops mnemonic marks and what follows a tab.
std::string shown_form(HWND tip, const std::string& text) {
    if (GetWindowLong(tip, GWL_STYLE) & TTS_NOPREFIX) return text;
    std::string out;
    for (size_t i = 0; i < text.size() && text[i] != '\t'; ++i) {
        if (text[i] != '&')
            out += text[i];
        else if (i + 1 < text.size() && text[i + 1] == '&')
            out += text[++i];
    }
    return out;
}

// The tool's text now; a callback tool asks its window.
std::string text_of(HWND tip, const Tool& tool) {
    if (tool.source == Tool::StringId) return load_string(tool.hinst, tool.string_id);
    if (tool.source == Tool::Text) return tool.text;
    NMTTDISPINFO di{};
    di.hdr.hwndFrom = tip;
    di.hdr.idFrom = tool.id;
    di.hdr.code = TTN_GETDISPINFO;
    di.lpszText = di.szText;
    di.uFlags = tool.flags;
    di.lParam = tool.lParam;
    HWND to = tool.hwnd;
    UINT_PTR id = tool.id;
    SendMessage(to, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&di));
    di.szText[sizeof di.szText - 1] = '\0';
    std::string text;
    if (di.lpszText == LPSTR_TEXTCALLBACK)
        text.clear();
    else if (IS_INTRESOURCE(di.lpszText))
        text = di.lpszText ? load_string(di.hinst, LOWORD(reinterpret_cast<uintptr_t>(di.lpszText)))
                           : std::string();
    else
        text = di.lpszText;
    // The tool may be gone once the window has answered.
    auto it = g_tips.find(tip);
    Tool* kept = it == g_tips.end() ? nullptr : find_tool(it->second, to, id);
    if (kept && (di.uFlags & TTF_DI_SETITEM)) {
        kept->source = Tool::Text;
        kept->text = text;
    }
    return text;
}

class TipFilter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::ToolTip) return false;
        auto* w = qobject_cast<QWidget*>(watched);
        HWND hwnd = w ? hwnd_of(w) : nullptr;
        if (!hwnd) return false;
        auto* help = static_cast<QHelpEvent*>(e);
        std::string text = show_tip_at(hwnd, POINT{help->pos().x(), help->pos().y()});
        if (text.empty()) QToolTip::hideText();
        return true;
    }
};

void watch_window(HWND hwnd) {
    static TipFilter* filter = new TipFilter;
    if (QWidget* c = client_widget_of(hwnd)) c->installEventFilter(filter);
}

LRESULT add_tool(Tip& tip, LPARAM lp) {
    TOOLINFO ti = read_info(lp);
    if (!lp || !IsWindow(ti.hwnd)) return FALSE;
    Tool t;
    t.flags = ti.uFlags;
    t.hwnd = ti.hwnd;
    t.id = ti.uId;
    t.rect = ti.rect;
    t.lParam = ti.lParam;
    set_text(t, ti.hinst, ti.lpszText);
    if (!IsWindow(tool_window(t))) return FALSE;
    watch_window(tool_window(t));
    tip.tools.push_back(t);
    return TRUE;
}

LRESULT get_text(HWND hwnd, Tip& tip, WPARAM size, LPARAM lp) {
    TOOLINFO ti = read_info(lp);
    auto* out = reinterpret_cast<TOOLINFO*>(lp);
    const Tool* t = lp ? find_tool(tip, ti.hwnd, ti.uId) : nullptr;
    if (!t || !out->lpszText) return 0;
    std::string text = t->source == Tool::Callback ? std::string() : text_of(hwnd, *t);
    size_t cap = size ? size : 80;
    size_t n = std::min(text.size(), cap - 1);
    std::memcpy(out->lpszText, text.data(), n);
    out->lpszText[n] = '\0';
    return LRESULT(n);
}

LRESULT handle(HWND hwnd, Tip& tip, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case TTM_ACTIVATE:
            tip.active = wp != 0;
            if (!tip.active) QToolTip::hideText();
            return 0;
        case TTM_ADDTOOL:
            return add_tool(tip, lp);
        case TTM_DELTOOL: {
            TOOLINFO ti = read_info(lp);
            auto& v = tip.tools;
            v.erase(
                std::remove_if(v.begin(), v.end(),
                               [&](const Tool& t) { return t.hwnd == ti.hwnd && t.id == ti.uId; }),
                v.end());
            return 0;
        }
        case TTM_NEWTOOLRECT: {
            TOOLINFO ti = read_info(lp);
            if (Tool* t = find_tool(tip, ti.hwnd, ti.uId)) t->rect = ti.rect;
            return 0;
        }
        case TTM_UPDATETIPTEXT: {
            TOOLINFO ti = read_info(lp);
            if (Tool* t = find_tool(tip, ti.hwnd, ti.uId)) set_text(*t, ti.hinst, ti.lpszText);
            return 0;
        }
        case TTM_GETTEXT:
            return get_text(hwnd, tip, wp, lp);
        case TTM_GETTOOLCOUNT:
            return LRESULT(tip.tools.size());
        case TTM_SETMAXTIPWIDTH: {
            int old = tip.max_width;
            tip.max_width = int(lp);
            return old;
        }
        case TTM_POP:
            QToolTip::hideText();
            return 0;
        case TTM_SETDELAYTIME:
        case TTM_RELAYEVENT:
            return 0;
        default:
            return DefWindowProc(hwnd, msg, wp, lp);
    }
}

}  // namespace

std::string show_tip_at(HWND window, POINT pt) {
    // The tool is copied out first: asking for its text may change the lists.
    HWND owner = nullptr;
    Tool found;
    for (auto& [tip, state] : g_tips) {
        if (!state.active || owner) continue;
        for (const Tool& t : state.tools) {
            RECT r = tool_rect(t);
            if (tool_window(t) == window && pt.x >= r.left && pt.x < r.right && pt.y >= r.top &&
                pt.y < r.bottom) {
                owner = tip;
                found = t;
                break;
            }
        }
    }
    if (!owner) return std::string();
    std::string text = shown_form(owner, text_of(owner, found));
    QWidget* w = client_widget_of(window);
    if (!text.empty() && w) {
        RECT r = tool_rect(found);
        QRect area(r.left, r.top, r.right - r.left, r.bottom - r.top);
        QToolTip::showText(w->mapToGlobal(QPoint(pt.x, pt.y)), QString::fromUtf8(text), w, area);
    }
    return text;
}

LRESULT CALLBACK tooltip_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) {
        g_tips[hwnd] = Tip{};
        return 0;
    }
    auto it = g_tips.find(hwnd);
    if (it == g_tips.end()) return DefWindowProc(hwnd, msg, wp, lp);
    if (msg == WM_DESTROY) {
        g_tips.erase(it);
        return 0;
    }
    return handle(hwnd, it->second, msg, wp, lp);
}

}  // namespace plat::dlg
