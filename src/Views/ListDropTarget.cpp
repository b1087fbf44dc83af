#include "Views/ListDropTarget.h"

#include "Biz/AppConfig.h"
#include "Imaging/PictureTypes.h"
#include "Platform/Files/RegularFile.h"
#include "Platform/Ole/GlobalMemory.h"
#include "Platform/Ole/StorageMedium.h"
#include "Platform/Win/WindowGeometry.h"
#include "Views/CustomDataObject.h"
#include "Views/FormatRegistry.h"
#include "Views/ListView.h"
#include "Views/ListViewItem.h"

#include <unistd.h>

#include <atomic>
#include <cstring>

using namespace Platform;

namespace {

// What a tile drag carries: the tile id first (4 bytes, as every reader of the
// format expects), then the identity of the list it came from.
struct TileDragData {
    std::uint32_t id;
    std::uint32_t reserved;
    std::uint64_t list;
};

// Never reused within the process, unlike a list's address.
std::uint64_t NewListIdentity()
{
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1);
}

// The size of the file by seeking to its end; 0 when it cannot be opened.
std::int64_t MeasureFileSize(const std::wstring& path)
{
    const int descriptor = OpenRegularFileForReading(path);
    if (descriptor < 0)
        return 0;
    const off_t end = lseek(descriptor, 0, SEEK_END);
    close(descriptor);
    return end < 0 ? 0 : static_cast<std::int64_t>(end);
}

} // namespace

ListDropTarget::ListDropTarget(ListView* owner, bool files) : list(owner), takesFiles(files), identity(NewListIdentity())
{
    FormatRegistry::Instance().RegisterFormat(DragFormat);
}

HRESULT ListDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect)
{
    if (effect)
        *effect &= ~DROPEFFECT_MOVE;
    return CIDropTargetImpl::DragEnter(data, keyState, point, effect);
}

HRESULT ListDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect)
{
    if (effect)
        *effect &= ~DROPEFFECT_MOVE;
    return CIDropTargetImpl::DragOver(keyState, point, effect);
}

HRESULT ListDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect)
{
    if (effect)
        *effect &= ~DROPEFFECT_MOVE;
    return CIDropTargetImpl::Drop(data, keyState, point, effect);
}

IDataObject* ListDropTarget::CarryTile(std::int32_t id) const
{
    auto* object = new CustomDataObject;
    const TileDragData carried{static_cast<std::uint32_t>(id), 0, identity};
    object->SetBlock(&carried, sizeof carried, DragFormat);
    return object;
}

bool ListDropTarget::Accepts(const std::wstring& path) const
{
    if (!IsPicturePath(path, PictureRule::ListDrop))
        return false;
    if (AppConfig::Instance().IsFileTooLarge(MeasureFileSize(path)))
        return false;
    return !list->ContainsPath(path);
}

void ListDropTarget::OnDropFiles(HDROP drop)
{
    if (!list || !takesFiles || !list->makeDroppedTile)
        return;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    if (count < 1)
        return;
    for (UINT i = 0; i < count; ++i) {
        // A full list takes nothing more: the limit is tested before each addition.
        if (AppConfig::Instance().IsFilesLimitReached(list->Count()))
            break;
        // Read whole: a path cut to a buffer could name another file.
        const std::wstring path = DragQueryFilePath(drop, i);
        if (!Accepts(path))
            continue;
        if (std::unique_ptr<ListViewItem> tile = list->makeDroppedTile(path))
            list->AddItem(std::move(tile));
    }
    list->Layout();
    list->UpdateScrollBar();
    list->InvalidateAll();
    list->FilesDropped();
}

void ListDropTarget::OnDropCustom(IDataObject* data, DWORD, POINTL point, DWORD*)
{
    if (!list)
        return;
    POINT local{point.x, point.y};
    ScreenToClient(list->GetHwnd(), &local);
    local.y += list->ScrollPosition();
    ListViewItem* target = list->ItemAt(local);
    if (!target)
        return;
    FORMATETC format = FormatRegistry::Instance().LookupFormat(DragFormat);
    STGMEDIUM medium;
    if (data->GetData(&format, &medium) != S_OK)
        return;
    TileDragData carried{};
    const void* bytes = GlobalLock(medium.hGlobal);
    const bool complete = bytes && GlobalSize(medium.hGlobal) >= sizeof carried;
    if (complete)
        std::memcpy(&carried, bytes, sizeof carried);
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    if (complete && carried.list == identity)
        list->MoveItem(static_cast<std::int32_t>(carried.id), target->Id());
}
