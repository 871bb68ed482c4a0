#include "strings.h"

namespace {

struct StringEntry {
    UINT id;
    const char* text;
};

// Grows with the program's commands, display names and tips.
const StringEntry kStrings[] = {
    {9010, "Sonrel2003"},
};

}  // namespace

void RegisterStringTable(HINSTANCE inst) {
    for (const auto& e : kStrings) PlatformAddString(inst, e.id, e.text);
}
