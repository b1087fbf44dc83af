#pragma once
// Files dropped from outside the process (a file manager, or the page of the web
// backend) reach the drop target registered under the point.

#include "Platform/Win/WinTypes.h"

#include <string>
#include <vector>

namespace Platform {

// Offers the paths to the target under the screen point as a file list: DragEnter,
// DragOver and, when the target takes them, Drop; otherwise DragLeave. The files stay
// where they are, so the only effect offered is DROPEFFECT_COPY, whatever keys are held.
// Paths that cannot name a file (empty, or holding a null) are left out, and a drop
// without paths reaches nobody.
void DropFilesFromOutside(const std::vector<std::wstring>& paths, POINT screen, DWORD keyState);

} // namespace Platform
