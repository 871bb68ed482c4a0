#include "register.h"

#include "strings.h"

void RegisterProgramResources(HINSTANCE inst) { RegisterStringTable(inst); }
