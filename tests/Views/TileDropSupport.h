#pragma once
// A view's drop target for the tests: it records the files and tile ids its drops hand
// it, and the effect each drop reports to the source.

#include "Platform/Ole/StorageMedium.h"
#include "Views/CIDropTargetImpl.h"
#include "Views/FormatRegistry.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace TileDrop {

using namespace Platform;

class RecordingViewTarget final : public CIDropTargetImpl {
public:
    HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override
    {
        const HRESULT result = CIDropTargetImpl::Drop(data, keyState, point, effect);
        dropEffects.push_back(*effect);
        return result;
    }

    std::vector<std::wstring> files;
    std::vector<std::uint32_t> tileIds;
    // The effect OnDropCustom was handed, and what each Drop returned to the source.
    DWORD customEffect = 0;
    std::vector<DWORD> dropEffects;

protected:
    void OnDropFiles(HDROP drop) override
    {
        for (UINT i = 0; i < DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0); ++i)
            files.push_back(DragQueryFilePath(drop, i));
    }
    // Reads the tile id as a list does.
    void OnDropCustom(IDataObject* data, DWORD, POINTL, DWORD* effect) override
    {
        customEffect = *effect;
        FORMATETC format = FormatRegistry::Instance().LookupFormat(L"ListViewItem");
        STGMEDIUM medium;
        if (data->GetData(&format, &medium) != S_OK)
            return;
        std::uint32_t id = 0;
        std::memcpy(&id, GlobalLock(medium.hGlobal), sizeof id);
        GlobalUnlock(medium.hGlobal);
        ReleaseStgMedium(&medium);
        tileIds.push_back(id);
    }
};

} // namespace TileDrop
