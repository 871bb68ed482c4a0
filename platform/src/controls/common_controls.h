// Shared by the common controls (image lists, toolbar, rebar, tooltips,
// animation, the property sheet's tab control, control colours) and the units
// that use them. Window procedures and everything that touches widgets run on
// the user-interface thread.
#pragma once

#include <QImage>
#include <string>
#include <vector>

#include "painting/painting_private.h"
#include "system/system_private.h"
#include "windows/windows_private.h"

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

// --- window procedures ---
LRESULT CALLBACK toolbar_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK rebar_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK tooltip_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK animate_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK tab_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Registers the classes above (called with the other control classes).
void register_common_control_classes();

// --- toolbar painting (control_toolbar_paint.cpp) ---
// Draws the shown buttons (rects[i] holds buttons[i]) with their images from
// list, as WM_PAINT of the toolbar.
void paint_toolbar(HWND hwnd, const std::vector<RECT>& rects, const std::vector<TBBUTTON>& buttons,
                   HIMAGELIST images);

// --- tooltips (control_tooltip.cpp) ---
// Shows the tip of the tool under client point pt of window, as the end of the
// hover delay does; gives the text shown (empty: no tool there, or no text).
std::string show_tip_at(HWND window, POINT pt);

// --- animation (control_animate.cpp) ---
// The frame an animation control shows; -1 with no clip open or no such control.
int animation_frame(HWND hwnd);

// --- tab control (control_tab.cpp): the row of tabs of a property sheet, ---
// class WC_TABCONTROL, messages in propsheet.h.
constexpr int kTabRowHeight = 22;        // pixels of the row of tabs
constexpr int kTabPaneBorder = 2;        // pixels of the pane's edge
#define TCM_INSERTITEM (TCM_FIRST + 7)   // wParam the place, lParam TCITEM*; gives the index
#define TCM_SETCURSEL (TCM_FIRST + 12)   // gives the previous tab
#define TCM_ADJUSTRECT (TCM_FIRST + 40)  // wParam FALSE: lParam RECT* window -> display area
#define TCIF_TEXT 0x0001
struct TCITEM {
    UINT mask;
    DWORD dwState;
    DWORD dwStateMask;
    LPSTR pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
};

// --- control colours (control_colours.cpp) ---
// Asks the parent of a static or edit control for its colours (WM_CTLCOLORSTATIC,
// or WM_CTLCOLOREDIT for an enabled, writable edit) and shows the answer: the
// brush's colour behind the control, the context's text colour when the parent
// changed it. A zero answer restores the default look.
void apply_control_colours(HWND hwnd);

}  // namespace plat::dlg
