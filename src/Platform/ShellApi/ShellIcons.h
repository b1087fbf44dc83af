#pragma once
// The system's small icons: one process-wide image list of 16 x 16 icons of our own.

#include "Platform/Controls/ImageList.h"

namespace Platform {

enum ShellIcon { ShellIconFile = 0, ShellIconFolder, ShellIconDesktop, ShellIconComputer, ShellIconDrive };

// Made on first use; lives as long as the process.
HIMAGELIST ShellSmallIcons();

} // namespace Platform
