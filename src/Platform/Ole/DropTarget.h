#pragma once
// IDropTarget: a window registered with RegisterDragDrop is told about drags over it.
// Points are on the screen; effect carries the effects the source allows in and the
// one the target would perform out.

#include "Platform/Com/Unknown.h"
#include "Platform/Ole/DataObject.h"

namespace Platform {

inline constexpr IID IID_IDropTarget = {0x00000122, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

class IDropTarget : public IUnknown {
public:
    virtual HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) = 0;
    virtual HRESULT DragOver(DWORD keyState, POINTL point, DWORD* effect) = 0;
    virtual HRESULT DragLeave() = 0;
    virtual HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) = 0;

protected:
    ~IDropTarget() = default;
};

} // namespace Platform
