// Bars: the toolbar ("ToolbarWindow32"), the rebar ("ReBarWindow32") and the
// tooltip control ("tooltips_class32"). All three draw themselves into their
// backing images and take the mouse as window messages.
//
// Toolbar. A row of buttons, each showing one image of the toolbar's image list
// (iBitmap its index). Buttons are laid out from (0, 0) left to right, each the
// button size (TB_SETBUTTONSIZE; by default the image size plus 7 pixels both
// ways); a separator is iBitmap pixels wide (8 when 0) and shows an etched line
// on a TBSTYLE_FLAT toolbar. With TBSTYLE_WRAPABLE a button that would cross
// the right edge starts a new row; TBSTATE_WRAP ends a row after its button;
// hidden buttons take no room. A press and release of the left button over the
// same enabled button is a click: a check button toggles first (a check group
// button checks itself and unchecks the rest of its group), then the toolbar
// sends WM_COMMAND MAKEWPARAM(id, BN_CLICKED), lParam the toolbar, to its
// notify window (the parent it was created with; TB_SETPARENT changes it).
// Unless CCS_NORESIZE, TB_AUTOSIZE and WM_SIZE make the toolbar as high as its
// rows, and unless CCS_NOPARENTALIGN also place it at the top of its parent,
// as wide as the parent's client area. Button texts are kept, not shown.
// With TBSTYLE_TOOLTIPS the toolbar makes a tooltip control with one tool per
// button; the text is asked for each time: the notify window gets WM_NOTIFY
// TTN_GETDISPINFO with hdr.idFrom the button's command id (see tooltips below).
//
// Images: TB_SETIMAGELIST sets a list the caller keeps and destroys.
// TB_ADDBITMAP adds to the toolbar's list (made at the TB_SETBITMAPSIZE size,
// 16 x 15 by default, when there is none; destroyed with the toolbar): with
// hInst null, nID is a bitmap handle used as it is; otherwise nID names a
// bitmap resource of hInst whose light grey (192, 192, 192) pixels are
// transparent (they show the button face).
//
// Rebar. Bands in rows: a band takes its cx (RBBIM_SIZE) or its child's
// minimum width, the last band of a row the rest of the row; RBBS_BREAK starts
// a new row. A row is as high as its tallest child (cyMinChild, plus 2 pixels
// above and below with RBBS_CHILDEDGE). A band shows a grip at its left edge
// when the rebar has more than one band or the band has RBBS_GRIPPERALWAYS
// (never with RBBS_NOGRIPPER); its child is placed to the right of the grip
// and made the rebar's child. The band is filled with clrBack (RBBIM_COLORS),
// else the button face. Unless CCS_NORESIZE, inserting, changing or deleting
// a band makes the rebar as high as its rows. The rebar passes WM_COMMAND and
// WM_NOTIFY from its children on to its parent. Band texts, images and
// chevrons are not shown.
//
// Tooltips. A tooltip control holds tools: a rectangle of a window's client
// area (uId any number), or with TTF_IDISHWND the whole client area of the
// window uId. When the mouse rests over a tool, the tip shows its text: the
// text given, a string id of hinst (lpszText = MAKEINTRESOURCE(id)), or with
// LPSTR_TEXTCALLBACK the answer to WM_NOTIFY TTN_GETDISPINFO sent to the tool's
// hwnd (idFrom = uId, hwndFrom the tooltip; the answer is lpszText, a string id
// of hinst, or szText). Tips are shown as the desktop's tooltips.
#pragma once

#include <platform/imagelist.h>
#include <platform/window.h>

// Common control styles (toolbar and rebar).
#define CCS_TOP 0x00000001L
#define CCS_NOMOVEY 0x00000002L
#define CCS_BOTTOM 0x00000003L
#define CCS_NORESIZE 0x00000004L
#define CCS_NOPARENTALIGN 0x00000008L
#define CCS_ADJUSTABLE 0x00000020L
#define CCS_NODIVIDER 0x00000040L
#define CCS_VERT 0x00000080L

// --- Toolbar ------------------------------------------------------------------

#define TOOLBARCLASSNAME "ToolbarWindow32"

#define TBSTYLE_TOOLTIPS 0x0100
#define TBSTYLE_WRAPABLE 0x0200
#define TBSTYLE_ALTDRAG 0x0400
#define TBSTYLE_FLAT 0x0800
#define TBSTYLE_LIST 0x1000
#define TBSTYLE_CUSTOMERASE 0x2000
#define TBSTYLE_TRANSPARENT 0x8000

#define TBSTYLE_EX_DRAWDDARROWS 0x00000001
#define TBSTYLE_EX_MIXEDBUTTONS 0x00000008

// Button styles (fsStyle).
#define BTNS_BUTTON 0x00
#define BTNS_SEP 0x01
#define BTNS_CHECK 0x02
#define BTNS_GROUP 0x04
#define BTNS_CHECKGROUP (BTNS_GROUP | BTNS_CHECK)
#define BTNS_DROPDOWN 0x08
#define BTNS_AUTOSIZE 0x10
#define BTNS_NOPREFIX 0x20
#define BTNS_SHOWTEXT 0x40
#define TBSTYLE_BUTTON BTNS_BUTTON
#define TBSTYLE_SEP BTNS_SEP
#define TBSTYLE_CHECK BTNS_CHECK
#define TBSTYLE_GROUP BTNS_GROUP
#define TBSTYLE_CHECKGROUP BTNS_CHECKGROUP
#define TBSTYLE_DROPDOWN BTNS_DROPDOWN
#define TBSTYLE_AUTOSIZE BTNS_AUTOSIZE

// Button states (fsState).
#define TBSTATE_CHECKED 0x01
#define TBSTATE_PRESSED 0x02
#define TBSTATE_ENABLED 0x04
#define TBSTATE_HIDDEN 0x08
#define TBSTATE_INDETERMINATE 0x10
#define TBSTATE_WRAP 0x20

struct TBBUTTON {
    int iBitmap;  // image index; for a separator its width (0: 8 pixels)
    int idCommand;
    BYTE fsState;
    BYTE fsStyle;
    BYTE bReserved[6];
    DWORD_PTR dwData;
    INT_PTR iString;
};
typedef TBBUTTON* LPTBBUTTON;
typedef const TBBUTTON* LPCTBBUTTON;

struct TBADDBITMAP {
    HINSTANCE hInst;  // null: nID is a bitmap handle
    UINT_PTR nID;
};

#define TB_ENABLEBUTTON (WM_USER + 1)     // wParam id, lParam enable; TRUE or FALSE
#define TB_CHECKBUTTON (WM_USER + 2)      // wParam id, lParam check; TRUE or FALSE
#define TB_PRESSBUTTON (WM_USER + 3)      // wParam id, lParam press; TRUE or FALSE
#define TB_HIDEBUTTON (WM_USER + 4)       // wParam id, lParam hide; TRUE or FALSE
#define TB_ISBUTTONENABLED (WM_USER + 9)  // wParam id; nonzero when set, -1 for no such id
#define TB_ISBUTTONCHECKED (WM_USER + 10)
#define TB_ISBUTTONPRESSED (WM_USER + 11)
#define TB_ISBUTTONHIDDEN (WM_USER + 12)
#define TB_SETSTATE (WM_USER + 17)    // wParam id, lParam MAKELONG(state, 0)
#define TB_GETSTATE (WM_USER + 18)    // wParam id; the state, -1 for no such id
#define TB_ADDBITMAP (WM_USER + 19)   // wParam image count, lParam TBADDBITMAP*; first index or -1
#define TB_ADDBUTTONS (WM_USER + 20)  // wParam count, lParam TBBUTTON array; TRUE or FALSE
#define TB_INSERTBUTTON (WM_USER + 21)  // wParam index (past the end: append), lParam TBBUTTON*
#define TB_DELETEBUTTON (WM_USER + 22)  // wParam index; TRUE or FALSE
#define TB_GETBUTTON (WM_USER + 23)     // wParam index, lParam TBBUTTON* filled; TRUE or FALSE
#define TB_BUTTONCOUNT (WM_USER + 24)
#define TB_COMMANDTOINDEX (WM_USER + 25)    // wParam id; the index or -1
#define TB_GETITEMRECT (WM_USER + 29)       // wParam index, lParam RECT*; FALSE for hidden or none
#define TB_BUTTONSTRUCTSIZE (WM_USER + 30)  // wParam sizeof(TBBUTTON) the caller uses
#define TB_SETBUTTONSIZE (WM_USER + 31)     // lParam MAKELONG(cx, cy)
#define TB_SETBITMAPSIZE (WM_USER + 32)     // lParam MAKELONG(cx, cy)
#define TB_AUTOSIZE (WM_USER + 33)
#define TB_GETTOOLTIPS (WM_USER + 35)
#define TB_SETTOOLTIPS (WM_USER + 36)  // wParam the tooltip control
#define TB_SETPARENT (WM_USER + 37)    // wParam the notify window; gives the old one
#define TB_GETROWS (WM_USER + 40)
#define TB_SETIMAGELIST (WM_USER + 48)  // lParam the list; gives the old one
#define TB_GETIMAGELIST (WM_USER + 49)
#define TB_GETRECT (WM_USER + 51)           // wParam id, lParam RECT*; FALSE for hidden or none
#define TB_GETBUTTONSIZE (WM_USER + 58)     // MAKELONG(cx, cy)
#define TB_SETEXTENDEDSTYLE (WM_USER + 84)  // lParam TBSTYLE_EX_ bits; gives the old ones
#define TB_GETEXTENDEDSTYLE (WM_USER + 85)

// A toolbar child of parent with id: the buttons' images are nBitmaps images of
// dxBitmap x dyBitmap (0: 16 x 15) from the bitmap wBMID of hBMInst (hBMInst
// null: wBMID is a bitmap handle), buttons dxButton x dyButton (0: the image
// size plus 7), then the buttons (structSize bytes each). Null on failure.
PLATFORM_API HWND CreateToolbarEx(HWND parent, DWORD style, UINT id, int nBitmaps,
                                  HINSTANCE hBMInst, UINT_PTR wBMID, LPCTBBUTTON buttons,
                                  int nButtons, int dxButton, int dyButton, int dxBitmap,
                                  int dyBitmap, UINT structSize);

// --- Rebar --------------------------------------------------------------------

#define REBARCLASSNAME "ReBarWindow32"

#define RBS_TOOLTIPS 0x00000100L
#define RBS_VARHEIGHT 0x00000200L
#define RBS_BANDBORDERS 0x00000400L
#define RBS_FIXEDORDER 0x00000800L
#define RBS_AUTOSIZE 0x00002000L
#define RBS_VERTICALGRIPPER 0x00004000L
#define RBS_DBLCLKTOGGLE 0x00008000L

#define RBBS_BREAK 0x00000001
#define RBBS_FIXEDSIZE 0x00000002
#define RBBS_CHILDEDGE 0x00000004
#define RBBS_HIDDEN 0x00000008
#define RBBS_NOVERT 0x00000010
#define RBBS_FIXEDBMP 0x00000020
#define RBBS_VARIABLEHEIGHT 0x00000040
#define RBBS_GRIPPERALWAYS 0x00000080
#define RBBS_NOGRIPPER 0x00000100
#define RBBS_USECHEVRON 0x00000200

#define RBBIM_STYLE 0x00000001
#define RBBIM_COLORS 0x00000002
#define RBBIM_TEXT 0x00000004
#define RBBIM_IMAGE 0x00000008
#define RBBIM_CHILD 0x00000010
#define RBBIM_CHILDSIZE 0x00000020
#define RBBIM_SIZE 0x00000040
#define RBBIM_BACKGROUND 0x00000080
#define RBBIM_ID 0x00000100
#define RBBIM_IDEALSIZE 0x00000200
#define RBBIM_LPARAM 0x00000400
#define RBBIM_HEADERSIZE 0x00000800

// One band; cbSize says how many bytes of it the caller filled (fields past
// it count as zero), fMask which fields are given.
struct REBARBANDINFO {
    UINT cbSize;
    UINT fMask;
    UINT fStyle;
    COLORREF clrFore;
    COLORREF clrBack;
    LPSTR lpText;
    UINT cch;
    int iImage;
    HWND hwndChild;
    UINT cxMinChild;
    UINT cyMinChild;
    UINT cx;
    HBITMAP hbmBack;
    UINT wID;
    UINT cyChild;
    UINT cyMaxChild;
    UINT cyIntegral;
    UINT cxIdeal;
    LPARAM lParam;
    UINT cxHeader;
};

#define RB_INSERTBAND (WM_USER + 1)   // wParam index (-1: at the end), lParam REBARBANDINFO*
#define RB_DELETEBAND (WM_USER + 2)   // wParam index; the child stays, hidden
#define RB_SETBANDINFO (WM_USER + 6)  // wParam index, lParam REBARBANDINFO*
#define RB_GETBANDCOUNT (WM_USER + 12)
#define RB_GETROWCOUNT (WM_USER + 13)
#define RB_GETROWHEIGHT (WM_USER + 14)  // wParam band index; its row's height
#define RB_IDTOINDEX (WM_USER + 16)     // wParam band id; the index or -1
#define RB_GETBARHEIGHT (WM_USER + 27)
#define RB_GETBANDINFO (WM_USER + 29)  // wParam index, lParam REBARBANDINFO* (fMask says what)
#define RB_GETRECT (WM_USER + 9)       // wParam index, lParam RECT* the band's rectangle

// --- Tooltips -----------------------------------------------------------------

#define TOOLTIPS_CLASS "tooltips_class32"

#define TTS_ALWAYSTIP 0x01
#define TTS_NOPREFIX 0x02

#define TTF_IDISHWND 0x0001
#define TTF_CENTERTIP 0x0002
#define TTF_SUBCLASS 0x0010
#define TTF_TRANSPARENT 0x0100
#define TTF_DI_SETITEM 0x8000  // the callback's answer is kept as the tool's text

#define LPSTR_TEXTCALLBACK ((LPSTR)(INT_PTR)-1)

struct TOOLINFO {
    UINT cbSize;
    UINT uFlags;
    HWND hwnd;     // the window that holds the tool and gets its notifications
    UINT_PTR uId;  // the tool's number, or its window with TTF_IDISHWND
    RECT rect;     // client coordinates of hwnd
    HINSTANCE hinst;
    LPSTR lpszText;  // text, MAKEINTRESOURCE(string id of hinst), or LPSTR_TEXTCALLBACK
    LPARAM lParam;
    void* lpReserved;
};
typedef TOOLINFO* LPTOOLINFO;

#define TTM_ACTIVATE (WM_USER + 1)        // wParam TRUE: tips shown, FALSE: none
#define TTM_SETDELAYTIME (WM_USER + 3)    // accepted; the desktop's delay applies
#define TTM_ADDTOOL (WM_USER + 4)         // lParam TOOLINFO*; TRUE or FALSE
#define TTM_DELTOOL (WM_USER + 5)         // lParam TOOLINFO* (hwnd, uId)
#define TTM_NEWTOOLRECT (WM_USER + 6)     // lParam TOOLINFO* (hwnd, uId, rect)
#define TTM_RELAYEVENT (WM_USER + 7)      // accepted; the control watches the mouse itself
#define TTM_GETTEXT (WM_USER + 11)        // wParam buffer size (0: 80), lParam TOOLINFO*
#define TTM_UPDATETIPTEXT (WM_USER + 12)  // lParam TOOLINFO* (hwnd, uId, hinst, lpszText)
#define TTM_GETTOOLCOUNT (WM_USER + 13)
#define TTM_SETMAXTIPWIDTH (WM_USER + 24)  // lParam pixels (-1: any); gives the old one
#define TTM_POP (WM_USER + 28)             // hides the tip

#define TTN_FIRST (0U - 520U)
#define TTN_GETDISPINFO (TTN_FIRST - 0U)
#define TTN_NEEDTEXT TTN_GETDISPINFO
#define TTN_SHOW (TTN_FIRST - 1U)
#define TTN_POP (TTN_FIRST - 2U)

struct NMTTDISPINFO {
    NMHDR hdr;
    LPSTR lpszText;  // points at szText when asked
    char szText[80];
    HINSTANCE hinst;
    UINT uFlags;
    LPARAM lParam;
};
typedef NMTTDISPINFO TOOLTIPTEXT;
typedef NMTTDISPINFO* LPTOOLTIPTEXT;
