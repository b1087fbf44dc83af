#include "Platform/Ole/FileDropDataObject.h"
#include "Views/CustomDataObject.h"
#include "Views/FormatRegistry.h"

#include "TileDropSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Platform;

namespace {

using ViewTarget = TileDrop::RecordingViewTarget;

template <class T> ComPtr<T> Make()
{
    return ComPtr<T>::Adopt(new T);
}

ComPtr<IDataObject> Files(std::vector<std::wstring> paths)
{
    return ComPtr<IDataObject>::Adopt(new FileDropDataObject(std::move(paths), POINT{}));
}

ComPtr<IDataObject> Tile(std::uint32_t id, const std::wstring& format)
{
    auto data = Make<CustomDataObject>();
    data->SetItemId(id, format);
    return ComPtr<IDataObject>(data.Get());
}

DWORD EnterEffect(CIDropTargetImpl& target, IDataObject* data, DWORD keys, DWORD allowed)
{
    DWORD effect = allowed;
    EXPECT_EQ(target.DragEnter(data, keys, POINTL{}, &effect), S_OK);
    return effect;
}

class DropTargetTest : public ::testing::Test {
protected:
    void SetUp() override { FormatRegistry::Instance().RegisterFormat(L"ListViewItem"); }

    ComPtr<ViewTarget> target = Make<ViewTarget>();
};

TEST_F(DropTargetTest, TheEffectFollowsTheKeysWithinWhatTheSourceAllows)
{
    auto files = Files({L"/a.jpg"});
    const DWORD both = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(EnterEffect(*target.Get(), files.Get(), MK_CONTROL, both), DROPEFFECT_COPY);
    EXPECT_EQ(EnterEffect(*target.Get(), files.Get(), MK_SHIFT, both), DROPEFFECT_MOVE);
    EXPECT_EQ(EnterEffect(*target.Get(), files.Get(), 0, both), DROPEFFECT_MOVE);
    EXPECT_EQ(EnterEffect(*target.Get(), files.Get(), 0, DROPEFFECT_COPY), DROPEFFECT_COPY);
    EXPECT_EQ(EnterEffect(*target.Get(), files.Get(), MK_SHIFT, DROPEFFECT_COPY), DROPEFFECT_COPY);
    EXPECT_EQ(EnterEffect(*target.Get(), files.Get(), MK_CONTROL, DROPEFFECT_MOVE), DROPEFFECT_MOVE);
    // A tile drag offers copy only.
    auto tile = Tile(7, L"ListViewItem");
    EXPECT_EQ(EnterEffect(*target.Get(), tile.Get(), MK_SHIFT | MK_LBUTTON, DROPEFFECT_COPY), DROPEFFECT_COPY);
    DWORD effect = both;
    EXPECT_EQ(target->DragOver(MK_CONTROL, POINTL{}, &effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
}

TEST_F(DropTargetTest, DataWithoutAFileListOrRegisteredFormatIsRefused)
{
    auto unknown = Tile(7, L"NeverRegistered");
    EXPECT_EQ(EnterEffect(*target.Get(), unknown.Get(), 0, DROPEFFECT_COPY), DROPEFFECT_NONE);
    DWORD effect = DROPEFFECT_COPY;
    target->DragOver(0, POINTL{}, &effect);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->Drop(unknown.Get(), 0, POINTL{}, &effect), S_FALSE);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_TRUE(target->files.empty());
    EXPECT_TRUE(target->tileIds.empty());
}

TEST_F(DropTargetTest, ADisabledTargetTakesNothingUntilEnabledAgain)
{
    auto files = Files({L"/a.jpg"});
    target->SetEnabled(false);
    EXPECT_EQ(EnterEffect(*target.Get(), files.Get(), 0, DROPEFFECT_COPY), DROPEFFECT_COPY);
    DWORD effect = DROPEFFECT_COPY;
    target->DragOver(0, POINTL{}, &effect);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(target->Drop(files.Get(), 0, POINTL{}, &effect), S_FALSE);
    EXPECT_TRUE(target->files.empty());
    target->SetEnabled(true);
    EnterEffect(*target.Get(), files.Get(), 0, DROPEFFECT_COPY);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->Drop(files.Get(), 0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(target->files, (std::vector<std::wstring>{L"/a.jpg"}));
}

TEST_F(DropTargetTest, DroppedFilesAndTilesReachTheirHandlersAndTheSourceLearnsTheEffect)
{
    const std::vector<std::wstring> paths = {L"/照片/一.jpg", L"/b.png"};
    auto files = Files(paths);
    EnterEffect(*target.Get(), files.Get(), 0, DROPEFFECT_COPY);
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->Drop(files.Get(), MK_SHIFT, POINTL{}, &effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    EXPECT_EQ(target->files, paths);

    auto tile = Tile(0xDEADBEEF, L"ListViewItem");
    EnterEffect(*target.Get(), tile.Get(), MK_LBUTTON, DROPEFFECT_COPY);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->Drop(tile.Get(), 0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(target->tileIds, (std::vector<std::uint32_t>{0xDEADBEEF}));
    EXPECT_EQ(target->customEffect, DROPEFFECT_COPY);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
}

TEST_F(DropTargetTest, TheTargetAnswersForItsOwnInterfacesOnly)
{
    void* found = nullptr;
    EXPECT_EQ(target->QueryInterface(IID_IDropTarget, &found), S_OK);
    EXPECT_EQ(found, static_cast<IDropTarget*>(target.Get()));
    static_cast<IDropTarget*>(found)->Release();
    EXPECT_EQ(target->QueryInterface(IID_IUnknown, &found), S_OK);
    static_cast<IUnknown*>(found)->Release();
    EXPECT_EQ(target->QueryInterface(IID_IDataObject, &found), E_NOINTERFACE);
    EXPECT_EQ(found, nullptr);
}

} // namespace
