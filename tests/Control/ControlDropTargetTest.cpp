#include "Control/ControlDropTarget.h"
#include "Platform/Ole/FileDropDataObject.h"
#include "Platform/Win/WinConstants.h"

#include <gtest/gtest.h>

using namespace Platform;

namespace {

ComPtr<IDataObject> Files()
{
    return ComPtr<IDataObject>::Adopt(new FileDropDataObject({L"/tmp/a.jpg"}, POINT{}));
}

TEST(ControlDropTargetTest, DroppedFilesAreOnlyEverCopied)
{
    auto target = ComPtr<ControlDropTarget>::Adopt(new ControlDropTarget(nullptr));
    const auto files = Files();
    for (const DWORD keys : {DWORD{0}, DWORD{MK_SHIFT}, DWORD{MK_CONTROL}}) {
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        ASSERT_EQ(target->DragEnter(files.Get(), keys, POINTL{}, &effect), S_OK);
        EXPECT_EQ(effect, DROPEFFECT_COPY) << keys;
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        ASSERT_EQ(target->DragOver(keys, POINTL{}, &effect), S_OK);
        EXPECT_EQ(effect, DROPEFFECT_COPY) << keys;
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(target->Drop(files.Get(), keys, POINTL{}, &effect), S_OK);
        EXPECT_EQ(effect, DROPEFFECT_COPY) << keys;
    }
}

TEST(ControlDropTargetTest, ASourceThatAllowsOnlyAMoveIsRefused)
{
    auto target = ComPtr<ControlDropTarget>::Adopt(new ControlDropTarget(nullptr));
    const auto files = Files();
    DWORD effect = DROPEFFECT_MOVE;
    ASSERT_EQ(target->DragEnter(files.Get(), MK_SHIFT, POINTL{}, &effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    effect = DROPEFFECT_MOVE;
    EXPECT_EQ(target->Drop(files.Get(), MK_SHIFT, POINTL{}, &effect), S_FALSE);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
}

} // namespace
