// Paths, files, free space, the settings store and processes.
// Every per-user folder lives under SONREL_HOME when it is set.
#pragma once

#include <platform/window.h>

#include <cstring>
#include <string>

// "<runtime>/" : $SONREL_HOME/tmp, else $XDG_RUNTIME_DIR/sonrel, else
// /tmp/sonrel-<uid>; created mode 0700. Result ends with '/'.
PLATFORM_API DWORD GetTempPath(DWORD size, LPSTR buf);
// Configuration folder: $SONREL_HOME/config, else $XDG_CONFIG_HOME/Sonrel, else
// ~/.config/Sonrel; created on demand. No trailing '/'.
PLATFORM_API DWORD PlatformConfigPath(DWORD size, LPSTR buf);
PLATFORM_API DWORD PlatformRuntimePath(DWORD size, LPSTR buf);  // as GetTempPath
// The whole text of one of the three folder queries above, however long the
// folder is: use it instead of a fixed buffer, which a long folder overflows
// (the query then leaves the buffer as it was).
inline std::string PlatformFolder(DWORD (*query)(DWORD, LPSTR)) {
    std::string text;
    for (DWORD need = query(0, nullptr); need > text.size();) {
        text.assign(need, '\0');
        need = query(need, text.data());
    }
    text.resize(std::strlen(text.c_str()));
    return text;
}
PLATFORM_API BOOL GetDiskFreeSpace(LPCSTR root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                                   DWORD* freeClusters, DWORD* totalClusters);
PLATFORM_API BOOL GetDiskFreeSpaceEx(LPCSTR dir, ULONGLONG* freeToCaller, ULONGLONG* total,
                                     ULONGLONG* totalFree);
PLATFORM_API BOOL CopyFile(LPCSTR from, LPCSTR to, BOOL failIfExists);
PLATFORM_API BOOL DeleteFile(LPCSTR path);
PLATFORM_API BOOL MoveFileEx(LPCSTR from, LPCSTR to, DWORD flags);  // rename, replacing
#define MOVEFILE_REPLACE_EXISTING 0x1
PLATFORM_API DWORD GetFileAttributes(LPCSTR path);  // INVALID_FILE_ATTRIBUTES when absent
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu
#define FILE_ATTRIBUTE_READONLY 0x1
#define FILE_ATTRIBUTE_DIRECTORY 0x10
#define FILE_ATTRIBUTE_NORMAL 0x80
PLATFORM_API DWORD GetModuleFileName(HMODULE mod, LPSTR buf, DWORD size);

// Settings store: INI-style text values in "<config>/<file>", addressed by
// section and key. Every write is flushed to disk at once; every read sees what
// another process wrote last. Sections use '\' as separator.
PLATFORM_API DWORD GetPrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buf,
                                           DWORD size, LPCSTR file);
PLATFORM_API BOOL WritePrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file);

// Per-user registry store: "registry.ini" in the configuration folder, one
// section per key, values in the order they were first set. Values of type
// REG_SZ count their terminating zero in their size; a buffer too small gives
// ERROR_MORE_DATA and the size needed.
#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)0x80000000)
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)0x80000001)
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)0x80000002)
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F
#define REG_OPTION_NON_VOLATILE 0
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2
typedef LONG LSTATUS;
PLATFORM_API LSTATUS RegOpenKeyEx(HKEY key, LPCSTR sub, DWORD opts, DWORD access, HKEY* out);
PLATFORM_API LSTATUS RegCreateKeyEx(HKEY key, LPCSTR sub, DWORD reserved, LPSTR cls, DWORD opts,
                                    DWORD access, void* sec, HKEY* out, DWORD* disposition);
PLATFORM_API LSTATUS RegQueryValueEx(HKEY key, LPCSTR name, DWORD* reserved, DWORD* type,
                                     BYTE* data, DWORD* size);
PLATFORM_API LSTATUS RegSetValueEx(HKEY key, LPCSTR name, DWORD reserved, DWORD type,
                                   const BYTE* data, DWORD size);
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
// The name of subkey index (0-based) of key, subkeys in the order of their
// names ignoring case. *nameSize is the buffer's size in bytes and becomes the
// name's length without its terminating zero; a buffer too small gives
// ERROR_MORE_DATA (nothing copied), an index past the last subkey
// ERROR_NO_MORE_ITEMS. Class and time are not kept: *clsSize becomes 0 and
// *lastWrite zero.
PLATFORM_API LSTATUS RegEnumKeyEx(HKEY key, DWORD index, LPSTR name, DWORD* nameSize,
                                  DWORD* reserved, LPSTR cls, DWORD* clsSize, FILETIME* lastWrite);
PLATFORM_API LSTATUS RegEnumValue(HKEY key, DWORD index, LPSTR name, DWORD* nameSize,
                                  DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize);
PLATFORM_API LSTATUS RegDeleteValue(HKEY key, LPCSTR name);
PLATFORM_API LSTATUS RegCloseKey(HKEY key);
#define ERROR_NO_MORE_ITEMS 259
#define ERROR_MORE_DATA 234
