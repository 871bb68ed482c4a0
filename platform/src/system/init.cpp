// Start of the layer: the Qt application, the user-interface thread, the
// layer's event object and the MDI client class.
#include <QApplication>
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
        if (argc && argv) {
            new QApplication(*argc, argv);
        } else {
            std::memcpy(g_arg0, plat::product::kProgramName, sizeof g_arg0);
            new QApplication(g_argc, g_argv);
        }
    }
    plat::create_layer_object();
    plat::register_mdi_class();
}

BOOL PlatformIsUiThread(void) {
    return g_started && std::this_thread::get_id() == g_ui_thread;
}
}
