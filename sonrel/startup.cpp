#include "startup.h"

#include <kit/rvg32.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "bars.h"
#include "cdplayer.h"
#include "register.h"
#include "waveview.h"

namespace {

// A line starting with '/' is a switch ("/CD ...") when its first word holds
// no other '/' and it names no file; otherwise it is an absolute path.
bool is_switch(const char* line) {
    if (line[0] != '/') return false;
    size_t word = std::strcspn(line, " \t");
    if (std::memchr(line + 1, '/', word - 1)) return false;
    return GetFileAttributes(line) == INVALID_FILE_ATTRIBUTES;
}

}  // namespace

CommandLine ParseCommandLine(const char* line) {
    CommandLine c{};
    size_t n = std::strlen(line);
    if (n == 0) return c;
    if (!is_switch(line)) {
        c.kind = COMMANDLINE_PATH;
        c.path = line;
        return c;
    }
    if (n >= 3 && std::toupper(static_cast<unsigned char>(line[1])) == 'C' &&
        std::toupper(static_cast<unsigned char>(line[2])) == 'D') {
        c.kind = COMMANDLINE_CDTRACK;
        if (n >= 13) {
            char digits[3] = {line[11], line[12], 0};
            c.track = std::atoi(digits);
        }
    }
    return c;
}

std::vector<std::string> CommandLinePaths(const std::string& line) {
    std::vector<std::string> paths;
    size_t from = 0;
    for (;;) {
        size_t end = line.find('\n', from);
        std::string piece = line.substr(from, end == std::string::npos ? end : end - from);
        if (!piece.empty()) paths.push_back(piece);
        if (end == std::string::npos) break;
        from = end + 1;
    }
    return paths;
}

std::string AbsolutePath(const std::string& path) {
    std::filesystem::path p(path);
    if (path.empty() || p.is_absolute()) return path;
    std::error_code error;
    std::filesystem::path here = std::filesystem::current_path(error);
    if (error) return path;
    return (here / p).lexically_normal().string();
}

BOOL PrintInformation(int argc, char** argv, FILE* out) {
    if (argc != 2) return FALSE;
    std::string arg = argv[1];
    if (arg == "--version") {
        std::fprintf(out, "sonrel %s\n", SONREL_VERSION);
        return TRUE;
    }
    if (arg != "--help") return FALSE;
    std::fprintf(out,
                 "Usage: sonrel [FILE... | /CD<track switch>]\n"
                 "       sonrel --help | --version\n"
                 "\n"
                 "Sound editor for PCM wave files. Each FILE is opened in a new document window.\n"
                 "When the editor already runs, FILE (made absolute) or the CD switch is\n"
                 "handed to the running copy and this one ends at once.\n"
                 "\n"
                 "  FILE        a wave file; a relative path is taken from the current folder\n"
                 "  /CD...      passes an audio CD track on to the CD player: characters 12\n"
                 "              and 13 of the switch are the track number (\"/CD -track 07\")\n"
                 "  --help      prints this text and ends\n"
                 "  --version   prints the version and ends\n"
                 "\n"
                 "Environment:\n"
                 "  SONREL_HOME       one folder for everything per user: settings in config/,\n"
                 "                    temporary files (the clipboard \"SnrCLIP.WAV\") in tmp/\n"
                 "  XDG_CONFIG_HOME   without SONREL_HOME, settings go to $XDG_CONFIG_HOME/Sonrel\n"
                 "                    (else ~/.config/Sonrel)\n"
                 "  XDG_RUNTIME_DIR   without SONREL_HOME, temporary files go to\n"
                 "                    $XDG_RUNTIME_DIR/sonrel (else /tmp/sonrel-<uid>)\n"
                 "  SDL_AUDIODRIVER   the sound driver for playing and recording (pulseaudio,\n"
                 "                    pipewire, alsa, ...; dummy plays nothing)\n"
                 "  QT_QPA_PLATFORM   the window system (xcb, wayland, offscreen)\n"
                 "  DISPLAY, WAYLAND_DISPLAY   the display to show the editor on\n");
    return TRUE;
}

namespace {

struct ClassRow {
    const char* name;
    WNDPROC proc;
    UINT style;
    const char* icon;
    bool arrow;
    HBRUSH background;
};

HBRUSH system_brush(int colour) {
    return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(colour + 1));
}

}  // namespace

void RegisterShellClasses(HINSTANCE inst) {
    HBRUSH face = system_brush(COLOR_BTNFACE);
    const ClassRow rows[] = {
        {FRAME_CLASS, FrameWindowProc, 3, "A1_ICON", true, system_brush(COLOR_APPWORKSPACE)},
        {"IconBar", IconBarProc, 3, "A1_ICON", true, face},
        {"FuncBar", FuncBarProc, 3, "A1_ICON", true, face},
        {"StatusBar", StatusBarProc, 3, "A1_ICON", true, face},
        {"PosBar", PosBarProc, 0xB, "A1_ICON", true, face},
        {"ThreadMan", ThreadManProc, 3, "A1_ICON", true, face},
        {"Switch", SwitchBarProc, 3, "A1_ICON", true, face},
        {"Preview", PreviewBarProc, 0xB, "A1_ICON", false, face},
        {"Child Window", WaveWindowProc, 0xB, "CHILD", false, face},
        {"SELECTBAR", SelectBarProc, 0xB, "CHILD", true, face},
        {"CDPlayer", CdPlayerProc, 3, "CHILD", true,
         static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))},
    };
    for (const ClassRow& r : rows) {
        WNDCLASSEX wc{};
        wc.cbSize = sizeof wc;
        wc.style = r.style;
        wc.lpfnWndProc = r.proc;
        wc.hInstance = inst;
        wc.hIcon = LoadIcon(inst, r.icon);
        wc.hCursor = r.arrow ? LoadCursor(nullptr, IDC_ARROW) : nullptr;
        wc.hbrBackground = r.background;
        wc.lpszClassName = r.name;
        RegisterClassEx(&wc);
    }
}

namespace {

std::string joined_arguments(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i];
    }
    return line;
}

void take_pending(const CommandLine& c) {
    if (c.kind == COMMANDLINE_PATH) {
        g_shell.pendingPaths = CommandLinePaths(c.path);
        g_shell.pendingOpen = TRUE;
    } else if (c.kind == COMMANDLINE_CDTRACK) {
        g_shell.pendingCdTrack = c.track;
        g_shell.pendingCd = TRUE;
    }
}

void run_message_loop() {
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0)) {
        if (TranslateMDISysAccel(g_shell.mdiClient, &msg)) continue;
        if (TranslateAccelerator(g_shell.frame, g_shell.accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

}  // namespace

std::string CommandLineOf(int argc, char** argv) {
    std::string line = joined_arguments(argc, argv);
    if (argc <= 2 || ParseCommandLine(line.c_str()).kind != COMMANDLINE_PATH ||
        GetFileAttributes(line.c_str()) != INVALID_FILE_ATTRIBUTES)
        return line;
    std::string paths;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) paths += '\n';
        paths += argv[i];
    }
    return paths;
}

int SonrelMain(int argc, char** argv) {
    if (PrintInformation(argc, argv, stdout)) return 0;
    PlatformInit(&argc, argv);
    return RunSonrel(CommandLineOf(argc, argv).c_str());
}

int RunSonrel(const char* line) {
    CommandLine c = ParseCommandLine(line);
    if (c.kind == COMMANDLINE_PATH) {
        std::string absolute;
        for (const std::string& path : CommandLinePaths(c.path))
            absolute += (absolute.empty() ? "" : "\n") + AbsolutePath(path);
        c.path = absolute;
    }
    if (PlatformInstanceStart(FRAME_CLASS, c.kind == COMMANDLINE_PATH ? c.path.c_str() : line))
        return 0;
    take_pending(c);
    HANDLE clipboard = CreateMutex(nullptr, FALSE, "SnrClipboard");
    HANDLE fileOpen = CreateMutex(nullptr, FALSE, "SnrFileOpen");
    g_shell.instance = GetModuleHandle(nullptr);
    RegisterProgramResources(g_shell.instance);
    RegisterShellClasses(g_shell.instance);
    g_shell.splash = CreateSplash(g_shell.instance);
    HWND frame = CreateFrame();
    if (frame) {
        PlatformInstanceSetTarget(frame, UM_HANDOVER);
        g_shell.accelerators = LoadAccelerators(g_shell.instance, "ACCS");
        run_message_loop();
    }
    PlatformInstanceStop();
    if (g_shell.accelerators) DestroyAcceleratorTable(g_shell.accelerators);
    CloseHandle(clipboard);
    CloseHandle(fileOpen);
    return 0;
}
