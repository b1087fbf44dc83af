#pragma once
// Drag and drop between windows: drop target registration and the modal loop of a
// drag that starts in this process. Files dragged in from outside arrive through the
// backend and reach the registered target under the drop point as a file list.

#include "Platform/Ole/DataObject.h"
#include "Platform/Ole/DropSource.h"
#include "Platform/Ole/DropTarget.h"

namespace Platform {

// Makes target the window's drop target; the window holds a reference to it until it
// is revoked or the window is destroyed. S_OK, E_INVALIDARG for a null target,
// DRAGDROP_E_INVALIDHWND for a window the calling thread does not own, or
// DRAGDROP_E_ALREADYREGISTERED.
HRESULT RegisterDragDrop(HWND window, IDropTarget* target);
// S_OK, DRAGDROP_E_INVALIDHWND, or DRAGDROP_E_NOTREGISTERED.
HRESULT RevokeDragDrop(HWND window);

// Runs a drag on the calling thread until the source ends it; window messages keep
// being dispatched meanwhile. The pointer is followed over the windows registered on
// this thread (the target of the window under it or of its nearest registered
// ancestor): DragEnter when it comes over a target, DragOver as it moves there or
// the keys change, DragLeave when it goes or the drag is cancelled, Drop when the
// source drops over a target that offered an effect. The source is asked at every
// move and key (QueryContinueDrag with Escape and the MK_* keys) and told the effect
// (GiveFeedback). An effect is always one of allowedEffects.
// DRAGDROP_S_DROP with the drop's effect (DROPEFFECT_NONE when nothing took the
// data), DRAGDROP_S_CANCEL with DROPEFFECT_NONE, E_INVALIDARG for a null argument,
// or the failure a target's Drop returned.
HRESULT DoDragDrop(IDataObject* data, IDropSource* source, DWORD allowedEffects, DWORD* effect);

} // namespace Platform
