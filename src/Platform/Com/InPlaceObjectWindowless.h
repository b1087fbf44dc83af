#pragma once
// IOleInPlaceObjectWindowless: a container hands an in-place object the messages of
// the area it covers when the object has no window of its own.

#include "Platform/Com/OleObject.h"

namespace Platform {

// {1C2056CC-5EF4-101B-8BC8-00AA003E3B29}
inline constexpr IID IID_IOleInPlaceObjectWindowless = {
    0x1C2056CC, 0x5EF4, 0x101B, {0x8B, 0xC8, 0x00, 0xAA, 0x00, 0x3E, 0x3B, 0x29}};

class IDropTarget;

class IOleInPlaceObjectWindowless : public IOleInPlaceObject {
public:
    // S_FALSE when the object leaves the message to the container.
    virtual HRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) = 0;
    virtual HRESULT GetDropTarget(IDropTarget** target) = 0;

protected:
    ~IOleInPlaceObjectWindowless() = default;
};

} // namespace Platform
