// Start of the layer: the Qt application, the user-interface thread, the
// layer's event object and the MDI client class.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "product.h"
#include "system_private.h"
#include "windows/windows_private.h"

namespace {
std::thread::id g_ui_thread;
DWORD g_ui_thread_id = 0;
bool g_started = false;
int g_argc = 1;
char g_arg0[sizeof plat::product::kProgramName];  // the program's name, set by PlatformInit
char* g_argv[] = {g_arg0, nullptr};

// While the application starts, a fatal message (no window system could be
// reached: no display, a display that refused the connection) ends the
// program with exit status 1 and a word on what to check, instead of Qt's
// abort and its core dump.
QtMessageHandler g_previous_handler = nullptr;
void start_message(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (g_previous_handler)
        g_previous_handler(type, context, text);
    else
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    if (type != QtFatalMsg) return;
    std::fprintf(stderr,
                 "sonrel: the window system cannot be reached; check DISPLAY (or "
                 "WAYLAND_DISPLAY) and QT_QPA_PLATFORM.\n");
    std::fflush(stderr);
    std::_Exit(1);
}
}  // namespace

namespace plat {
DWORD ui_thread_id() {
    return g_ui_thread_id;
}
}  // namespace plat

extern "C" {

void PlatformInit(int* argc, char** argv) {
    if (g_started) return;
    g_started = true;
    g_ui_thread = std::this_thread::get_id();
    g_ui_thread_id = GetCurrentThreadId();
    // Qt keeps a reference to the argument count for the life of the application.
    if (!QCoreApplication::instance()) {
        g_previous_handler = qInstallMessageHandler(start_message);
        if (argc && argv) {
            new QApplication(*argc, argv);
        } else {
            std::memcpy(g_arg0, plat::product::kProgramName, sizeof g_arg0);
            new QApplication(g_argc, g_argv);
        }
        qInstallMessageHandler(g_previous_handler);
    }
    plat::create_layer_object();
    plat::register_mdi_class();
}

BOOL PlatformIsUiThread(void) {
    return g_started && std::this_thread::get_id() == g_ui_thread;
}
}
