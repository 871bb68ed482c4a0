// The resources area: the registry of strings, bitmaps, cursors and data per
// module instance, and the cursors and icons behind their handles.
#pragma once

#include <platform/platform.h>

#include <QImage>
#include <string>
#include <vector>

namespace res {
// The registry key of a resource name: "#<n>" for a number, else upper case.
std::string key(LPCSTR name);
// The program's instance; instance(null) is the program's too.
HINSTANCE program();
HINSTANCE instance(HINSTANCE inst);
// A registered bitmap's pixels (0x00RRGGBB); FALSE when absent.
bool find_bitmap(HINSTANCE inst, LPCSTR name, int* w, int* h, std::vector<DWORD>* pixels);
// The image of an icon or cursor handle with its hot spot; FALSE for none.
bool cursor_image(HCURSOR cursor, QImage* image, int* hotX, int* hotY);
}  // namespace res

namespace plat {
// The Qt cursor behind a cursor handle, as a const QCursor* (used by the
// window area for SetCursor); null for none. User-interface thread.
const void* cursor_data(HCURSOR cursor);
}  // namespace plat
