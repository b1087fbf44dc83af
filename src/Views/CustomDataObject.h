#pragma once
// A data object that holds one format: what a tile drag carries (the tile's id under
// the "ListViewItem" format).

#include "Platform/Ole/DataObjectBase.h"

#include <cstddef>
#include <cstdint>
#include <string>

class CustomDataObject final : public Platform::DataObjectBase {
public:
    CustomDataObject() = default;

    // A copy of the stored block for a request that matches the stored format (same
    // format and aspect, a medium type in common); DV_E_FORMATETC otherwise.
    Platform::HRESULT GetData(Platform::FORMATETC* format, Platform::STGMEDIUM* medium) override;
    Platform::HRESULT QueryGetData(Platform::FORMATETC* format) override;
    // Takes over the medium (release must be TRUE: the object copies nothing; E_NOTIMPL
    // otherwise), releasing what it held before.
    Platform::HRESULT SetData(Platform::FORMATETC* format, Platform::STGMEDIUM* medium,
                              Platform::BOOL release) override;

    // Stores the 32-bit value in a 4-byte block under the registered format of name.
    void SetItemId(std::uint32_t value, const std::wstring& name);
    // Stores a copy of the bytes in a block under the registered format of name.
    void SetBlock(const void* bytes, std::size_t size, const std::wstring& name);

private:
    ~CustomDataObject() override;

    Platform::FORMATETC stored;
    Platform::STGMEDIUM medium;
};
