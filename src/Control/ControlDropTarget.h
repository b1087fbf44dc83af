#pragma once
// The control window's drop target: files dropped outside the list window (on the
// empty-list state, the toolbar) go to the main view. The dropped files stay where
// they are, so the only effect it ever reports is copy; a source that allows only a
// move is refused rather than told its files were taken.

#include "Views/CIDropTargetImpl.h"

class MainView;

class ControlDropTarget final : public CIDropTargetImpl {
public:
    explicit ControlDropTarget(MainView* view);

    Platform::HRESULT DragEnter(Platform::IDataObject* data, Platform::DWORD keyState, Platform::POINTL point,
                                Platform::DWORD* effect) override;
    Platform::HRESULT DragOver(Platform::DWORD keyState, Platform::POINTL point, Platform::DWORD* effect) override;
    Platform::HRESULT Drop(Platform::IDataObject* data, Platform::DWORD keyState, Platform::POINTL point,
                           Platform::DWORD* effect) override;

    // The view goes away before the last reference: later drops reach nobody.
    void Detach() { view = nullptr; }

private:
    ~ControlDropTarget() override = default;
    void OnDropFiles(Platform::HDROP drop) override;

    MainView* view; // not owned; the view detaches before it is destroyed
};
