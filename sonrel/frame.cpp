#include "frame.h"

#include <platform/platform.h>

#include "register.h"

namespace {

const char kFrameClass[] = "Sonrel2003";

LRESULT FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProc(hwnd, msg, wp, lp);
}

}  // namespace

int SonrelMain(int argc, char** argv) {
    PlatformInit(&argc, argv);
    HINSTANCE inst = GetModuleHandle(nullptr);
    RegisterProgramResources(inst);

    WNDCLASSEX wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = inst;
    wc.hbrBackground = (HBRUSH)(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = kFrameClass;
    RegisterClassEx(&wc);
    HWND frame = CreateWindowEx(0, kFrameClass, "Sonrel", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                CW_USEDEFAULT, CW_USEDEFAULT, 800, 600, nullptr, nullptr, inst,
                                nullptr);
    if (!frame) return 1;
    ShowWindow(frame, SW_SHOW);
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    return static_cast<int>(msg.wParam);
}
