// The system's numbers and fixed texts by name: command ids, string ids and
// undo descriptions. Every menu, accelerator, toolbar, string table entry,
// effect and the frame use these names; a value appears here only.
//
// Command ids share one space for menus, accelerators and toolbar buttons.
// String id N holds the status help of command N: the text before '\r' is the
// help, the text after it the button's tooltip. A command id that is listed
// here but that the frame's command table lacks goes to the default frame
// handling (nothing happens yet).
#pragma once

// --- File
#define IDM_NEW 101
#define IDM_OPEN 102
#define IDM_SAVE 103
#define IDM_SAVEAS 104
#define IDM_CLOSE 105
// Opens the path in lParam (the command line and a later copy's hand-over).
#define IDM_OPENPATH 106
#define IDM_REVERT 238
#define IDM_LOADER 239
#define IDM_SETTINGS 510
#define IDM_EXIT 999

// --- Filters
#define IDM_OPTIONS 201
#define IDM_VOLUME 203
#define IDM_FADEIN 205
#define IDM_FADEOUT 206
#define IDM_VELOCITY 207
// Function bar: silences the mark, or inserts silence without one.
#define IDM_SILENCE 208
#define IDM_REVERSE 222
#define IDM_INSERTSILENCE 226
#define IDM_SOFTEN 227
#define IDM_FADELEFTTORIGHT 228
#define IDM_CSVOLUME 231
#define IDM_MAXVOLUME 232
#define IDM_FADERIGHTTOLEFT 234
#define IDM_CSFADECHANNELS 235
#define IDM_ZEROIZE 236
#define IDM_SEPARATECHANNELS 237
#define IDM_CONVERT 320

// --- Edit and mark
#define IDM_DESTROYMARK 221
#define IDM_MARKALL 225
#define IDM_UNDO 229
#define IDM_CUT 301
#define IDM_COPY 302
#define IDM_PASTE 303
#define IDM_MIX 304
#define IDM_DELETE 305
#define IDM_CROP 306
// The select bar's clipboard popup.
#define IDM_CLIPDELETE 307
#define IDM_CLIPEXPORT 308
#define IDM_CLIPIMPORT 309
#define IDM_CLIPINFO 310

// --- Playback and recording
#define IDM_PLAY 501
#define IDM_STOP 502
#define IDM_PAUSE 503
#define IDM_RECORD 505
#define IDM_PLAYLOOP 507
#define IDM_VOLUMEUP 707
#define IDM_VOLUMEDOWN 708

// --- Windows
#define IDM_CASCADE 701
#define IDM_TILE 702
#define IDM_ARRANGE 703
#define IDM_RESTORE 704
#define IDM_CLOSEALL 705
#define IDM_REBUILDPREVIEW 742
#define IDM_THREADMANAGER 754
#define IDM_EXTENSIONBUTTONS 755
#define IDM_CDPLAYER 766
// The window menu's document entries: the MDI client numbers its children
// from the first.
#define IDM_DOCUMENT_FIRST 800
#define IDM_DOCUMENT_LAST 899
// Function bar check button; changes only its own state.
#define IDM_DOCK 923

// --- CD, help and programs
// Plays the CD track in lParam (the command line's CD switch).
#define IDM_CDTRACK 511
// The icon bar's own command that 511 hands the track to.
#define IDM_ICONBAR_CDTRACK 2020
#define IDM_CONTEXTHELP 901
#define IDM_SOUNDDRIVERS 904
#define IDM_OUTPUTDEVICE 908
#define IDM_ABOUT 909
#define IDM_VOLUMECONTROL 911
#define IDM_TONBOX 931
#define IDM_TIPS 40010
#define IDM_HOMEPAGE 40011

// --- Extensions: extension k (from 0) has command 1001 + k, at most 128.
#define IDM_EXTENSION_FIRST 1001
#define IDM_EXTENSION_LAST 1128
// Menu help draws an extension's own text for ids from here to the last.
#define IDM_EXTENSION_HELP_FIRST 1000

// --- Recent files: entry n (1..20) has command 3000 + n.
#define IDM_RECENT_FIRST 3001
#define IDM_RECENT_LAST 3020

// --- The select bar's zoom popup. The select bar keeps every command from
// IDM_SELECTBAR_FIRST up for itself and sends the others on to the frame.
#define IDM_SELECTBAR_FIRST 9999
#define IDM_ZOOM_ORIGINAL 10001
#define IDM_ZOOM_50 10002
#define IDM_ZOOM_100 10003
#define IDM_ZOOM_500 10004
#define IDM_ZOOM_1000 10005
#define IDM_ZOOM_1500 10006
#define IDM_ZOOM_2000 10007
#define IDM_ZOOM_WHOLEFILE 10008
#define IDM_ZOOM_USER 10010

// --- Display names of running operations (string ids): the frame's operation
// table and the thread manager show them; operations announce them in
// UM_THREADBEGIN.
#define IDS_NAME_LOWPASS 15001
#define IDS_NAME_VOLUME 15002
#define IDS_NAME_FADEIN 15003
#define IDS_NAME_FADEOUT 15004
#define IDS_NAME_FADELEFTTORIGHT 15005
#define IDS_NAME_PEAKVOLUME 15006
#define IDS_NAME_REVERSE 15007
#define IDS_NAME_COPY 15010
#define IDS_NAME_PASTE 15011
#define IDS_NAME_MIX 15012
#define IDS_NAME_OPENFILE 15020
#define IDS_NAME_VELOCITY 15030
#define IDS_NAME_SILENCE 15031
#define IDS_NAME_FADERIGHTTOLEFT 15035
#define IDS_NAME_INSERTSILENCE 15037
#define IDS_NAME_EXTENSION 15050
// Zeroize's display name: the string table has no text under this id.
#define IDS_NAME_ZEROIZE 15073

// --- Other strings
// Status help while the first popup of the menu bar is highlighted.
#define IDS_SYSTEMMENU_HELP 9010
// A function bar button's tooltip is string IDS_TOOLTIP_BASE + its command id.
#define IDS_TOOLTIP_BASE 10000
// The start assistant's tip n (from 1) is string IDS_TIP_BASE + n.
#define IDS_TIP_BASE 50000
// Status help of the system menu's items, under the platform's system command ids.
#define IDS_SYSHELP_SIZE 61440
#define IDS_SYSHELP_MOVE 61456
#define IDS_SYSHELP_MINIMIZE 61472
#define IDS_SYSHELP_MAXIMIZE 61488
#define IDS_SYSHELP_NEXTWINDOW 61504
#define IDS_SYSHELP_PREVWINDOW 61520
#define IDS_SYSHELP_CLOSE 61536
#define IDS_SYSHELP_RESTORE 61728

// --- Undo descriptions: the Edit menu shows "&Undo: <text>\tCtrl + Z".
// Kind 1, bytes changed in place.
#define UNDO_TEXT_VOLUME "Change Volume"
#define UNDO_TEXT_FADEIN "Fade In"
#define UNDO_TEXT_FADEOUT "Fade Out"
#define UNDO_TEXT_MAXVOLUME "Set Maximal Volume"
#define UNDO_TEXT_REVERSE "Reverse"
#define UNDO_TEXT_SILENCE "Silence"
#define UNDO_TEXT_FADELEFTTORIGHT "Fade Channels Left To Right"
#define UNDO_TEXT_FADERIGHTTOLEFT "Fade Channels Right To Left"
#define UNDO_TEXT_ZEROIZE "Zeroize"
#define UNDO_TEXT_SOFTEN "Soften"
#define UNDO_TEXT_CSVOLUME "CurveSound Volume"
#define UNDO_TEXT_CSFADECHANNELS "CurveSound Fade Channels"
// Kind 2, bytes inserted.
#define UNDO_TEXT_PASTESAME "Paste From Same File"
#define UNDO_TEXT_PASTE "Paste From Clipboard"
#define UNDO_TEXT_INSERTSILENCE "Insert Silence"
// Kind 3, bytes removed.
#define UNDO_TEXT_DELETE "Delete"
