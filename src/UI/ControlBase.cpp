#include "UI/ControlBase.h"

#include "Platform/Win/Painting.h"
#include "Platform/Win/Region.h"
#include "Platform/Win/Window.h"

using namespace Platform;

namespace {

// One axis of the layout rule: the start and end along it.
struct Span {
    int start;
    int end;
};

Span Place(bool nearAnchor, bool farAnchor, int containerStart, int containerEnd, int nearMargin, int farMargin, int length)
{
    if (nearAnchor && farAnchor)
        return Span{containerStart + nearMargin, containerEnd - farMargin};
    if (nearAnchor)
        return Span{containerStart + nearMargin, containerStart + nearMargin + length};
    if (farAnchor)
        return Span{containerEnd - farMargin - length, containerEnd - farMargin};
    // Centred; containers are client rectangles starting at 0, so no shift is added.
    const int start = (containerEnd - containerStart - length) / 2;
    return Span{start, start + length};
}

} // namespace

ControlBase::~ControlBase() = default;

HWND ControlBase::GetHwnd()
{
    return hwnd;
}

void ControlBase::SetVisible(int value)
{
    visible = value;
    Invalidate();
}

void ControlBase::SetDisabled(int value)
{
    disabled = value;
    Invalidate();
}

void ControlBase::GetContainerRect(RECT* rect)
{
    *rect = RECT{};
    if (hwnd)
        GetClientRect(hwnd, rect);
}

void ControlBase::Attach(ControlBase* parentControl)
{
    hwnd = parentControl->GetHwnd();
    parent = parentControl;
    parentControl->AddChild(this);
}

void ControlBase::OnPaint(Zivoro::UI::CPaintEventArgs* args)
{
    for (ControlBase* child : children)
        child->OnPaint(args);
}

void ControlBase::OnMouseDown(Zivoro::UI::CMouseEventArgs* args)
{
    for (ControlBase* child : children)
        child->OnMouseDown(args);
}

void ControlBase::OnMouseUp(Zivoro::UI::CMouseEventArgs* args)
{
    for (ControlBase* child : children)
        child->OnMouseUp(args);
}

void ControlBase::OnMouseMove(Zivoro::UI::CMouseEventArgs* args)
{
    for (ControlBase* child : children)
        child->OnMouseMove(args);
}

void ControlBase::OnMouseLeave()
{
    if (state & StateHover) {
        state &= ~StateHover;
        Invalidate();
    }
    for (ControlBase* child : children)
        child->OnMouseLeave();
}

void ControlBase::LayoutChildren()
{
    for (ControlBase* child : children)
        child->UpdateLayout();
}

void ControlBase::UpdateLayout()
{
    bounds = ComputeBounds();
}

void ControlBase::DestroyWindows()
{
    for (ControlBase* child : children)
        child->DestroyWindows();
}

void ControlBase::AddChild(ControlBase* child)
{
    children.push_back(child);
}

RECT ControlBase::ComputeBounds()
{
    RECT container;
    GetContainerRect(&container);
    const Span horizontal = Place(anchors & AnchorLeft, anchors & AnchorRight, container.left, container.right,
                                  margins.left, margins.right, size.cx);
    const Span vertical = Place(anchors & AnchorTop, anchors & AnchorBottom, container.top, container.bottom,
                                margins.top, margins.bottom, size.cy);
    return RECT{horizontal.start, vertical.start, horizontal.end, vertical.end};
}

void ControlBase::Invalidate()
{
    InvalidateRect(hwnd, &bounds, FALSE);
}

void ControlBase::SetAnchors(int value)
{
    anchors = value;
}

void ControlBase::SetMargins(int left, int top, int right, int bottom)
{
    margins = RECT{left, top, right, bottom};
}

void ControlBase::SetSize(int width, int height)
{
    size = SIZE{width, height};
}

void IElement::SetBounds(RECT value)
{
    rect = value;
}

RECT IElement::GetBounds()
{
    return rect;
}

std::int32_t& IElement::GetState()
{
    return stateWord;
}

bool IElement::HitTest(POINT point) const
{
    return PtInRect(&rect, point);
}
