#pragma once
// Image lists: numbered pictures of one size, drawn with their alpha onto a DC.
// A list is found by its handle; a destroyed or unknown handle finds nothing.

#include "Platform/Win/WinTypes.h"

namespace Platform {

struct ImageListTag;
using HIMAGELIST = ImageListTag*;

constexpr UINT ILC_COLOR32 = 0x0020;
constexpr UINT ILD_NORMAL = 0x0000;

// A list of width x height pictures; null for a size below 1.
HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
// Appends the pictures of a 32-bit bitmap, cut left to right into pictures of the
// list's size (its alpha kept; the mask is not used). Returns the index of the first
// new picture, or -1.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* width, int* height);
// Draws picture index with its top-left corner at (x, y), blended by its alpha.
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);

} // namespace Platform
