#pragma once
// The system's small icon list, as the folder tree shows it.

#include "Platform/Controls/ImageList.h"

namespace Zivoro::Shell {

class SystemIconList {
public:
    SystemIconList();
    Platform::HIMAGELIST Handle() const { return handle; }

private:
    Platform::HIMAGELIST handle = nullptr;
};

} // namespace Zivoro::Shell
