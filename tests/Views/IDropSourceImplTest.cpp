#include "Platform/Ole/DropTarget.h"
#include "Views/IDropSourceImpl.h"

#include <gtest/gtest.h>

using namespace Platform;

namespace {

TEST(IDropSourceImpl, EscapeCancelsReleasingTheButtonDropsAndTheDefaultCursorsShow)
{
    auto source = ComPtr<IDropSourceImpl>::Adopt(new IDropSourceImpl);
    EXPECT_EQ(source->QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(source->QueryContinueDrag(TRUE, 0), DRAGDROP_S_CANCEL);
    EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_CONTROL), DRAGDROP_S_DROP);
    EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_LBUTTON | MK_SHIFT), S_OK);
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_NONE), DRAGDROP_S_USEDEFAULTCURSORS);
    void* found = nullptr;
    EXPECT_EQ(source->QueryInterface(IID_IDropSource, &found), S_OK);
    static_cast<IDropSource*>(found)->Release();
    EXPECT_EQ(source->QueryInterface(IID_IDropTarget, &found), E_NOINTERFACE);
}

} // namespace
