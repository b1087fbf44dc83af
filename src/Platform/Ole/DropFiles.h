#pragma once
// Dropped file lists (CF_HDROP): a global block that starts with DROPFILES and holds
// the paths as wide strings, each ended by a null, the list ended by an empty string.
//
// Reading a path: DragQueryFileW with a null buffer gives its length; a buffer of that
// length plus one then takes it whole. A buffer too small for a path receives the
// empty string and the call returns 0: a cut path could name another file, so a
// caller with a fixed buffer skips the path instead. DragQueryFilePath returns it
// whole in one call.

#include "Platform/Ole/OleTypes.h"

#include <string>
#include <vector>

namespace Platform {

// A file list is the handle of its global block.
using HDROP = HGLOBAL;

struct DROPFILES {
    DWORD pFiles = 0; // where the paths start, in bytes from the block's start
    POINT pt; // the drop point in the target window's client area
    BOOL fNC = FALSE; // the point is in the non-client area
    BOOL fWide = TRUE; // the paths are wide strings (the only kind this platform writes or reads)
};

// True when a path can stand in a file list: it is not empty and holds no null.
bool IsListablePath(const std::wstring& path);

// A new block (GMEM_MOVEABLE) listing the paths in order. A path that is empty or
// holds a null character cannot be listed and is left out. Null when memory runs out.
HGLOBAL CreateDropFiles(const std::vector<std::wstring>& paths, POINT point);

// index 0xFFFFFFFF: the number of paths. Otherwise, for the path at index: with a
// null buffer its length in characters; with a buffer of size characters that holds
// it and its null, the path copied and its length; with a smaller buffer the empty
// string and 0. 0 for an index past the end and for a handle that is not a file list.
UINT DragQueryFileW(HDROP drop, UINT index, wchar_t* buffer, UINT size);
// The path at index, whole; empty when there is none.
std::wstring DragQueryFilePath(HDROP drop, UINT index);

} // namespace Platform
