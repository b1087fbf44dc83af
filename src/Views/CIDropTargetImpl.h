#pragma once
// The drop target base of the views: it accepts file lists and the registered private
// formats, chooses the effect from the keys held, and hands a drop to OnDropFiles,
// OnDropBitmap or OnDropCustom, which derived views replace.

#include "Platform/Com/ComObject.h"
#include "Platform/Ole/DropFiles.h"
#include "Platform/Ole/DropTarget.h"

#include <vector>

class CIDropTargetImpl : public Platform::ComObject<Platform::IDropTarget, Platform::IID_IDropTarget> {
public:
    CIDropTargetImpl();

    Platform::HRESULT DragEnter(Platform::IDataObject* data, Platform::DWORD keyState, Platform::POINTL point,
                                Platform::DWORD* effect) override;
    Platform::HRESULT DragOver(Platform::DWORD keyState, Platform::POINTL point, Platform::DWORD* effect) override;
    Platform::HRESULT DragLeave() override;
    // Returns the effect chosen for the keys held (DROPEFFECT_NONE and S_FALSE when the
    // data was not accepted), so a source learns what happened to its data.
    Platform::HRESULT Drop(Platform::IDataObject* data, Platform::DWORD keyState, Platform::POINTL point,
                           Platform::DWORD* effect) override;

    // A disabled target accepts nothing from the next DragEnter on.
    void SetEnabled(bool value);

protected:
    ~CIDropTargetImpl() override;

    // The dropped file list, valid for the call only.
    virtual void OnDropFiles(Platform::HDROP drop);
    virtual void OnDropBitmap(Platform::HBITMAP bitmap);
    // A drop of a registered private format.
    virtual void OnDropCustom(Platform::IDataObject* data, Platform::DWORD keyState, Platform::POINTL point,
                              Platform::DWORD* effect);

private:
    bool Accepts(Platform::IDataObject* data);

    bool accept = false;
    bool enabled = true;
    std::vector<Platform::FORMATETC> acceptedFormats;
};
