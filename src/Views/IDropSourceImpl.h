#pragma once
// The drop source of a tile drag: Escape cancels, releasing the left button drops,
// and the platform shows its usual cursors.

#include "Platform/Com/ComObject.h"
#include "Platform/Ole/DropSource.h"

class IDropSourceImpl final : public Platform::ComObject<Platform::IDropSource, Platform::IID_IDropSource> {
public:
    IDropSourceImpl() = default;

    Platform::HRESULT QueryContinueDrag(Platform::BOOL escapePressed, Platform::DWORD keyState) override;
    Platform::HRESULT GiveFeedback(Platform::DWORD effect) override;

private:
    ~IDropSourceImpl() override = default;
};
