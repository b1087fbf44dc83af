#pragma once
// The desktop folder of the shell namespace and every item made from it while it
// lives. Reading a folder's children may take long on a slow mount, so it is split:
// ReadSubfolders touches no state and runs on any thread; Adopt makes the items on the
// owner's thread.

#include "Shell/Item.h"

#include <memory>
#include <vector>

namespace Platform {
class IMalloc;
class IShellFolder;
} // namespace Platform

namespace Zivoro::Shell {

// What ReadSubfolders found of one child: everything an Item holds, its identifier
// list as bytes.
struct ItemRecord {
    std::wstring displayName;
    std::wstring path;
    std::wstring typeName;
    int iconIndex = 0;
    std::vector<std::uint8_t> itemIdList;
};

class DesktopFolder {
public:
    DesktopFolder();
    virtual ~DesktopFolder();
    DesktopFolder(const DesktopFolder&) = delete;
    DesktopFolder& operator=(const DesktopFolder&) = delete;

    Item* RootItem() const { return root; }
    // The desktop's folders, and a folder item's subfolders, as items owned here.
    void EnumDesktop(std::vector<Item*>& out);
    void EnumSubfolders(Item* item, std::vector<Item*>& out);

    // The subfolders of the folder with that absolute identifier list. Any thread.
    static std::vector<ItemRecord> ReadSubfolders(const std::vector<std::uint8_t>& folderIdList);
    // The identifier list of an item as bytes, for ReadSubfolders.
    static std::vector<std::uint8_t> IdListBytes(const Platform::ITEMIDLIST* list);
    // An item owned here from a record.
    Item* Adopt(const ItemRecord& record);

private:
    // A new item of the record, owning absolute (allocator memory).
    Item* Own(const ItemRecord& record, Platform::ITEMIDLIST* absolute);

    Platform::IShellFolder* desktop = nullptr;
    Platform::IMalloc* allocator = nullptr;
    Item* root = nullptr;
    std::vector<std::unique_ptr<Item>> items;
};

} // namespace Zivoro::Shell
