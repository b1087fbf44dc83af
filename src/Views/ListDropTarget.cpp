#include "Views/ListDropTarget.h"

#include "Biz/FileAdmission.h"
#include "Imaging/PictureTypes.h"
#include "Platform/Ole/GlobalMemory.h"
#include "Platform/Ole/StorageMedium.h"
#include "Platform/Win/WindowGeometry.h"
#include "Views/CustomDataObject.h"
#include "Views/FormatRegistry.h"
#include "Views/ListView.h"
#include "Views/ListViewItem.h"

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

} // namespace

ListDropTarget::ListDropTarget(ListView* owner, bool files)
    : list(owner), takesFiles(files), identity(NewListIdentity())
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
    return !list->ContainsPath(path) && FileAdmission::Instance().Admit(path, PictureRule::ListDrop, list->Count());
}

void ListDropTarget::OnDropFiles(HDROP drop)
{
    if (!list || !takesFiles || !list->makeDroppedTile)
        return;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    if (count < 1)
        return;
    for (UINT i = 0; i < count; ++i) {
        // Read whole: a path cut to a buffer could name another file. A full list
        // refuses each file, so that every refused file is reported.
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
