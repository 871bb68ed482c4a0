// "SysAnimate32": the open clip's frames cut from its strip once, a frame
// counter and a timer of the control's own that advances it.
#include <algorithm>
#include <map>
#include <vector>

#include "controls/common_controls.h"
#include "painting/painting_private.h"
#include "resources/resources_private.h"

namespace plat::dlg {

namespace {

constexpr UINT_PTR kFrameTimer = 1;

struct Animation {
    std::vector<QImage> frames;  // ARGB32; the background colour's pixels carry alpha 0
    UINT period = 100;           // milliseconds
    int frame = 0;
    bool playing = false;
    int from = 0, to = 0;
    int repeat = 0;  // passes still to play; -1 without end
};

std::map<HWND, Animation> g_anims;  // user-interface thread only

DWORD style_of(HWND hwnd) {
    return DWORD(GetWindowLong(hwnd, GWL_STYLE));
}

void notify(HWND hwnd, int code) {
    if (HWND parent = GetParent(hwnd))
        SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code),
                    reinterpret_cast<LPARAM>(hwnd));
}

// Cuts a clip's strip into frames; false when the clip or its strip is missing.
bool load_clip(HINSTANCE inst, LPCSTR name, Animation* a) {
    DWORD size = 0;
    auto* clip =
        static_cast<const ANIMATECLIP*>(PlatformFindData(inst, RT_ANIMATECLIP, name, &size));
    if (!clip && inst)
        clip =
            static_cast<const ANIMATECLIP*>(PlatformFindData(nullptr, RT_ANIMATECLIP, name, &size));
    if (!clip || size < sizeof(ANIMATECLIP) || clip->frames < 1 || !clip->strip) return false;
    int w = 0, h = 0;
    std::vector<DWORD> px;
    if (!res::find_bitmap(inst, clip->strip, &w, &h, &px) &&
        !res::find_bitmap(nullptr, clip->strip, &w, &h, &px))
        return false;
    int fw = w / int(clip->frames);
    if (fw < 1) return false;
    DWORD background = px[0] & 0xFFFFFFu;
    a->frames.clear();
    for (int f = 0; f < int(clip->frames); ++f) {
        QImage image(fw, h, QImage::Format_ARGB32);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < fw; ++x) {
                DWORD p = px[size_t(y) * w + f * fw + x] & 0xFFFFFFu;
                image.setPixel(x, y, p == background ? p : (p | 0xFF000000u));
            }
        }
        a->frames.push_back(image);
    }
    a->period = std::max(10u, clip->msPerFrame);
    return true;
}

void stop(HWND hwnd, Animation& a, bool tell) {
    bool was = a.playing;
    a.playing = false;
    KillTimer(hwnd, kFrameTimer);
    if (was && tell) notify(hwnd, ACN_STOP);
}

LRESULT open(HWND hwnd, Animation& a, WPARAM wp, LPARAM lp) {
    stop(hwnd, a, true);
    a.frames.clear();
    a.frame = 0;
    InvalidateRect(hwnd, nullptr, TRUE);
    auto name = reinterpret_cast<LPCSTR>(lp);
    if (!name) return TRUE;
    HINSTANCE inst = wp ? reinterpret_cast<HINSTANCE>(wp)
                        : reinterpret_cast<HINSTANCE>(GetWindowLongPtr(hwnd, GWLP_HINSTANCE));
    if (!load_clip(inst, name, &a)) return FALSE;
    DWORD style = style_of(hwnd);
    if (!(style & ACS_CENTER))
        SetWindowPos(hwnd, nullptr, 0, 0, a.frames[0].width(), a.frames[0].height(),
                     SWP_NOMOVE | SWP_NOZORDER);
    if (style & ACS_AUTOPLAY) SendMessage(hwnd, ACM_PLAY, WPARAM(-1), MAKELPARAM(0, 0xFFFF));
    return TRUE;
}

LRESULT play(HWND hwnd, Animation& a, WPARAM wp, LPARAM lp) {
    if (a.frames.empty()) return FALSE;
    int last = int(a.frames.size()) - 1;
    int from = LOWORD(lp), to = HIWORD(lp) == 0xFFFF ? last : HIWORD(lp);
    if (from > to || to > last) return FALSE;
    stop(hwnd, a, true);
    a.frame = from;
    InvalidateRect(hwnd, nullptr, TRUE);
    if (from == to) return TRUE;
    a.from = from;
    a.to = to;
    a.repeat = int(wp) == -1 ? -1 : std::max(1, int(wp));
    a.playing = true;
    SetTimer(hwnd, kFrameTimer, a.period, nullptr);
    notify(hwnd, ACN_START);
    return TRUE;
}

void tick(HWND hwnd, Animation& a) {
    if (!a.playing) return;
    if (a.frame < a.to) {
        ++a.frame;
    } else if (a.repeat != -1 && --a.repeat <= 0) {
        stop(hwnd, a, true);
        return;
    } else {
        a.frame = a.from;
    }
    InvalidateRect(hwnd, nullptr, FALSE);
}

void paint(HWND hwnd, const Animation& a) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc{};
    GetClientRect(hwnd, &rc);
    DWORD style = style_of(hwnd);
    bool transparent = style & ACS_TRANSPARENT;
    HBRUSH back = nullptr;
    if (transparent && GetParent(hwnd))
        back = reinterpret_cast<HBRUSH>(SendMessage(GetParent(hwnd), WM_CTLCOLORSTATIC,
                                                    reinterpret_cast<WPARAM>(dc),
                                                    reinterpret_cast<LPARAM>(hwnd)));
    FillRect(dc, &rc, back ? back : GetSysColorBrush(COLOR_BTNFACE));
    if (!a.frames.empty()) {
        QImage image = a.frames[size_t(a.frame)];
        if (!transparent)
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    image.setPixel(x, y, image.pixel(x, y) | 0xFF000000u);
        bool centre = style & ACS_CENTER;
        int x = centre ? (rc.right - image.width()) / 2 : 0;
        int y = centre ? (rc.bottom - image.height()) / 2 : 0;
        draw_image(dc, x, y, image, false);
    }
    EndPaint(hwnd, &ps);
}

LRESULT handle(HWND hwnd, Animation& a, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case ACM_OPEN:
            return open(hwnd, a, wp, lp);
        case ACM_PLAY:
            return play(hwnd, a, wp, lp);
        case ACM_STOP:
            stop(hwnd, a, true);
            a.frame = 0;
            InvalidateRect(hwnd, nullptr, FALSE);
            return TRUE;
        case ACM_ISPLAYING:
            return a.playing ? TRUE : FALSE;
        case WM_TIMER:
            if (wp == kFrameTimer) tick(hwnd, a);
            return 0;
        case WM_PAINT:
            paint(hwnd, a);
            return 0;
        default:
            return DefWindowProc(hwnd, msg, wp, lp);
    }
}

}  // namespace

int animation_frame(HWND hwnd) {
    auto it = g_anims.find(hwnd);
    return it == g_anims.end() || it->second.frames.empty() ? -1 : it->second.frame;
}

LRESULT CALLBACK animate_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) {
        g_anims[hwnd] = Animation{};
        return 0;
    }
    auto it = g_anims.find(hwnd);
    if (it == g_anims.end()) return DefWindowProc(hwnd, msg, wp, lp);
    if (msg == WM_DESTROY) {
        KillTimer(hwnd, kFrameTimer);
        g_anims.erase(it);
        return 0;
    }
    return handle(hwnd, it->second, msg, wp, lp);
}

}  // namespace plat::dlg
