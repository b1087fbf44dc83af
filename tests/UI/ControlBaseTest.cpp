#include "TestControls.h"

#include <gtest/gtest.h>

#include <memory>

using namespace UITest;

namespace {

// A control laid out in a fixed container instead of a window's client area.
class Sized : public ControlBase {
public:
    Sized(int width, int height) : container{0, 0, width, height} {}
    void GetContainerRect(RECT* rect) override { *rect = container; }
    RECT container;
};

RECT Layout(int containerWidth, int containerHeight, int anchors, RECT margins, int width, int height)
{
    Sized control(containerWidth, containerHeight);
    control.SetAnchors(anchors);
    control.SetMargins(margins.left, margins.top, margins.right, margins.bottom);
    control.SetSize(width, height);
    control.UpdateLayout();
    return control.bounds;
}

TEST(ControlBaseTest, TheLayoutRuleAnchorsMarginsAndCentres)
{
    EXPECT_EQ(Layout(300, 200, AnchorTop | AnchorLeft, RECT{10, 20, 0, 0}, 50, 30), (RECT{10, 20, 60, 50}));
    const RECT right = Layout(384, 174, AnchorTop | AnchorRight, RECT{0, 12, 14, 0}, 15, 15);
    EXPECT_EQ(right.left, 355);
    EXPECT_EQ(right.right, 370);
    const RECT centred = Layout(301, 100, AnchorTop, RECT{7, 0, 9, 0}, 50, 10);
    EXPECT_EQ(centred.left, 125);
    EXPECT_EQ(centred.right, 175);
    const RECT stretched = Layout(100, 100, AnchorTop | AnchorLeft | AnchorRight, RECT{5, 0, 5, 0}, 999, 10);
    EXPECT_EQ(stretched.left, 5);
    EXPECT_EQ(stretched.right, 95);
    EXPECT_EQ(Layout(100, 60, AnchorBottom | AnchorLeft, RECT{0, 0, 0, 4}, 10, 20), (RECT{0, 36, 10, 56}));
    EXPECT_EQ(Layout(100, 61, AnchorLeft | CenterVertical, RECT{0, 9, 0, 9}, 10, 20), (RECT{0, 20, 10, 40}));
    EXPECT_EQ(Layout(100, 100, CenterHorizontal | CenterVertical, RECT{}, 30, 30), (RECT{35, 35, 65, 65}));
}

TEST(ControlBaseTest, AControlWithoutAWindowHasAnEmptyContainer)
{
    ControlBase control;
    control.SetMargins(3, 4, 0, 0);
    control.SetSize(10, 10);
    control.UpdateLayout();
    EXPECT_EQ(control.bounds, (RECT{3, 4, 13, 14}));
    control.Invalidate();
    control.SetVisible(0);
    EXPECT_EQ(control.visible, 0);
}

TEST(ControlBaseTest, ForwardingVisitsChildrenInTheOrderTheyWereAdded)
{
    ControlBase root;
    PressControl first("first"), second("second");
    first.Attach(&root);
    second.Attach(&root);
    ASSERT_EQ(root.children.size(), 2u);
    EXPECT_EQ(first.parent, &root);
    first.bounds = second.bounds = RECT{0, 0, 10, 10};
    CMouseEventArgs args;
    args.pt = POINT{5, 5};
    root.OnMouseDown(&args);
    // Both see the press; the later one is the target it ends with.
    EXPECT_EQ(first.events, std::vector<std::string>{"down"});
    EXPECT_EQ(second.events, std::vector<std::string>{"down"});
    EXPECT_EQ(args.target, &second);
    EXPECT_EQ(args.handled, 1);
}

TEST(ControlBaseTest, APressThatEndsOutsideRaisesNothingAndAHiddenControlIgnoresTheMouse)
{
    ControlBase root;
    PressControl button("button"), hidden("hidden");
    button.Attach(&root);
    hidden.Attach(&root);
    button.bounds = hidden.bounds = RECT{0, 0, 10, 10};
    hidden.visible = 0;
    CMouseEventArgs down;
    down.pt = POINT{2, 2};
    root.OnMouseDown(&down);
    CMouseEventArgs up;
    up.pt = POINT{50, 50};
    root.OnMouseUp(&up);
    EXPECT_EQ(button.clicks, 0);
    EXPECT_EQ(button.events, (std::vector<std::string>{"down", "up-outside"}));
    EXPECT_TRUE(hidden.events.empty());
    EXPECT_EQ(down.target, &button);
}

TEST(ControlBaseTest, LeavingClearsHoverDownTheTree)
{
    ControlBase root;
    PressControl child("child");
    child.Attach(&root);
    child.bounds = RECT{0, 0, 10, 10};
    root.state = StateHover;
    child.state = StateHover | StatePressed;
    root.OnMouseLeave();
    EXPECT_EQ(root.state, 0);
    EXPECT_EQ(child.state, StatePressed);
}

TEST(ControlBaseTest, LayoutChildrenGoesOneLevelDeep)
{
    Sized root(100, 100);
    Sized child(100, 100), grandchild(100, 100);
    child.SetSize(10, 10);
    grandchild.SetSize(10, 10);
    root.AddChild(&child);
    child.AddChild(&grandchild);
    root.LayoutChildren();
    EXPECT_EQ(child.bounds, (RECT{0, 0, 10, 10}));
    EXPECT_EQ(grandchild.bounds, RECT{});
}

TEST(ControlBaseTest, ADestroyedControlLeavesItsParentAndLetsItsChildrenGo)
{
    ControlBase root;
    PressControl first("first"), last("last");
    first.Attach(&root);
    auto middle = std::make_unique<PressControl>("middle");
    middle->Attach(&root);
    last.Attach(&root);
    PressControl grandchild("grandchild");
    grandchild.Attach(middle.get());
    EXPECT_EQ(grandchild.Root(), &root);

    middle.reset();
    EXPECT_EQ(root.children, (std::vector<ControlBase*>{&first, &last}));
    EXPECT_EQ(grandchild.parent, nullptr);
    EXPECT_EQ(grandchild.Root(), &grandchild);
    first.bounds = last.bounds = RECT{0, 0, 10, 10};
    CMouseEventArgs args;
    args.pt = POINT{5, 5};
    root.OnMouseDown(&args);
    EXPECT_EQ(args.target, &last);

    // A parent that goes first leaves its children free to go later on their own.
    auto parent = std::make_unique<ControlBase>();
    PressControl orphan("orphan");
    orphan.Attach(parent.get());
    parent.reset();
    EXPECT_EQ(orphan.parent, nullptr);
}

TEST(ControlBaseTest, AddingAControlToAnotherParentMovesIt)
{
    ControlBase one, two;
    PressControl child("child");
    one.AddChild(&child);
    EXPECT_EQ(child.parent, &one);
    child.Attach(&two);
    EXPECT_TRUE(one.children.empty());
    EXPECT_EQ(two.children, std::vector<ControlBase*>{&child});
    two.RemoveChild(&child);
    EXPECT_EQ(child.parent, nullptr);
    EXPECT_TRUE(two.children.empty());
}

// Destroys another control when the press reaches it, as a delete button would.
class Remover : public PressControl {
public:
    Remover(std::unique_ptr<PressControl>& victim) : PressControl("remover"), victim(victim) {}
    void OnMouseDown(CMouseEventArgs* args) override
    {
        PressControl::OnMouseDown(args);
        victim.reset();
    }
    std::unique_ptr<PressControl>& victim;
};

TEST(ControlBaseTest, AHandlerMayDestroyAControlWhileTheEventIsForwarded)
{
    ControlBase root;
    auto victim = std::make_unique<PressControl>("victim");
    Remover remover(victim);
    PressControl last("last");
    remover.Attach(&root);
    victim->Attach(&root);
    last.Attach(&root);
    remover.bounds = last.bounds = RECT{0, 0, 10, 10};
    CMouseEventArgs args;
    args.pt = POINT{5, 5};
    root.OnMouseDown(&args);
    EXPECT_EQ(victim, nullptr);
    EXPECT_EQ(last.events, std::vector<std::string>{"down"});
    EXPECT_EQ(root.children, (std::vector<ControlBase*>{&remover, &last}));
}

TEST(IElementTest, HitTestUsesTheElementRectangleWithExclusiveEdges)
{
    IElement element;
    EXPECT_EQ(element.GetBounds(), RECT{});
    element.SetBounds(RECT{10, 10, 20, 20});
    EXPECT_TRUE(element.HitTest(POINT{10, 10}));
    EXPECT_FALSE(element.HitTest(POINT{20, 15}));
    element.GetState() = 3;
    EXPECT_EQ(element.GetState(), 3);
}

} // namespace
