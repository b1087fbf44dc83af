#include "Platform/Ole/DragDrop.h"

#include "Platform/Ole/OutsideFileDrop.h"
#include "Platform/Ole/RegisteredDropTarget.h"
#include "Platform/Win/DroppedFiles.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WindowAttachment.h"

#include <memory>

namespace Platform {
namespace {

constexpr std::string_view kTargetKey = "DropTarget";

IDropTarget* TargetOf(HWND window)
{
    return static_cast<IDropTarget*>(GetWindowAttachment(window, kTargetKey).get());
}

HWND ParentOf(HWND window)
{
    return (GetWindowStyle(window) & WS_CHILD) ? GetParent(window) : nullptr;
}

} // namespace

HRESULT RegisterDragDrop(HWND window, IDropTarget* target)
{
    if (!target)
        return E_INVALIDARG;
    if (!IsWindow(window))
        return DRAGDROP_E_INVALIDHWND;
    if (TargetOf(window))
        return DRAGDROP_E_ALREADYREGISTERED;
    target->AddRef();
    const std::shared_ptr<void> held(target, [](void* object) { static_cast<IDropTarget*>(object)->Release(); });
    if (!SetWindowAttachment(window, kTargetKey, held))
        return DRAGDROP_E_INVALIDHWND;
    SetDroppedFilesHandler(&DropFilesFromOutside);
    return S_OK;
}

HRESULT RevokeDragDrop(HWND window)
{
    if (!IsWindow(window))
        return DRAGDROP_E_INVALIDHWND;
    if (!TargetOf(window))
        return DRAGDROP_E_NOTREGISTERED;
    SetWindowAttachment(window, kTargetKey, nullptr);
    return S_OK;
}

RegisteredDropTarget RegisteredDropTargetAt(POINT screen)
{
    for (HWND window = WindowFromPoint(screen); window; window = ParentOf(window))
        if (IDropTarget* target = TargetOf(window))
            return RegisteredDropTarget{window, target};
    return {};
}

} // namespace Platform
