#pragma once
// One drag started in this process: it asks the source whether to go on, follows the
// pointer over the registered drop targets and ends with a drop or a cancel.

#include "Platform/Ole/RegisteredDropTarget.h"
#include "Platform/Ole/DropSource.h"

namespace Platform {

class DragSession {
public:
    DragSession(IDataObject* data, IDropSource* source, DWORD allowedEffects);

    // Asks the source with the current keys and follows the pointer. While the drag goes
    // on (S_OK) the source gets feedback; DRAGDROP_S_DROP or DRAGDROP_S_CANCEL when the
    // source ends the drag.
    HRESULT Step(bool escapePressed);
    // Ends the drag as outcome says: a drop on the target under the pointer, or a
    // cancel. Returns what DoDragDrop returns and sets effect.
    HRESULT Finish(HRESULT outcome, DWORD* effect);

private:
    void Follow(POINT screen, DWORD keyState);
    void Leave();

    ComPtr<IDataObject> data;
    ComPtr<IDropSource> source;
    const DWORD allowed;
    // The target under the pointer and the effect it offered last.
    RegisteredDropTarget current;
    DWORD effect = DROPEFFECT_NONE;
};

} // namespace Platform
