// Property sheets: a modal dialog with one tab per page and the buttons OK,
// Cancel and (unless PSH_NOAPPLYNOW) Apply.
//
// Each page is a dialog template (PSP_DLGINDIRECT: a DIALOGTEMPLATE*; else a
// template name or MAKEINTRESOURCE id registered under the page's hInstance)
// made as a child of the sheet, whatever its own style says, the first time
// its tab is chosen; its procedure gets WM_INITDIALOG with lParam pointing at
// the sheet's copy of its PROPSHEETPAGE (so ->lParam is the caller's value).
// The sheet is as large as its largest page. Pages learn what happens through
// WM_NOTIFY with a PSHNOTIFY (hdr.hwndFrom the sheet, hdr.code below) and
// answer with SetWindowLongPtr(page, DWLP_MSGRESULT, answer) (cleared to 0
// before each notification):
// - PSN_SETACTIVE when the page is shown.
// - PSN_KILLACTIVE before it is left (for another tab, OK or Apply); a nonzero
//   answer keeps it.
// - PSN_APPLY to every page made so far, in page order, on OK (lParam TRUE)
//   and Apply (lParam FALSE); PSNRET_INVALID shows that page and keeps the
//   sheet open, PSNRET_INVALID_NOCHANGEPAGE keeps it open as it is. Pages
//   after the refusing one are not told.
// - PSN_QUERYCANCEL to the shown page on Cancel (nonzero: stay open), then
//   PSN_RESET to every page made so far. Cancel applies nothing.
// PropSheet_Changed (PSM_CHANGED) enables Apply; Apply disables it again.
//
// The row of tabs is a tab control ("SysTabControl32", PSM_GETTABCONTROL): a
// click on a tab asks the sheet (TCN_SELCHANGING, where the shown page may
// refuse to be left) before the page changes.
//
// The sheet is a dialog: a test answers it through the question hook like any
// modal dialog (kind "Dialog", text = the caption, data = the sheet window),
// may choose pages with PropSheet_SetCurSel, find them with
// PropSheet_IndexToHwnd, and answers IDOK or IDCANCEL.
#pragma once

#include <platform/dialog.h>
#include <platform/window.h>

struct PROPSHEETPAGE;
typedef UINT (*LPFNPSPCALLBACK)(HWND, UINT, PROPSHEETPAGE*);
typedef int (*PFNPROPSHEETCALLBACK)(HWND, UINT, LPARAM);

struct PROPSHEETPAGE {
    DWORD dwSize;
    DWORD dwFlags;
    HINSTANCE hInstance;  // where pszTemplate and a string-id title are registered
    union {
        LPCSTR pszTemplate;
        const DIALOGTEMPLATE* pResource;  // with PSP_DLGINDIRECT
    };
    union {
        HICON hIcon;
        LPCSTR pszIcon;
    };
    LPCSTR pszTitle;  // with PSP_USETITLE: the tab's text, or a string id of hInstance
    DLGPROC pfnDlgProc;
    LPARAM lParam;
    LPFNPSPCALLBACK pfnCallback;
    UINT* pcRefParent;
};
typedef PROPSHEETPAGE* LPPROPSHEETPAGE;
typedef const PROPSHEETPAGE* LPCPROPSHEETPAGE;

#define PSP_DEFAULT 0x0000
#define PSP_DLGINDIRECT 0x0001
#define PSP_USETITLE 0x0008

struct PROPSHEETHEADER {
    DWORD dwSize;
    DWORD dwFlags;
    HWND hwndParent;
    HINSTANCE hInstance;
    union {
        HICON hIcon;
        LPCSTR pszIcon;
    };
    LPCSTR pszCaption;  // the sheet's title (PSH_PROPTITLE: "Properties for %s")
    UINT nPages;
    union {
        UINT nStartPage;  // out of range: the first page
        LPCSTR pStartPage;
    };
    union {
        LPCPROPSHEETPAGE ppsp;  // with PSH_PROPSHEETPAGE: nPages records
        void* phpage;
    };
    PFNPROPSHEETCALLBACK pfnCallback;
};
typedef PROPSHEETHEADER* LPPROPSHEETHEADER;
typedef const PROPSHEETHEADER* LPCPROPSHEETHEADER;

#define PSH_DEFAULT 0x0000
#define PSH_PROPTITLE 0x0001
#define PSH_PROPSHEETPAGE 0x0008
#define PSH_NOAPPLYNOW 0x0080

// The Apply button's id.
#define ID_APPLY_NOW 0x3021

struct PSHNOTIFY {
    NMHDR hdr;
    LPARAM lParam;
};

#define PSN_FIRST (0U - 200U)
#define PSN_SETACTIVE (PSN_FIRST - 0U)
#define PSN_KILLACTIVE (PSN_FIRST - 1U)
#define PSN_APPLY (PSN_FIRST - 2U)
#define PSN_RESET (PSN_FIRST - 3U)
#define PSN_QUERYCANCEL (PSN_FIRST - 9U)

#define PSNRET_NOERROR 0
#define PSNRET_INVALID 1
#define PSNRET_INVALID_NOCHANGEPAGE 2

#define PSM_SETCURSEL (WM_USER + 101)    // wParam the page index; TRUE when it is shown
#define PSM_CHANGED (WM_USER + 104)      // wParam the page that changed: Apply is enabled
#define PSM_UNCHANGED (WM_USER + 109)    // wParam the page: Apply is disabled
#define PSM_APPLY (WM_USER + 110)        // as the Apply button; TRUE when every page took it
#define PSM_PRESSBUTTON (WM_USER + 113)  // wParam PSBTN_x: as a click on that button
#define PSM_GETTABCONTROL (WM_USER + 116)
#define PSM_GETCURRENTPAGEHWND (WM_USER + 118)
#define PSM_INDEXTOHWND (WM_USER + 130)  // wParam the index; the page, null when not made yet

#define PSBTN_OK 1
#define PSBTN_APPLYNOW 4
#define PSBTN_CANCEL 5

#define PropSheet_SetCurSel(sheet, hpage, index) \
    (BOOL) SendMessage((sheet), PSM_SETCURSEL, (WPARAM)(index), (LPARAM)(hpage))
#define PropSheet_Changed(sheet, page) \
    (BOOL) SendMessage((sheet), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0)
#define PropSheet_UnChanged(sheet, page) \
    (BOOL) SendMessage((sheet), PSM_UNCHANGED, reinterpret_cast<WPARAM>(page), 0)
#define PropSheet_Apply(sheet) (BOOL) SendMessage((sheet), PSM_APPLY, 0, 0)
#define PropSheet_PressButton(sheet, button) \
    (BOOL) SendMessage((sheet), PSM_PRESSBUTTON, (WPARAM)(button), 0)
#define PropSheet_GetTabControl(sheet) \
    reinterpret_cast<HWND>(SendMessage((sheet), PSM_GETTABCONTROL, 0, 0))
#define PropSheet_GetCurrentPageHwnd(sheet) \
    reinterpret_cast<HWND>(SendMessage((sheet), PSM_GETCURRENTPAGEHWND, 0, 0))
#define PropSheet_IndexToHwnd(sheet, index) \
    reinterpret_cast<HWND>(SendMessage((sheet), PSM_INDEXTOHWND, (WPARAM)(index), 0))

#define WC_TABCONTROL "SysTabControl32"
#define TCM_FIRST 0x1300
#define TCM_GETITEMCOUNT (TCM_FIRST + 4)
#define TCM_GETITEMRECT (TCM_FIRST + 10)  // wParam the tab, lParam RECT*; TRUE or FALSE
#define TCM_GETCURSEL (TCM_FIRST + 11)
#define TCN_FIRST (0U - 550U)
#define TCN_SELCHANGE (TCN_FIRST - 1U)
#define TCN_SELCHANGING (TCN_FIRST - 2U)

// Runs a modal sheet (PSH_PROPSHEETPAGE pages only; the owner is disabled
// meanwhile). Gives 1 when closed with OK (the pages applied), 0 when
// cancelled, -1 when a page's template is missing, there are no pages, or the
// header is not one of PSH_PROPSHEETPAGE pages.
PLATFORM_API INT_PTR PropertySheet(LPCPROPSHEETHEADER header);
