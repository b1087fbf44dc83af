#include "UI/ControlBase.h"

#include "Platform/Win/Painting.h"
#include "Platform/Win/Region.h"
#include "Platform/Win/Window.h"

#include <algorithm>

using namespace Platform;

namespace {

// One axis of the layout rule: the start and end along it.
struct Span {
    int start;
    int end;
};

Span Place(bool nearAnchor, bool farAnchor, int containerStart, int containerEnd, int nearMargin, int farMargin,
           int length)
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

// Calls visit for every child in list order. A handler may destroy or add controls
// while the children are visited: the walk goes over the list as it was and skips
// the children that have left it since.
template <typename Visit> void ForEachChild(const std::vector<ControlBase*>& children, Visit visit)
{
    const std::vector<ControlBase*> walk = children;
    for (ControlBase* child : walk)
        if (std::find(children.begin(), children.end(), child) != children.end())
            visit(child);
}

} // namespace

ControlBase::~ControlBase()
{
    if (parent)
        parent->RemoveChild(this);
    for (ControlBase* child : children)
        child->parent = nullptr;
}

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
    parentControl->AddChild(this);
}

void ControlBase::OnPaint(Zivoro::UI::CPaintEventArgs* args)
{
    ForEachChild(children, [&](ControlBase* child) { child->OnPaint(args); });
}

void ControlBase::OnMouseDown(Zivoro::UI::CMouseEventArgs* args)
{
    ForEachChild(children, [&](ControlBase* child) { child->OnMouseDown(args); });
}

void ControlBase::OnMouseUp(Zivoro::UI::CMouseEventArgs* args)
{
    ForEachChild(children, [&](ControlBase* child) { child->OnMouseUp(args); });
}

void ControlBase::OnMouseMove(Zivoro::UI::CMouseEventArgs* args)
{
    ForEachChild(children, [&](ControlBase* child) { child->OnMouseMove(args); });
}

void ControlBase::OnMouseLeave()
{
    if (state & StateHover) {
        state &= ~StateHover;
        Invalidate();
    }
    ForEachChild(children, [](ControlBase* child) { child->OnMouseLeave(); });
}

void ControlBase::LayoutChildren()
{
    ForEachChild(children, [](ControlBase* child) { child->UpdateLayout(); });
}

void ControlBase::UpdateLayout()
{
    bounds = ComputeBounds();
}

void ControlBase::DestroyWindows()
{
    ForEachChild(children, [](ControlBase* child) { child->DestroyWindows(); });
}

void ControlBase::OnControlRemoved(ControlBase*) {}

void ControlBase::AddChild(ControlBase* child)
{
    if (child->parent && child->parent != this)
        child->parent->RemoveChild(child);
    child->parent = this;
    children.push_back(child);
}

void ControlBase::RemoveChild(ControlBase* child)
{
    if (std::find(children.begin(), children.end(), child) == children.end())
        return;
    Root()->OnControlRemoved(child);
    std::erase(children, child);
    child->parent = nullptr;
    child->Invalidate();
}

ControlBase* ControlBase::Root()
{
    ControlBase* root = this;
    while (root->parent)
        root = root->parent;
    return root;
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
