#include "Shell/DesktopFolder.h"

#include "Platform/ShellApi/ShellFileInfo.h"
#include "Platform/ShellApi/ShellFolder.h"
#include "Platform/ShellApi/ShellItemIds.h"

#include <cstring>

using namespace Platform;

namespace Zivoro::Shell {
namespace {

constexpr UINT kItemInfo = SHGFI_PIDL | SHGFI_DISPLAYNAME | SHGFI_TYPENAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON;

ItemRecord Describe(const ITEMIDLIST* absolute)
{
    ItemRecord record;
    SHFILEINFOW info;
    SHGetFileInfoW(reinterpret_cast<const wchar_t*>(absolute), 0, &info, sizeof info, kItemInfo);
    record.displayName = info.szDisplayName;
    record.typeName = info.szTypeName;
    record.iconIndex = info.iIcon;
    // Paths have no length limit here: the sized call takes what the item needs.
    std::vector<wchar_t> path(4096);
    if (SHGetPathFromIDListEx(absolute, path.data(), static_cast<DWORD>(path.size()), 0))
        record.path = path.data();
    record.itemIdList = DesktopFolder::IdListBytes(absolute);
    return record;
}

} // namespace

DesktopFolder::DesktopFolder()
{
    SHGetDesktopFolder(&desktop);
    SHGetMalloc(&allocator);
    auto* empty = static_cast<ITEMIDLIST*>(allocator->Alloc(sizeof(USHORT)));
    std::memset(empty, 0, sizeof(USHORT));
    root = Own(Describe(empty), empty);
}

DesktopFolder::~DesktopFolder()
{
    for (const std::unique_ptr<Item>& item : items)
        allocator->Free(item->itemIdList);
    items.clear();
    desktop->Release();
    allocator->Release();
}

Item* DesktopFolder::Own(const ItemRecord& record, ITEMIDLIST* absolute)
{
    auto item = std::make_unique<Item>();
    item->displayName = record.displayName;
    item->path = record.path;
    item->typeName = record.typeName;
    item->iconIndex = record.iconIndex;
    item->itemIdList = absolute;
    items.push_back(std::move(item));
    return items.back().get();
}

std::vector<std::uint8_t> DesktopFolder::IdListBytes(const ITEMIDLIST* list)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(list);
    return std::vector<std::uint8_t>(bytes, bytes + ILGetSize(list));
}

void DesktopFolder::EnumDesktop(std::vector<Item*>& out)
{
    for (const ItemRecord& record : ReadSubfolders(IdListBytes(root->itemIdList)))
        out.push_back(Adopt(record));
}

void DesktopFolder::EnumSubfolders(Item* item, std::vector<Item*>& out)
{
    for (const ItemRecord& record : ReadSubfolders(IdListBytes(item->itemIdList)))
        out.push_back(Adopt(record));
}

std::vector<ItemRecord> DesktopFolder::ReadSubfolders(const std::vector<std::uint8_t>& folderIdList)
{
    std::vector<ItemRecord> records;
    const auto* folderList = reinterpret_cast<const ITEMIDLIST*>(folderIdList.data());
    if (folderIdList.size() < sizeof(USHORT) || ILGetSize(folderList) != folderIdList.size())
        return records;
    IShellFolder* desktop = nullptr;
    IShellFolder* folder = nullptr;
    SHGetDesktopFolder(&desktop);
    const bool isDesktop = folderIdList.size() == sizeof(USHORT);
    if (isDesktop) {
        folder = desktop;
        folder->AddRef();
    } else if (FAILED(
                   desktop->BindToObject(folderList, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder)))) {
        desktop->Release();
        return records;
    }
    IEnumIDList* children = nullptr;
    if (SUCCEEDED(folder->EnumObjects(nullptr, SHCONTF_FOLDERS, &children))) {
        PITEMID_CHILD child = nullptr;
        ULONG fetched = 0;
        while (children->Next(1, &child, &fetched) == S_OK && fetched == 1) {
            ITEMIDLIST* absolute = ILCombine(folderList, child);
            ILFree(child);
            if (absolute) {
                records.push_back(Describe(absolute));
                ILFree(absolute);
            }
        }
        children->Release();
    }
    folder->Release();
    desktop->Release();
    return records;
}

Item* DesktopFolder::Adopt(const ItemRecord& record)
{
    auto* list = static_cast<ITEMIDLIST*>(allocator->Alloc(record.itemIdList.size()));
    std::memcpy(list, record.itemIdList.data(), record.itemIdList.size());
    return Own(record, list);
}

} // namespace Zivoro::Shell
