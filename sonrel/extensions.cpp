#include "extensions.h"

#include <kit/rvg32.h>
#include <sonrel/dialogs.h>
#include <platform/datafolder.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>

#include <array>
#include <cstring>
#include <utility>

#include "frame.h"
#include "operations.h"

namespace {

constexpr char kNoInformation[] = "Basic error while attempting to open Sonrel2003 - Extension.";
constexpr char kNoDialog[] = "Could not display dialog box.";
// Key names of the store are shorter; a longer one is skipped.
constexpr DWORD kNameBytes = 500;

struct ExtensionTable {
    ExtensionInfo records[EXTENSIONS_MAX];
    std::string files[EXTENSIONS_MAX];  // the subkey names, for reports
    // The filter a started thread calls, written before the thread starts.
    FilterProc filters[EXTENSIONS_MAX];
    int count;
};

ExtensionTable g_table;

int index_of(UINT id) {
    int k = static_cast<int>(id) - IDM_EXTENSION_FIRST;
    return k >= 0 && k < g_table.count ? k : -1;
}

// Through the generic function pointer type, which any function pointer may
// be cast to and from.
template <typename Proc>
Proc entry_point(HMODULE module, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

std::string folder_of_program() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileName(nullptr, path, sizeof path);
    std::string p(path, n < sizeof path ? n : 0);
    size_t slash = p.find_last_of('/');
    return slash == std::string::npos ? std::string() : p.substr(0, slash);
}

bool is_file(const std::string& path) {
    DWORD a = GetFileAttributes(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// An exception out of an extension's entry point, told to the user.
void report_fault(HWND owner, int k, const char* entry) {
    std::string place = std::string(entry) + " (" + g_table.files[k] + ")";
    ExceptionBox(owner, place.c_str());
}

// Loads one library into record k; true when it was added.
bool load_one(const char* name, int k) {
    std::string path = FindExtensionLibrary(name);
    if (path.empty()) return false;
    UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    HMODULE module = LoadLibrary(path.c_str());
    SetErrorMode(mode);
    if (!module) return false;
    auto info = entry_point<GetExtensionInformationProc>(module, EXTENSION_GETINFO_NAME);
    ExtensionInfo& r = g_table.records[k];
    r = ExtensionInfo{};
    bool filled = false;
    if (info) {
        try {
            info(&r);
            filled = true;
        } catch (...) {
        }
    }
    if (!filled) {
        ErrorBox(nullptr, kNoInformation);
        FreeLibrary(module);
        r = ExtensionInfo{};
        return false;
    }
    r.menuText[EXTENSION_MENUTEXT_BYTES - 1] = 0;
    r.description[EXTENSION_DESCRIPTION_BYTES - 1] = 0;
    r.module = module;
    r.commandId = static_cast<WORD>(IDM_EXTENSION_FIRST + k);
    g_table.files[k] = name;
    return true;
}

// The operation thread of extension k: its filter under the same end protocol
// as the program's own operations. Whatever the filter lets out ends the
// thread as one that gave up, so the frame still hears of its end.
DWORD run_threaded(int k, HWND frame) {
    try {
        return g_table.filters[k](frame);
    }
    PLATFORM_RETHROW_THREAD_EXIT
    catch (...) {
        report_fault(frame, k, EXTENSION_FILTER_NAME);
    }
    BreakThread(frame);
}

// One thread procedure per slot, so that the thread's parameter is the frame
// window itself.
template <int K>
DWORD WINAPI threaded_filter(LPVOID frame) {
    return run_threaded(K, static_cast<HWND>(frame));
}

template <size_t... K>
constexpr std::array<LPTHREAD_START_ROUTINE, sizeof...(K)> make_thread_procs(
    std::index_sequence<K...>) {
    return {threaded_filter<int(K)>...};
}

constexpr auto kThreadProcs = make_thread_procs(std::make_index_sequence<EXTENSIONS_MAX>());

void run_direct(HWND frame, int k, FilterProc filter) {
    try {
        filter(frame);
    } catch (...) {
        report_fault(frame, k, EXTENSION_FILTER_NAME);
    }
}

DWORD ask(HWND frame, int k, ShowDialogBoxProc dialog) {
    try {
        return dialog(frame);
    } catch (...) {
        report_fault(frame, k, EXTENSION_SHOWDIALOG_NAME);
        return 0;
    }
}

}  // namespace

std::string FindExtensionLibrary(const char* fileName) {
    if (!fileName || !*fileName || std::strchr(fileName, '/')) return {};
    std::string name = fileName;
    if (name == "." || name == "..") return {};
    std::string user = PlatformFolder(PlatformDataPath) + "/" + EXTENSIONS_USER_FOLDER + "/" + name;
    if (is_file(user)) return user;
    std::string program = folder_of_program();
    if (program.empty()) return {};
    std::string installed = program + "/" + EXTENSIONS_INSTALLED_FOLDER + "/" + name;
    return is_file(installed) ? installed : std::string();
}

int LoadExtensions(HMENU popup) {
    ReleaseExtensions();
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, EXTENSIONS_KEY, 0, KEY_READ, &key) != 0) return 0;
    for (DWORD i = 0; g_table.count < EXTENSIONS_MAX; ++i) {
        char name[kNameBytes] = {};
        DWORD size = sizeof name;
        LSTATUS s = RegEnumKeyEx(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (s == ERROR_MORE_DATA) continue;
        if (s != 0) break;
        int k = g_table.count;
        if (!load_one(name, k)) continue;
        AppendMenu(popup, MF_STRING, g_table.records[k].commandId, g_table.records[k].menuText);
        ++g_table.count;
    }
    RegCloseKey(key);
    return g_table.count;
}

void ReleaseExtensions(void) {
    for (int k = 0; k < g_table.count; ++k) {
        FreeLibrary(g_table.records[k].module);
        g_table.records[k] = ExtensionInfo{};
        g_table.files[k].clear();
        g_table.filters[k] = nullptr;
    }
    g_table.count = 0;
}

std::span<const ExtensionInfo> LoadedExtensions(void) {
    return {g_table.records, static_cast<size_t>(g_table.count)};
}

void ExtensionCommand(HWND frame, WORD id) {
    int k = index_of(id);
    if (k < 0 || !g_table.records[k].active) return;
    const ExtensionInfo& r = g_table.records[k];
    auto dialog = entry_point<ShowDialogBoxProc>(r.module, EXTENSION_SHOWDIALOG_NAME);
    if (!dialog) {
        ErrorBox(frame, kNoDialog);
        return;
    }
    if (!ask(frame, k, dialog)) return;
    auto filter = entry_point<FilterProc>(r.module, EXTENSION_FILTER_NAME);
    if (!filter) return;
    HWND doc = ActiveDocument();
    if (IsFileWorking(doc)) return;
    if (r.threaded) {
        g_table.filters[k] = filter;
        StartOperation(kThreadProcs[k], frame, IDS_NAME_EXTENSION, doc);
    } else {
        run_direct(frame, k, filter);
    }
}

void AddExtensionButtons(HWND toolbar) {
    if (!toolbar || g_table.count == 0) return;
    TBBUTTON buttons[EXTENSIONS_MAX] = {};
    for (int k = 0; k < g_table.count; ++k) {
        const ExtensionInfo& r = g_table.records[k];
        TBADDBITMAP image{nullptr, reinterpret_cast<UINT_PTR>(r.bitmap)};
        LRESULT index = SendMessage(toolbar, TB_ADDBITMAP, 1, reinterpret_cast<LPARAM>(&image));
        buttons[k].iBitmap = static_cast<int>(index);
        buttons[k].idCommand = r.commandId;
        buttons[k].fsState = TBSTATE_ENABLED;
        buttons[k].fsStyle = BTNS_BUTTON;
    }
    SendMessage(toolbar, TB_ADDBUTTONS, static_cast<WPARAM>(g_table.count),
                reinterpret_cast<LPARAM>(buttons));
    SendMessage(toolbar, WM_SIZE, 0, 0);
}

void RemoveExtensionButtons(HWND toolbar) {
    int n = g_table.count;
    if (!toolbar || n == 0) return;
    int c = static_cast<int>(SendMessage(toolbar, TB_BUTTONCOUNT, 0, 0));
    if (c < n) return;
    for (int i = 0; i < n; ++i) SendMessage(toolbar, TB_DELETEBUTTON, WPARAM(c - n), 0);
}

namespace {

HWND function_toolbar() {
    return reinterpret_cast<HWND>(SendMessage(g_shell.funcBar, UM_GETFUNCTOOLBAR, 0, 0));
}

}  // namespace

void CheckExtensionsButton(BOOL shown) {
    SendMessage(function_toolbar(), TB_CHECKBUTTON, IDM_EXTENSIONBUTTONS, shown ? TRUE : FALSE);
}

void ShowExtensionButtons(BOOL shown) {
    HWND toolbar = function_toolbar();
    if (shown)
        AddExtensionButtons(toolbar);
    else
        RemoveExtensionButtons(toolbar);
    CheckExtensionsButton(shown);
}

void ShowExtensionStatusText(HWND statusBar, UINT id) {
    char text[EXTENSION_DESCRIPTION_BYTES] = {};
    if (int k = index_of(id); k >= 0)
        std::memcpy(text, g_table.records[k].description, sizeof text);
    text[sizeof text - 1] = 0;
    if (char* cr = std::strchr(text, '\r')) *cr = 0;
    ShowStatusHint(statusBar, text);
}

const char* ExtensionTooltipText(UINT id) {
    static char tip[256];
    tip[0] = 0;
    int k = index_of(id);
    if (k < 0) return tip;
    const char* d = g_table.records[k].description;
    const char* cr = std::strchr(d, '\r');
    std::strncpy(tip, cr ? cr + 1 : d, sizeof tip - 1);
    tip[sizeof tip - 1] = 0;
    return tip;
}
