// The position bar's dialog "POSBAR": its controls by id, and the bitmap of
// the multimedia buttons beside it. The bar and the template use these names.
#pragma once

#define POSBAR_TEMPLATE "POSBAR"

// Labels drawn normally; every other static part has a white background.
#define IDC_POSBAR_STARTLABEL 304
#define IDC_POSBAR_LENGTHLABEL 306
#define IDC_POSBAR_POSITIONLABEL 307

// Start and length fields: minutes, seconds, milliseconds.
#define IDC_POSBAR_STARTMIN 101
#define IDC_POSBAR_STARTSEC 102
#define IDC_POSBAR_STARTMS 103
#define IDC_POSBAR_LENGTHMIN 108
#define IDC_POSBAR_LENGTHSEC 109
#define IDC_POSBAR_LENGTHMS 110

// Units after the fields: "m", "." and "s".
#define IDC_POSBAR_STARTUNIT_M 105
#define IDC_POSBAR_STARTUNIT_DOT 106
#define IDC_POSBAR_STARTUNIT_S 107
#define IDC_POSBAR_LENGTHUNIT_M 111
#define IDC_POSBAR_LENGTHUNIT_DOT 112
#define IDC_POSBAR_LENGTHUNIT_S 113

// The up-downs that spin the focused field of their group.
#define IDC_POSBAR_STARTSPIN 301
#define IDC_POSBAR_LENGTHSPIN 302

// Read-only: the time under the mouse.
#define IDC_POSBAR_POSITION 114

#define IDC_POSBAR_MARKALL 201
#define IDC_POSBAR_DESTROYMARK 202
#define IDC_POSBAR_UPDATEMARK 203

// The multimedia buttons: the first id, their number and their bitmap.
#define POSBAR_MMBUTTON_FIRST 800
#define POSBAR_MMBUTTON_COUNT 3
#define POSBAR_MMBUTTON_BITMAP "RED"
