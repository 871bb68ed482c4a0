// Shared by the common controls (image lists, toolbar, rebar, tooltips,
// animation, the property sheet's tab control, control colours) and the units
// that use them. Window procedures and everything that touches widgets run on
// the user-interface thread.
#pragma once

#include <QImage>
#include <string>
#include <vector>

#include "internal.h"

namespace plat::dlg {

// --- image lists (imagelist.cpp) ---
// A copy of image index (ARGB32, alpha 0 where transparent); false for a bad
// list or index. Any thread.
bool imagelist_image(HIMAGELIST list, int index, QImage* out);
// Adds count images (0: as many as the bitmap's width holds) cut from a bitmap;
// pixels of colour mask are transparent unless mask is CLR_NONE. Gives the
// index of the first, or -1.
int imagelist_add(HIMAGELIST list, HBITMAP image, int count, COLORREF mask);
// Draws an ARGB32 image with its top-left corner at (x, y) of a context:
// transparent pixels leave the destination alone. greyed draws the disabled
// look (dark pixels as an embossed shadow). False for a dead context.
bool draw_image(HDC hdc, int x, int y, const QImage& image, bool greyed);

}  // namespace plat::dlg
