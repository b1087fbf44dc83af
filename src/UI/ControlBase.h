#pragma once
// The base of every custom-drawn control and form root. A control is a plain object
// with a rectangle in its host window's client area; controls form a tree, and the
// base forwards paint and mouse calls to the children in the order they were added.
// The tree holds plain pointers: a control never deletes its parent or children, and
// a control that is destroyed leaves its parent's list, lets its children go and has
// the root forget it, so no pointer to it is left behind.

#include "Platform/Win/WinTypes.h"

#include <vector>

namespace Zivoro::UI {
class CPaintEventArgs;
class CMouseEventArgs;
} // namespace Zivoro::UI

// Anchor flags (ControlBase::anchors).
constexpr int AnchorTop = 1;
constexpr int AnchorBottom = 2;
constexpr int AnchorLeft = 4;
constexpr int AnchorRight = 8;
constexpr int CenterVertical = 0x20;
constexpr int CenterHorizontal = 0x40;

// State bits (ControlBase::state).
constexpr int StateHover = 1;
constexpr int StatePressed = 4;

class ControlBase {
public:
    ControlBase() = default;
    // Leaves the tree (RemoveChild of the parent) and lets its children go.
    virtual ~ControlBase();
    ControlBase(const ControlBase&) = delete;
    ControlBase& operator=(const ControlBase&) = delete;

    virtual Platform::HWND GetHwnd();
    virtual void SetVisible(int value);
    virtual void SetDisabled(int value);
    // The client rectangle of hwnd; empty when there is no window.
    virtual void GetContainerRect(Platform::RECT* rect);
    // Joins the parent's tree and draws into the parent's window.
    virtual void Attach(ControlBase* parentControl);
    virtual void OnPaint(Zivoro::UI::CPaintEventArgs* args);
    virtual void OnMouseDown(Zivoro::UI::CMouseEventArgs* args);
    virtual void OnMouseUp(Zivoro::UI::CMouseEventArgs* args);
    virtual void OnMouseMove(Zivoro::UI::CMouseEventArgs* args);
    // Clears the hover state (repainting) and tells the children.
    virtual void OnMouseLeave();
    // UpdateLayout of every child, one level only.
    virtual void LayoutChildren();
    // bounds = ComputeBounds().
    virtual void UpdateLayout();
    virtual void DestroyWindows();
    // Called on the root when control, or a control under it, leaves the tree, while
    // the tree is still linked: the host drops every link it keeps to them.
    virtual void OnControlRemoved(ControlBase* control);

    // Appends child and makes this its parent (taking it from any other parent).
    void AddChild(ControlBase* child);
    // Takes child out of the tree: the root forgets it, it leaves the list and the
    // area it covered is repainted. Nothing when it is not a child of this one.
    void RemoveChild(ControlBase* child);
    // The topmost control of the tree (this one when it has no parent).
    ControlBase* Root();
    // The rectangle the layout rule gives; changes nothing.
    Platform::RECT ComputeBounds();
    // Repaints bounds without erasing the background.
    void Invalidate();
    void SetAnchors(int value);
    void SetMargins(int left, int top, int right, int bottom);
    void SetSize(int width, int height);

    std::int32_t visible = 1;
    std::int32_t disabled = 0;
    std::int32_t anchors = AnchorTop | AnchorLeft;
    std::int32_t state = 0;
    ControlBase* parent = nullptr;
    Platform::HWND hwnd = nullptr;
    Platform::RECT margins;
    Platform::RECT bounds;
    Platform::SIZE size;
    std::vector<ControlBase*> children;
};

// The list element interface of the list items; not a control.
class IElement {
public:
    virtual ~IElement() = default;
    virtual void SetBounds(Platform::RECT rect);
    virtual Platform::RECT GetBounds();
    virtual std::int32_t& GetState();
    bool HitTest(Platform::POINT point) const;

    // Owned by the list, which sets it.
    std::int32_t listData = 0;

protected:
    Platform::RECT rect;
    std::int32_t stateWord = 0;
};
