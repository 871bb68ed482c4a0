// Menus, menu bars, popup menus and accelerator tables.
// A menu is a handle to the layer's own record; a top-level window shows its
// menu as a menu bar above the client area. Menu templates and accelerator
// tables are data that the program registers as resources.
#pragma once

#include <platform/window.h>

// Menu item flags (the platform's values).
#define MF_INSERT 0x00000000
#define MF_CHANGE 0x00000080
#define MF_APPEND 0x00000100
#define MF_DELETE 0x00000200
#define MF_REMOVE 0x00001000
#define MF_BYCOMMAND 0x00000000
#define MF_BYPOSITION 0x00000400
#define MF_SEPARATOR 0x00000800
#define MF_ENABLED 0x00000000
#define MF_GRAYED 0x00000001
#define MF_DISABLED 0x00000002
#define MF_UNCHECKED 0x00000000
#define MF_CHECKED 0x00000008
#define MF_STRING 0x00000000
#define MF_BITMAP 0x00000004
#define MF_OWNERDRAW 0x00000100
#define MF_POPUP 0x00000010
#define MF_MENUBARBREAK 0x00000020
#define MF_MENUBREAK 0x00000040
#define MF_HILITE 0x00000080
#define MF_DEFAULT 0x00001000
#define MF_RIGHTJUSTIFY 0x00004000
#define MF_MOUSESELECT 0x00008000
#define MF_END 0x00000080  // in templates: the last item of a popup
#define MFT_RIGHTJUSTIFY MF_RIGHTJUSTIFY
#define MFT_SEPARATOR MF_SEPARATOR
#define MFS_GRAYED 0x00000003
#define MFS_CHECKED MF_CHECKED
#define MFS_DEFAULT MF_DEFAULT

// TrackPopupMenu flags.
#define TPM_LEFTBUTTON 0x0000
#define TPM_RIGHTBUTTON 0x0002
#define TPM_LEFTALIGN 0x0000
#define TPM_CENTERALIGN 0x0004
#define TPM_RIGHTALIGN 0x0008
#define TPM_TOPALIGN 0x0000
#define TPM_VCENTERALIGN 0x0010
#define TPM_BOTTOMALIGN 0x0020
#define TPM_NONOTIFY 0x0080
#define TPM_RETURNCMD 0x0100

// One entry of a menu template: a string, separator or popup. A popup's items
// follow it directly; the last item of each popup (and of the template's top
// level) carries MF_END. Registered with PlatformAddData(inst, "MENU", name,
// items, count * sizeof(PlatformMenuItem)).
struct PlatformMenuItem {
    UINT flags;  // MF_POPUP, MF_SEPARATOR, MF_GRAYED, MF_CHECKED, MF_RIGHTJUSTIFY, MF_END
    UINT id;
    const char* text;  // '&' marks the mnemonic, '\t' starts the shortcut text
};

PLATFORM_API HMENU CreateMenu(void);                       // an empty menu bar
PLATFORM_API HMENU CreatePopupMenu(void);                  // an empty popup
PLATFORM_API HMENU LoadMenu(HINSTANCE inst, LPCSTR name);  // null when absent
PLATFORM_API BOOL DestroyMenu(HMENU menu);                 // with its popups
PLATFORM_API BOOL IsMenu(HMENU menu);
PLATFORM_API BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCSTR text);
PLATFORM_API BOOL InsertMenu(HMENU menu, UINT pos, UINT flags, UINT_PTR idOrPopup, LPCSTR text);
PLATFORM_API BOOL ModifyMenu(HMENU menu, UINT pos, UINT flags, UINT_PTR idOrPopup, LPCSTR text);
PLATFORM_API BOOL DeleteMenu(HMENU menu, UINT pos, UINT flags);
PLATFORM_API BOOL RemoveMenu(HMENU menu, UINT pos, UINT flags);
// Previous state (MF_CHECKED or MF_UNCHECKED), or -1 when the item is absent.
PLATFORM_API DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);
PLATFORM_API BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags);
// item (UINT)-1 clears the default item.
PLATFORM_API BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition);
PLATFORM_API UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags);
PLATFORM_API HMENU GetSubMenu(HMENU menu, int pos);
PLATFORM_API int GetMenuItemCount(HMENU menu);
PLATFORM_API UINT GetMenuItemID(HMENU menu, int pos);               // (UINT)-1 for a popup
PLATFORM_API UINT GetMenuState(HMENU menu, UINT item, UINT flags);  // (UINT)-1 when absent
PLATFORM_API int GetMenuString(HMENU menu, UINT item, LPSTR buf, int size, UINT flags);
// Shows the popup at screen (x, y) after WM_INITMENUPOPUP to the window; the
// chosen command is posted to the window as WM_COMMAND (or returned with
// TPM_RETURNCMD, 0 when nothing was chosen). Tests answer it through the
// question hook (kind "PopupMenu", text = "id\ttext" of every item, one per
// line, data = the menu; answer = the chosen id or 0) and nothing is shown.
PLATFORM_API BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND hwnd,
                                 const RECT* rc);

// The menu bar of a top-level window (null removes it), shown above the
// client area, which shrinks by its height. Opening it sends WM_INITMENU
// (wParam = the bar's menu) once per session, then WM_INITMENUPOPUP (popup,
// MAKELPARAM(position, FALSE)) for each popup before it shows; hovering sends
// WM_MENUSELECT (MAKEWPARAM(id, flags), or MAKEWPARAM(position, MF_POPUP) for
// a popup; lParam = the menu holding the item); closing sends WM_MENUSELECT
// with HIWORD 0xFFFF and lParam 0; a chosen item then posts WM_COMMAND
// MAKEWPARAM(id, 0). Items from the first MF_RIGHTJUSTIFY one on sit at the
// right edge. Changes to the menu show without DrawMenuBar.
PLATFORM_API BOOL SetMenu(HWND hwnd, HMENU menu);
PLATFORM_API HMENU GetMenu(HWND hwnd);
PLATFORM_API BOOL DrawMenuBar(HWND hwnd);
PLATFORM_API HMENU GetSystemMenu(HWND hwnd, BOOL revert);

// Accelerators.
#define FVIRTKEY 0x01
#define FNOINVERT 0x02
#define FSHIFT 0x04
#define FCONTROL 0x08
#define FALT 0x10
struct ACCEL {
    BYTE fVirt;
    WORD key;
    WORD cmd;
};
// Registered with PlatformAddData(inst, "ACCELERATORS", name, table, n * sizeof(ACCEL)).
PLATFORM_API HACCEL LoadAccelerators(HINSTANCE inst, LPCSTR name);
PLATFORM_API HACCEL CreateAcceleratorTable(const ACCEL* table, int n);
PLATFORM_API BOOL DestroyAcceleratorTable(HACCEL accel);
// When the message is a key press that the table names, sends WM_COMMAND
// (MAKEWPARAM(cmd, 1)) to the window and gives nonzero.
PLATFORM_API int TranslateAccelerator(HWND hwnd, HACCEL accel, MSG* msg);
