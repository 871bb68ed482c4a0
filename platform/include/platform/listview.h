// The list view control ("SysListView32") and image lists.
//
// A list view is a child window made with CreateWindowEx; in report view
// (LVS_REPORT) it shows one row per item and one column per sub-item under a
// header. Items and columns are 0-based; -1 means none or failure. Texts are
// copied in; LVM_GETITEMTEXT copies out into the caller's buffer. A right
// click on the list sends its parent WM_CONTEXTMENU (wParam the list view,
// lParam the screen position). Sorting styles are not applied: items stay in
// the order they were inserted.
//
// A list view destroys the image lists (imagelist.h) attached to it when it is
// destroyed, unless it has LVS_SHAREIMAGELISTS.
#pragma once

#include <platform/imagelist.h>
#include <platform/window.h>

#define WC_LISTVIEW "SysListView32"

// Styles.
#define LVS_ICON 0x0000
#define LVS_REPORT 0x0001
#define LVS_SMALLICON 0x0002
#define LVS_LIST 0x0003
#define LVS_TYPEMASK 0x0003
#define LVS_SINGLESEL 0x0004
#define LVS_SHOWSELALWAYS 0x0008
#define LVS_SORTASCENDING 0x0010
#define LVS_SORTDESCENDING 0x0020
#define LVS_SHAREIMAGELISTS 0x0040
#define LVS_AUTOARRANGE 0x0100
#define LVS_NOCOLUMNHEADER 0x4000

// Extended list view styles (LVM_SETEXTENDEDLISTVIEWSTYLE).
#define LVS_EX_GRIDLINES 0x00000001
#define LVS_EX_FULLROWSELECT 0x00000020

// Messages.
#define LVM_FIRST 0x1000
#define LVM_GETIMAGELIST (LVM_FIRST + 2)  // wParam LVSIL_x; gives the list or null
#define LVM_SETIMAGELIST (LVM_FIRST + 3)  // wParam LVSIL_x, lParam the list; gives the old one
#define LVM_GETITEMCOUNT (LVM_FIRST + 4)
#define LVM_GETITEM (LVM_FIRST + 5)  // lParam LVITEM*: iItem, iSubItem and mask name what to read
#define LVM_SETITEM (LVM_FIRST + 6)  // lParam LVITEM*; TRUE or FALSE
#define LVM_INSERTITEM (LVM_FIRST + 7)  // lParam LVITEM* (iSubItem 0); gives the new index or -1
#define LVM_DELETEITEM (LVM_FIRST + 8)  // wParam the item; TRUE or FALSE
#define LVM_DELETEALLITEMS (LVM_FIRST + 9)
#define LVM_GETNEXTITEM \
    (LVM_FIRST + 12)  // wParam the item to start after (-1: from the first), lParam LVNI_x
#define LVM_GETCOLUMN (LVM_FIRST + 25)  // wParam the column, lParam LVCOLUMN*; TRUE or FALSE
#define LVM_INSERTCOLUMN \
    (LVM_FIRST + 27)  // wParam the place, lParam LVCOLUMN*; gives the index or -1
#define LVM_DELETECOLUMN (LVM_FIRST + 28)    // wParam the column
#define LVM_GETCOLUMNWIDTH (LVM_FIRST + 29)  // wParam the column; gives pixels, 0 for none
#define LVM_SETCOLUMNWIDTH (LVM_FIRST + 30)  // wParam the column, lParam pixels
#define LVM_SETITEMSTATE \
    (LVM_FIRST + 43)  // wParam the item (-1: all), lParam LVITEM* state, stateMask
#define LVM_GETITEMSTATE (LVM_FIRST + 44)  // wParam the item, lParam the mask; gives the state bits
#define LVM_GETITEMTEXT \
    (LVM_FIRST + 45)  // wParam the item, lParam LVITEM*; gives the length copied
#define LVM_SETITEMTEXT (LVM_FIRST + 46)  // wParam the item, lParam LVITEM* (iSubItem, pszText)
#define LVM_GETSELECTEDCOUNT (LVM_FIRST + 50)
#define LVM_SETEXTENDEDLISTVIEWSTYLE (LVM_FIRST + 54)  // wParam the mask (0: all), lParam the bits
#define LVM_GETEXTENDEDLISTVIEWSTYLE (LVM_FIRST + 55)

#define LVSIL_NORMAL 0
#define LVSIL_SMALL 1
#define LVSIL_STATE 2

#define LVNI_ALL 0x0000
#define LVNI_FOCUSED 0x0001
#define LVNI_SELECTED 0x0002

#define LVIF_TEXT 0x0001
#define LVIF_IMAGE 0x0002
#define LVIF_PARAM 0x0004
#define LVIF_STATE 0x0008

#define LVIS_FOCUSED 0x0001
#define LVIS_SELECTED 0x0002

#define LVCF_FMT 0x0001
#define LVCF_WIDTH 0x0002
#define LVCF_TEXT 0x0004
#define LVCF_SUBITEM 0x0008

#define LVCFMT_LEFT 0x0000
#define LVCFMT_RIGHT 0x0001
#define LVCFMT_CENTER 0x0002

// One item or sub-item. pszText is the text to set, or the buffer of
// cchTextMax bytes that a read fills (always terminated).
struct LVITEM {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    LPSTR pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
    int iIndent;
};

struct LVCOLUMN {
    UINT mask;
    int fmt;
    int cx;  // pixels
    LPSTR pszText;
    int cchTextMax;
    int iSubItem;
};
