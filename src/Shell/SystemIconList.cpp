#include "Shell/SystemIconList.h"

#include "Platform/ShellApi/ShellFileInfo.h"

using namespace Platform;

namespace Zivoro::Shell {

SystemIconList::SystemIconList()
{
    SHFILEINFOW info;
    handle =
        reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(L"*.txt", FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                                                    SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON));
}

} // namespace Zivoro::Shell
