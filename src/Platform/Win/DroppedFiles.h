#pragma once
// Files dropped on the screen from outside the process arrive as input; the
// drag-and-drop layer, which knows the drop targets, installs the handler that takes
// them. Until it does, dropped files are ignored.

#include "Platform/Win/WinTypes.h"

#include <string>
#include <vector>

namespace Platform {

using DroppedFilesHandler = void (*)(const std::vector<std::wstring>& paths, POINT screen, DWORD keyState);

// Any thread.
void SetDroppedFilesHandler(DroppedFilesHandler handler);
// On the thread that routes the input.
void DeliverDroppedFiles(const std::vector<std::wstring>& paths, POINT screen, DWORD keyState);

} // namespace Platform
