// Image lists: images of one size (cx x cy pixels), cut from bitmaps left to
// right and numbered from 0 in the order they were added.
//
// A list made with ILC_MASK keeps a transparency per pixel: ImageList_AddMasked
// and ImageList_LoadImage make every pixel of the mask colour transparent,
// ImageList_Add every pixel that is white in the mask bitmap. Drawing leaves
// the destination under transparent pixels unchanged. Handles are checked
// against the live lists: a destroyed list is refused, never dereferenced.
// Any thread.
#pragma once

#include <platform/dialog.h>
#include <platform/window.h>

DECLARE_PLATFORM_HANDLE(HIMAGELIST);

#define ILC_MASK 0x0001
#define ILC_COLOR 0x0000
#define ILC_COLORDDB 0x00FE
#define ILC_COLOR4 0x0004
#define ILC_COLOR8 0x0008
#define ILC_COLOR16 0x0010
#define ILC_COLOR24 0x0018
#define ILC_COLOR32 0x0020

#define ILD_NORMAL 0x0000
#define ILD_TRANSPARENT 0x0001
#define ILD_MASK 0x0010

// Mask colours: none (every pixel drawn), or the colour of the top-left pixel.
#define CLR_NONE 0xFFFFFFFFu
#define CLR_DEFAULT 0xFF000000u

// LoadImage flags; accepted by ImageList_LoadImage and not needed here.
#define LR_DEFAULTCOLOR 0x0000
#define LR_LOADTRANSPARENT 0x0020
#define LR_LOADMAP3DCOLORS 0x1000
#define LR_CREATEDIBSECTION 0x2000

// An empty list of cx x cy images (pixels); the colour depth and the growth
// hints are accepted and need not be honoured. Null for a size below 1.
PLATFORM_API HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
// Adds the images cut from a bitmap (as many whole images as its width holds,
// at least one; a smaller bitmap is padded, transparently in a masked list).
// The bitmap is copied and stays the caller's. In a masked list, the pixels
// that are white in mask (if given) are transparent. Gives the index of the
// first added image, or -1.
PLATFORM_API int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// As ImageList_Add; in a masked list every pixel of colour mask is transparent.
PLATFORM_API int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask);
// A list of cx-wide images cut from the bitmap resource name of inst (image
// height = the bitmap's height), masked by colour mask unless it is CLR_NONE
// (CLR_DEFAULT: the colour of the bitmap's top-left pixel). Only IMAGE_BITMAP
// is supported. Null when the bitmap is missing or cx is below 1. The caller
// destroys the list.
PLATFORM_API HIMAGELIST ImageList_LoadImage(HINSTANCE inst, LPCSTR name, int cx, int grow,
                                            COLORREF mask, UINT type, UINT flags);
#define ImageList_LoadBitmap(inst, name, cx, grow, mask) \
    ImageList_LoadImage(inst, name, cx, grow, mask, IMAGE_BITMAP, 0)
// Draws image index with its top-left corner at (x, y) of the context, within
// its clipping: transparent pixels leave the destination as it was; ILD_MASK
// draws the mask instead (black where the image is opaque, white elsewhere).
// FALSE for a bad list, index or context.
PLATFORM_API BOOL ImageList_Draw(HIMAGELIST list, int index, HDC hdc, int x, int y, UINT style);
PLATFORM_API int ImageList_GetImageCount(HIMAGELIST list);
// The image size; FALSE for a bad list.
PLATFORM_API BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
// Frees the list; FALSE for a list that is not (or no longer) there.
PLATFORM_API BOOL ImageList_Destroy(HIMAGELIST list);
