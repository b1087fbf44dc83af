#pragma once
// One item of the shell namespace as the folder tree shows it: its display name,
// file-system path (empty for a virtual folder), type name, small icon and the
// absolute item identifier list it was made from (freed by the DesktopFolder).

#include "Platform/ShellApi/ShellTypes.h"

#include <string>

namespace Zivoro::Shell {

class Item {
public:
    virtual ~Item() = default;

    std::wstring displayName;
    std::wstring path;
    std::wstring typeName;
    int iconIndex = 0;
    Platform::ITEMIDLIST* itemIdList = nullptr;
};

} // namespace Zivoro::Shell
