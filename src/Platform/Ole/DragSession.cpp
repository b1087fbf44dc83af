#include "Platform/Ole/DragSession.h"

#include "Platform/Win/Input.h"

namespace Platform {
namespace {

DWORD CurrentKeyState()
{
    DWORD keys = 0;
    const auto held = [](UINT key) { return GetKeyState(static_cast<int>(key)) < 0; };
    if (held(VK_LBUTTON))
        keys |= MK_LBUTTON;
    if (held(VK_RBUTTON))
        keys |= MK_RBUTTON;
    if (held(VK_SHIFT))
        keys |= MK_SHIFT;
    if (held(VK_CONTROL))
        keys |= MK_CONTROL;
    return keys;
}

POINT CursorPoint()
{
    POINT cursor;
    GetCursorPos(&cursor);
    return cursor;
}

POINTL ToPointl(POINT point)
{
    return POINTL{point.x, point.y};
}

} // namespace

DragSession::DragSession(IDataObject* data, IDropSource* source, DWORD allowedEffects)
    : data(data), source(source), allowed(allowedEffects)
{
}

HRESULT DragSession::Step(bool escapePressed)
{
    const DWORD keys = CurrentKeyState();
    const HRESULT decision = source->QueryContinueDrag(escapePressed ? TRUE : FALSE, keys);
    if (decision != S_OK && decision != DRAGDROP_S_DROP)
        return DRAGDROP_S_CANCEL;
    // The button may come up somewhere the pointer was not seen before: the target
    // there learns of the drag before it gets the drop.
    Follow(CursorPoint(), keys);
    if (decision == DRAGDROP_S_DROP)
        return DRAGDROP_S_DROP;
    if (source->GiveFeedback(effect) == DRAGDROP_S_USEDEFAULTCURSORS)
        SetCursor(LoadCursorW(nullptr, effect == DROPEFFECT_NONE ? IDC_NO : IDC_ARROW));
    return S_OK;
}

void DragSession::Follow(POINT screen, DWORD keyState)
{
    RegisteredDropTarget under = RegisteredDropTargetAt(screen);
    DWORD offered = allowed;
    if (under.window == current.window && under.target.Get() == current.target.Get()) {
        if (current.target)
            current.target->DragOver(keyState, ToPointl(screen), &offered);
    } else {
        Leave();
        current = std::move(under);
        if (current.target && FAILED(current.target->DragEnter(data.Get(), keyState, ToPointl(screen), &offered)))
            offered = DROPEFFECT_NONE;
    }
    effect = current.target ? offered & allowed : DROPEFFECT_NONE;
}

void DragSession::Leave()
{
    if (current.target)
        current.target->DragLeave();
    current = {};
    effect = DROPEFFECT_NONE;
}

HRESULT DragSession::Finish(HRESULT outcome, DWORD* finalEffect)
{
    *finalEffect = DROPEFFECT_NONE;
    if (outcome != DRAGDROP_S_DROP || effect == DROPEFFECT_NONE) {
        Leave();
        return outcome == DRAGDROP_S_DROP ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
    }
    // The target stays alive through its own Drop even if it revokes itself there.
    const RegisteredDropTarget target = std::move(current);
    current = {};
    DWORD dropped = allowed;
    const HRESULT result = target.target->Drop(data.Get(), CurrentKeyState(), ToPointl(CursorPoint()), &dropped);
    if (FAILED(result))
        return result;
    *finalEffect = dropped & allowed;
    return DRAGDROP_S_DROP;
}

} // namespace Platform
