#pragma once
// The thumbnail list's drop target. Files dropped from outside become tiles when the
// list takes files: pictures by the list's rule, within the size and count limits, and
// not listed yet. They are copied, never moved: the move effect is never offered back.
// A tile dragged within the list moves before the tile it is dropped on; a tile from
// another list is ignored, since tile ids are given per list.

#include "Views/CIDropTargetImpl.h"

#include <cstdint>
#include <string>

class ListView;

class ListDropTarget final : public CIDropTargetImpl {
public:
    // The clipboard format name a tile drag carries.
    static constexpr const wchar_t* DragFormat = L"ListViewItem";

    ListDropTarget(ListView* list, bool takesFiles);

    Platform::HRESULT DragEnter(Platform::IDataObject* data, Platform::DWORD keyState, Platform::POINTL point,
                                Platform::DWORD* effect) override;
    Platform::HRESULT DragOver(Platform::DWORD keyState, Platform::POINTL point, Platform::DWORD* effect) override;
    Platform::HRESULT Drop(Platform::IDataObject* data, Platform::DWORD keyState, Platform::POINTL point,
                           Platform::DWORD* effect) override;

    // The data of a drag of the list's tile with the id, with one reference.
    Platform::IDataObject* CarryTile(std::int32_t id) const;
    // The list goes away before the last reference: later drops reach nobody.
    void Detach() { list = nullptr; }

private:
    ~ListDropTarget() override = default;
    void OnDropFiles(Platform::HDROP drop) override;
    void OnDropCustom(Platform::IDataObject* data, Platform::DWORD keyState, Platform::POINTL point,
                      Platform::DWORD* effect) override;
    bool Accepts(const std::wstring& path) const;

    ListView* list; // not owned; the list detaches before it is destroyed
    const bool takesFiles;
    // Tells this list's tile drags from another list's.
    const std::uint64_t identity;
};
