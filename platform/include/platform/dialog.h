// Dialogs, controls, the open and save file dialogs, and sound playing.
//
// Dialog templates are data: a DIALOGTEMPLATE lists its controls, each placed
// in dialog units. The program registers templates with
//   PlatformAddData(inst, "DIALOG", name, &tmpl, sizeof tmpl)
// and DialogBoxParam / CreateDialogParam find them by instance and name (the
// layer keeps the pointer: templates live as long as the program). Dialog
// units map to pixels as x * 6 / 4 and y * 13 / 8 (the base units of the
// 8-point dialog font).
//
// A dialog is a window of class "#32770" whose procedure calls the DLGPROC and
// then does the default dialog handling: Escape sends WM_COMMAND IDCANCEL,
// Enter the default push button's id, WM_CLOSE sends IDCANCEL. Only the DLGPROC
// ends a dialog (EndDialog). Controls are child windows of the classes
// "BUTTON", "STATIC", "EDIT" and "COMBOBOX"; they notify their parent with
// WM_COMMAND MAKEWPARAM(id, code), lParam = the control.
//
// Every modal dialog and file dialog can be answered through the question
// hook (msgbox.h) so that nothing in a test waits for a person:
// - DialogBoxParam asks kind "Dialog", text = the template name ("#n" for a
//   number), owner, data = the dialog window (made hidden, WM_INITDIALOG
//   already sent). The hook may fill fields and press buttons itself; if the
//   dialog has not ended when it returns, its answer is pressed as a button id.
//   After a few asks without an end the dialog ends with IDCANCEL.
// - GetOpenFileName / GetSaveFileName ask kind "OpenFile" / "SaveFile", text =
//   the start folder (or the file given), caption = the title, style = the OFN
//   flags, data = the OPENFILENAME. The hook writes the chosen path into
//   lpstrFile (and may set nFilterIndex) and answers IDOK, or 0 to cancel; an
//   answer that is a pointer to a path text is taken as that path. With a hook
//   procedure and an added template, the template panel exists (hidden) while
//   the hook is asked, has had WM_INITDIALOG, and has been told CDN_SELCHANGE
//   for the path in lpstrFile when the hook wrote one before answering.
#pragma once

#include <platform/msgbox.h>
#include <platform/window.h>

// --- Templates ---------------------------------------------------------------

// One control: its class, text, id, position and size in dialog units, styles.
// WS_CHILD and WS_VISIBLE are added when the control is made.
struct DIALOGITEM {
    LPCSTR className;  // "BUTTON", "STATIC", "EDIT", "COMBOBOX", or a registered class
    LPCSTR text;
    int id;
    short x, y, cx, cy;
    DWORD style;
    DWORD exStyle;
};

// A dialog: caption, style (WS_* and DS_*), position (relative to the owner's
// client area, or to the parent for a DS_CONTROL child) and client size in
// dialog units, the font, and the controls.
struct DIALOGTEMPLATE {
    LPCSTR caption;
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    LPCSTR fontName;  // null: the layer's dialog font
    WORD pointSize;
    const DIALOGITEM* items;
    UINT itemCount;
};

// The resource type under which templates are registered.
#define RT_DIALOG_NAME "DIALOG"

// Dialog styles.
#define DS_ABSALIGN 0x01L
#define DS_SYSMODAL 0x02L
#define DS_3DLOOK 0x04L
#define DS_FIXEDSYS 0x08L
#define DS_LOCALEDIT 0x20L
#define DS_SETFONT 0x40L
#define DS_MODALFRAME 0x80L
#define DS_NOIDLEMSG 0x100L
#define DS_SETFOREGROUND 0x200L
#define DS_CONTROL 0x400L
#define DS_CENTER 0x800L
#define DS_CENTERMOUSE 0x1000L
#define DS_CONTEXTHELP 0x2000L

// Extra bytes of a dialog window (GetWindowLongPtr / SetWindowLongPtr).
#define DWLP_MSGRESULT 0
#define DWLP_DLGPROC 8
#define DWLP_USER 16
#define DLGWINDOWEXTRA 48

// Dialog messages and codes.
#define WM_NEXTDLGCTL 0x0028
#define WM_GETDLGCODE 0x0087
#define WM_CTLCOLORMSGBOX 0x0132
#define WM_CTLCOLOREDIT 0x0133
#define WM_CTLCOLORLISTBOX 0x0134
#define WM_CTLCOLORBTN 0x0135
#define WM_CTLCOLORDLG 0x0136
#define WM_CTLCOLORSCROLLBAR 0x0137
#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DC_HASDEFID 0x534B

// --- Dialog functions ----------------------------------------------------------

typedef UINT_PTR (*LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

// Modal dialog from a registered template: the owner is disabled, a local loop
// serves messages (sent calls included) until EndDialog, then the owner is
// enabled again. Gives EndDialog's result, or -1 when the template is missing
// or the dialog could not be made. WM_INITDIALOG carries param.
PLATFORM_API INT_PTR DialogBoxParam(HINSTANCE inst, LPCSTR name, HWND owner, DLGPROC proc,
                                    LPARAM param);
PLATFORM_API INT_PTR DialogBoxIndirectParam(HINSTANCE inst, const DIALOGTEMPLATE* tmpl, HWND owner,
                                            DLGPROC proc, LPARAM param);
#define DialogBox(inst, name, owner, proc) DialogBoxParam(inst, name, owner, proc, 0)
// Modeless dialog: the window, shown when the template has WS_VISIBLE; null
// when the template is missing. Destroy it with DestroyWindow.
PLATFORM_API HWND CreateDialogParam(HINSTANCE inst, LPCSTR name, HWND owner, DLGPROC proc,
                                    LPARAM param);
PLATFORM_API HWND CreateDialogIndirectParam(HINSTANCE inst, const DIALOGTEMPLATE* tmpl, HWND owner,
                                            DLGPROC proc, LPARAM param);
#define CreateDialog(inst, name, owner, proc) CreateDialogParam(inst, name, owner, proc, 0)
// Ends a modal dialog with result (DialogBoxParam returns it once the current
// message is done); a modeless dialog is only hidden: DestroyWindow ends it.
// FALSE for a window that is no dialog.
PLATFORM_API BOOL EndDialog(HWND dlg, INT_PTR result);
// The default dialog handling (what a dialog's window procedure does after its
// DLGPROC declined a message).
PLATFORM_API LRESULT DefDlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
// Handles the dialog keys of a message for the dialog (or one of its controls)
// in a loop: Escape and Enter, Tab and Shift+Tab, and the arrow keys on a
// button. Modal dialogs run it in their own loop.
PLATFORM_API BOOL IsDialogMessage(HWND dlg, MSG* msg);
// The next control with WS_TABSTOP after ctl (before it with previous) in the
// template's order, going round and passing over hidden and disabled ones;
// ctl itself when there is none. A null ctl starts from the ends.
PLATFORM_API HWND GetNextDlgTabItem(HWND dlg, HWND ctl, BOOL previous);
// The same within ctl's group (from the control with WS_GROUP at or before it
// up to the next one with WS_GROUP), for every control that can have the
// focus: labels and group boxes are passed over.
PLATFORM_API HWND GetNextDlgGroupItem(HWND dlg, HWND ctl, BOOL previous);
// Dialog units of a dialog to pixels (left/right by the x base, top/bottom by y).
PLATFORM_API BOOL MapDialogRect(HWND dlg, RECT* rc);
// The base units: LOWORD 6 (x), HIWORD 13 (y).
PLATFORM_API LONG GetDialogBaseUnits(void);

PLATFORM_API BOOL SetDlgItemText(HWND dlg, int id, LPCSTR text);
PLATFORM_API UINT GetDlgItemText(HWND dlg, int id, LPSTR buf, int size);
// The leading decimal number of the item's text (spaces allowed before it);
// *ok is FALSE (and the result 0) when there is none or it does not fit.
PLATFORM_API UINT GetDlgItemInt(HWND dlg, int id, BOOL* ok, BOOL isSigned);
PLATFORM_API BOOL SetDlgItemInt(HWND dlg, int id, UINT value, BOOL isSigned);
PLATFORM_API LRESULT SendDlgItemMessage(HWND dlg, int id, UINT msg, WPARAM wp, LPARAM lp);
PLATFORM_API BOOL CheckDlgButton(HWND dlg, int id, UINT check);
PLATFORM_API UINT IsDlgButtonChecked(HWND dlg, int id);
PLATFORM_API BOOL CheckRadioButton(HWND dlg, int first, int last, int check);

// --- Buttons ("BUTTON") ----------------------------------------------------------

#define BS_PUSHBUTTON 0x0L
#define BS_DEFPUSHBUTTON 0x1L
#define BS_CHECKBOX 0x2L
#define BS_AUTOCHECKBOX 0x3L
#define BS_RADIOBUTTON 0x4L
#define BS_3STATE 0x5L
#define BS_AUTO3STATE 0x6L
#define BS_GROUPBOX 0x7L
#define BS_AUTORADIOBUTTON 0x9L
#define BS_TYPEMASK 0xFL
#define BS_LEFTTEXT 0x20L
#define BS_BITMAP 0x80L
#define BS_LEFT 0x100L
#define BS_RIGHT 0x200L
#define BS_CENTER 0x300L
#define BS_PUSHLIKE 0x1000L
#define BS_FLAT 0x8000L

#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_GETSTATE 0x00F2
#define BM_SETSTATE 0x00F3
#define BM_SETSTYLE 0x00F4
#define BM_CLICK 0x00F5
#define BM_GETIMAGE 0x00F6
#define BM_SETIMAGE 0x00F7
#define BST_UNCHECKED 0x0
#define BST_CHECKED 0x1
#define BST_INDETERMINATE 0x2

#define BN_CLICKED 0
#define BN_DOUBLECLICKED 5
#define BN_SETFOCUS 6
#define BN_KILLFOCUS 7

// --- Static controls ("STATIC") -------------------------------------------------

#define SS_LEFT 0x00L
#define SS_CENTER 0x01L
#define SS_RIGHT 0x02L
#define SS_ICON 0x03L
#define SS_BLACKRECT 0x04L
#define SS_GRAYRECT 0x05L
#define SS_WHITERECT 0x06L
#define SS_BLACKFRAME 0x07L
#define SS_GRAYFRAME 0x08L
#define SS_WHITEFRAME 0x09L
#define SS_SIMPLE 0x0BL
#define SS_LEFTNOWORDWRAP 0x0CL
#define SS_BITMAP 0x0EL
#define SS_ETCHEDHORZ 0x10L
#define SS_ETCHEDVERT 0x11L
#define SS_ETCHEDFRAME 0x12L
#define SS_TYPEMASK 0x1FL
#define SS_NOPREFIX 0x80L
#define SS_NOTIFY 0x100L
#define SS_CENTERIMAGE 0x200L
#define SS_SUNKEN 0x1000L

#define STM_SETICON 0x0170
#define STM_GETICON 0x0171
#define STM_SETIMAGE 0x0172
#define STM_GETIMAGE 0x0173
#define IMAGE_BITMAP 0
#define IMAGE_ICON 1
#define IMAGE_CURSOR 2

#define STN_CLICKED 0

// --- Edit controls ("EDIT", single line) ----------------------------------------

#define ES_LEFT 0x0000L
#define ES_CENTER 0x0001L
#define ES_RIGHT 0x0002L
#define ES_MULTILINE 0x0004L
#define ES_UPPERCASE 0x0008L
#define ES_LOWERCASE 0x0010L
#define ES_PASSWORD 0x0020L
#define ES_AUTOVSCROLL 0x0040L
#define ES_AUTOHSCROLL 0x0080L
#define ES_NOHIDESEL 0x0100L
#define ES_READONLY 0x0800L
#define ES_WANTRETURN 0x1000L
#define ES_NUMBER 0x2000L

#define EM_GETSEL 0x00B0
#define EM_SETSEL 0x00B1
#define EM_LIMITTEXT 0x00C5
#define EM_SETLIMITTEXT EM_LIMITTEXT
#define EM_SETREADONLY 0x00CF
#define EM_GETLIMITTEXT 0x00D5

#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300
#define EN_UPDATE 0x0400
#define EN_MAXTEXT 0x0501

// --- Combo boxes ("COMBOBOX") ---------------------------------------------------

#define CBS_SIMPLE 0x0001L
#define CBS_DROPDOWN 0x0002L
#define CBS_DROPDOWNLIST 0x0003L
#define CBS_AUTOHSCROLL 0x0040L
#define CBS_SORT 0x0100L
#define CBS_HASSTRINGS 0x0200L

#define CB_GETEDITSEL 0x0140
#define CB_LIMITTEXT 0x0141
#define CB_SETEDITSEL 0x0142
#define CB_ADDSTRING 0x0143
#define CB_DELETESTRING 0x0144
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_INSERTSTRING 0x014A
#define CB_RESETCONTENT 0x014B
#define CB_FINDSTRING 0x014C
#define CB_SELECTSTRING 0x014D
#define CB_SETCURSEL 0x014E
#define CB_SHOWDROPDOWN 0x014F
#define CB_GETITEMDATA 0x0150
#define CB_SETITEMDATA 0x0151
#define CB_GETDROPPEDSTATE 0x0157
#define CB_FINDSTRINGEXACT 0x0158
#define CB_OKAY 0
#define CB_ERR (-1)
#define CB_ERRSPACE (-2)

#define CBN_ERRSPACE (-1)
#define CBN_SELCHANGE 1
#define CBN_DBLCLK 2
#define CBN_SETFOCUS 3
#define CBN_KILLFOCUS 4
#define CBN_EDITCHANGE 5
#define CBN_EDITUPDATE 6
#define CBN_DROPDOWN 7
#define CBN_CLOSEUP 8
#define CBN_SELENDOK 9
#define CBN_SELENDCANCEL 10

// --- Open and save file dialogs ----------------------------------------------------

struct OPENFILENAME {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;  // where lpTemplateName is registered
    LPCSTR lpstrFilter;   // pairs "description\0pattern\0" ended by an empty one; ';' separates
                          // patterns
    LPSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;  // 1-based, in and out
    LPSTR lpstrFile;     // in: start file (may be empty); out: the chosen path
    DWORD nMaxFile;      // characters of lpstrFile
    LPSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCSTR lpstrInitialDir;
    LPCSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;     // out: offset of the file name in lpstrFile
    WORD nFileExtension;  // out: offset of the extension (after the dot), 0 for none
    LPCSTR lpstrDefExt;
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;  // receives WM_INITDIALOG, WM_COMMAND and WM_NOTIFY of the panel
    LPCSTR lpTemplateName;   // a DS_CONTROL template placed under the file list
    void* pvReserved;
    DWORD dwReserved;
    DWORD FlagsEx;
};
typedef OPENFILENAME* LPOPENFILENAME;

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_SHOWHELP 0x00000010
#define OFN_ENABLEHOOK 0x00000020
#define OFN_ENABLETEMPLATE 0x00000040
#define OFN_NOVALIDATE 0x00000100
#define OFN_ALLOWMULTISELECT 0x00000200
#define OFN_EXTENSIONDIFFERENT 0x00000400
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_CREATEPROMPT 0x00002000
#define OFN_NOREADONLYRETURN 0x00008000
#define OFN_NOTESTFILECREATE 0x00010000
#define OFN_EXPLORER 0x00080000
#define OFN_LONGNAMES 0x00200000
#define OFN_ENABLESIZING 0x00800000

// Notifications to the hook procedure (WM_NOTIFY, lParam an OFNOTIFY whose
// hdr.hwndFrom is the file dialog) and messages the hook sends to the file
// dialog (GetParent of the panel).
#define CDN_FIRST (0U - 601U)
#define CDN_INITDONE (CDN_FIRST - 0U)
#define CDN_SELCHANGE (CDN_FIRST - 1U)
#define CDN_FOLDERCHANGE (CDN_FIRST - 2U)
#define CDN_FILEOK (CDN_FIRST - 5U)
#define CDN_TYPECHANGE (CDN_FIRST - 6U)
#define CDM_FIRST (WM_USER + 100)
#define CDM_GETSPEC (CDM_FIRST + 0)
#define CDM_GETFILEPATH (CDM_FIRST + 1)  // wParam buffer size, lParam buffer; gives the length + 1
#define CDM_GETFOLDERPATH (CDM_FIRST + 2)

struct OFNOTIFY {
    NMHDR hdr;
    OPENFILENAME* lpOFN;
    LPSTR pszFile;
};

// TRUE with the chosen path in lpstrFile; FALSE when cancelled (or the buffer
// is too small for the path: CommDlgExtendedError then gives FNERR_BUFFERTOOSMALL).
PLATFORM_API BOOL GetOpenFileName(OPENFILENAME* ofn);
PLATFORM_API BOOL GetSaveFileName(OPENFILENAME* ofn);
PLATFORM_API DWORD CommDlgExtendedError(void);
#define FNERR_BUFFERTOOSMALL 0x3003

// --- Sound playing -------------------------------------------------------------

#define SND_SYNC 0x0000
#define SND_ASYNC 0x0001
#define SND_NODEFAULT 0x0002
#define SND_MEMORY 0x0004
#define SND_LOOP 0x0008
#define SND_NOSTOP 0x0010
#define SND_PURGE 0x0040
#define SND_NOWAIT 0x00002000
#define SND_ALIAS 0x00010000
#define SND_FILENAME 0x00020000
#define SND_RESOURCE 0x00040004

// Plays a wave: a file (SND_FILENAME), a wave image in memory (SND_MEMORY), or
// the "WAVE" data resource of mod (SND_RESOURCE). SND_ASYNC returns at once;
// otherwise the call waits (serving sent messages) until the sound ends.
// A new sound stops the one playing; null sound (or SND_PURGE) stops it;
// SND_NOSTOP refuses while one plays. SND_LOOP and SND_ALIAS are not
// supported (a loop plays once, an alias fails). FALSE when the sound cannot
// be read or no device opens (nothing plays then: no default sound exists).
PLATFORM_API BOOL PlaySound(LPCSTR sound, HMODULE mod, DWORD flags);
