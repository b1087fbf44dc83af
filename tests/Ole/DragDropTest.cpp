#include "Win/WinTestSupport.h"

#include "Platform/Com/ComObject.h"
#include "Platform/Ole/DragDrop.h"
#include "Platform/Ole/DropFiles.h"
#include "Platform/Ole/FileDropDataObject.h"
#include "Platform/Ole/StorageMedium.h"
#include "Platform/Win/Input.h"

#include <functional>
#include <string>
#include <vector>

using namespace WinTest;

namespace {

struct TargetCall {
    std::string name;
    DWORD keyState = 0;
    POINT point;
    DWORD offered = 0;
};

// Records every call and answers with its chosen effect; a Drop also reads the file list offered.
class RecordingTarget final : public ComObject<IDropTarget, IID_IDropTarget> {
public:
    HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override
    {
        entered = data;
        return Answer("enter", keyState, point, effect);
    }
    HRESULT DragOver(DWORD keyState, POINTL point, DWORD* effect) override
    {
        return Answer("over", keyState, point, effect);
    }
    HRESULT DragLeave() override
    {
        calls.push_back(TargetCall{"leave", 0, POINT{}, 0});
        return S_OK;
    }
    HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override
    {
        EXPECT_EQ(data, entered);
        FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium;
        if (data->GetData(&format, &medium) == S_OK) {
            for (UINT i = 0; i < DragQueryFileW(medium.hGlobal, 0xFFFFFFFF, nullptr, 0); ++i)
                dropped.push_back(DragQueryFilePath(medium.hGlobal, i));
            ReleaseStgMedium(&medium);
        }
        return Answer("drop", keyState, point, effect);
    }

    ULONG References()
    {
        AddRef();
        return Release();
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const TargetCall& call : calls)
            names.push_back(call.name);
        return names;
    }

    DWORD answer = DROPEFFECT_COPY;
    std::vector<TargetCall> calls;
    std::vector<std::wstring> dropped;

private:
    HRESULT Answer(const char* name, DWORD keyState, POINTL point, DWORD* effect)
    {
        calls.push_back(TargetCall{name, keyState, POINT{point.x, point.y}, *effect});
        *effect = answer;
        return S_OK;
    }

    IDataObject* entered = nullptr;
};

// Drops when the left button comes up and cancels on Escape; records the feedback.
class ButtonSource final : public ComObject<IDropSource, IID_IDropSource> {
public:
    HRESULT QueryContinueDrag(BOOL escapePressed, DWORD keyState) override
    {
        if (escapePressed)
            return DRAGDROP_S_CANCEL;
        return (keyState & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT GiveFeedback(DWORD effect) override
    {
        feedback.push_back(effect);
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }
    std::vector<DWORD> feedback;
};

class DragDropTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        from = TopLevel(0, 0, 200, 200);
        to = TopLevel(300, 0, 200, 200);
        ASSERT_EQ(RegisterDragDrop(to, target.Get()), S_OK);
        PumpPending();
    }

    void Key(UINT key, bool down) { CurrentBackend().InjectKey(key, down); }
    // Presses on the source window so the drag starts with the button held, as from a
    // window's press handler.
    void Press()
    {
        Mouse(Backend::MouseAction::LeftDown, 50, 50);
        PumpPending();
    }
    HRESULT Drag(DWORD allowed, DWORD& effect)
    {
        auto data = ComPtr<IDataObject>::Adopt(new FileDropDataObject({L"/photos/a.jpg"}, POINT{}));
        return DoDragDrop(data.Get(), source.Get(), allowed, &effect);
    }

    HWND from = nullptr;
    HWND to = nullptr;
    ComPtr<RecordingTarget> target = ComPtr<RecordingTarget>::Adopt(new RecordingTarget);
    ComPtr<ButtonSource> source = ComPtr<ButtonSource>::Adopt(new ButtonSource);
};

TEST_F(DragDropTest, RegistrationHoldsTheTargetUntilRevokedOrTheWindowIsDestroyed)
{
    EXPECT_EQ(target->References(), 2u);
    EXPECT_EQ(RegisterDragDrop(to, target.Get()), DRAGDROP_E_ALREADYREGISTERED);
    EXPECT_EQ(RegisterDragDrop(from, nullptr), E_INVALIDARG);
    EXPECT_EQ(RegisterDragDrop(reinterpret_cast<HWND>(0xDEAD0), target.Get()), DRAGDROP_E_INVALIDHWND);
    EXPECT_EQ(RevokeDragDrop(to), S_OK);
    EXPECT_EQ(target->References(), 1u);
    EXPECT_EQ(RevokeDragDrop(to), DRAGDROP_E_NOTREGISTERED);
    EXPECT_EQ(RevokeDragDrop(reinterpret_cast<HWND>(0xDEAD0)), DRAGDROP_E_INVALIDHWND);

    // Destroying the window lets go of its target; a child's target goes with its parent.
    HWND doomed = TopLevel(600, 0, 100, 100);
    HWND child = Child(doomed, 10, 10, 50, 50);
    auto childTarget = ComPtr<RecordingTarget>::Adopt(new RecordingTarget);
    ASSERT_EQ(RegisterDragDrop(doomed, target.Get()), S_OK);
    ASSERT_EQ(RegisterDragDrop(child, childTarget.Get()), S_OK);
    DestroyWindow(doomed);
    EXPECT_EQ(target->References(), 1u);
    EXPECT_EQ(childTarget->References(), 1u);
}

TEST_F(DragDropTest, AWindowMayRevokeItsTargetWhileItIsBeingDestroyed)
{
    HWND doomed = TopLevel(600, 0, 100, 100);
    auto own = ComPtr<RecordingTarget>::Adopt(new RecordingTarget);
    ASSERT_EQ(RegisterDragDrop(doomed, own.Get()), S_OK);
    HRESULT revoked = E_FAIL;
    Log().hook = [&](HWND window, UINT message, WPARAM, LPARAM, LRESULT&) {
        if (window == doomed && message == WM_DESTROY) {
            revoked = RevokeDragDrop(window);
            EXPECT_EQ(RegisterDragDrop(window, own.Get()), DRAGDROP_E_INVALIDHWND);
        }
        return false;
    };
    DestroyWindow(doomed);
    EXPECT_EQ(revoked, S_OK);
    EXPECT_EQ(own->References(), 1u);
}

TEST_F(DragDropTest, ThePointerIsFollowedInAndOutOfTheTargetAndTheDataIsDropped)
{
    Press();
    Mouse(Backend::MouseAction::Move, 100, 100);
    Mouse(Backend::MouseAction::Move, 350, 50);
    Mouse(Backend::MouseAction::Move, 360, 60);
    Mouse(Backend::MouseAction::Move, 150, 150);
    Mouse(Backend::MouseAction::Move, 400, 100);
    Mouse(Backend::MouseAction::LeftUp, 410, 120);
    DWORD effect = 99;
    EXPECT_EQ(Drag(DROPEFFECT_COPY | DROPEFFECT_MOVE, effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    EXPECT_EQ(target->Names(), (std::vector<std::string>{"enter", "over", "leave", "enter", "over", "drop"}));
    EXPECT_EQ(target->calls[0].point, (POINT{350, 50}));
    EXPECT_EQ(target->calls[0].offered, DROPEFFECT_COPY | DROPEFFECT_MOVE);
    EXPECT_EQ(target->calls[0].keyState, MK_LBUTTON);
    EXPECT_EQ(target->calls[4].point, (POINT{410, 120}));
    EXPECT_EQ(target->calls[5].keyState, 0u);
    EXPECT_EQ(target->dropped, (std::vector<std::wstring>{L"/photos/a.jpg"}));
    EXPECT_EQ(source->feedback, (std::vector<DWORD>{0, 0, 1, 1, 0, 1}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(DragDropTest, EscapeCancelsAndTheTargetIsLeft)
{
    Press();
    Mouse(Backend::MouseAction::Move, 350, 50);
    Key(VK_ESCAPE, true);
    Key(VK_ESCAPE, false);
    Mouse(Backend::MouseAction::LeftUp, 350, 50);
    DWORD effect = 99;
    EXPECT_EQ(Drag(DROPEFFECT_COPY, effect), DRAGDROP_S_CANCEL);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(target->Names(), (std::vector<std::string>{"enter", "leave"}));
    EXPECT_TRUE(target->dropped.empty());
    // The key went to the drag, not to the focused window.
    PumpPending();
    EXPECT_TRUE(Log().Of(WM_KEYDOWN).empty());
}

TEST_F(DragDropTest, ControlAndShiftReachTheTargetAsTheyChange)
{
    Press();
    Mouse(Backend::MouseAction::Move, 350, 50);
    Key(VK_CONTROL, true);
    Key(VK_SHIFT, true);
    Key(VK_CONTROL, false);
    Mouse(Backend::MouseAction::LeftUp, 350, 50);
    DWORD effect = 0;
    EXPECT_EQ(Drag(DROPEFFECT_COPY, effect), DRAGDROP_S_DROP);
    Key(VK_SHIFT, false);
    PumpPending();
    std::vector<DWORD> keys;
    for (const TargetCall& call : target->calls)
        keys.push_back(call.keyState);
    EXPECT_EQ(keys, (std::vector<DWORD>{MK_LBUTTON, MK_LBUTTON | MK_CONTROL, MK_LBUTTON | MK_CONTROL | MK_SHIFT,
                                        MK_LBUTTON | MK_SHIFT, MK_SHIFT, MK_SHIFT}));
}

TEST_F(DragDropTest, TheEffectIsWhatTheTargetOffersWithinWhatTheSourceAllows)
{
    target->answer = DROPEFFECT_MOVE | DROPEFFECT_LINK;
    Press();
    Mouse(Backend::MouseAction::Move, 350, 50);
    Mouse(Backend::MouseAction::LeftUp, 350, 50);
    DWORD effect = 0;
    EXPECT_EQ(Drag(DROPEFFECT_COPY | DROPEFFECT_MOVE, effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_MOVE);
    EXPECT_EQ(source->feedback.back(), DROPEFFECT_MOVE);
}

TEST_F(DragDropTest, ATargetThatRefusesGetsNoDropAndTheRefusedCursorShows)
{
    target->answer = DROPEFFECT_NONE;
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    Press();
    Mouse(Backend::MouseAction::Move, 350, 50);
    Mouse(Backend::MouseAction::LeftUp, 350, 50);
    DWORD effect = 99;
    EXPECT_EQ(Drag(DROPEFFECT_COPY, effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(target->Names(), (std::vector<std::string>{"enter", "over", "leave"}));
    EXPECT_EQ(Headless().Cursor(), LoadCursorW(nullptr, IDC_NO));
}

TEST_F(DragDropTest, AChildWithoutATargetDropsOnItsRegisteredParent)
{
    Child(to, 20, 20, 100, 100);
    Press();
    Mouse(Backend::MouseAction::Move, 350, 50);
    Mouse(Backend::MouseAction::LeftUp, 350, 50);
    DWORD effect = 0;
    EXPECT_EQ(Drag(DROPEFFECT_COPY, effect), DRAGDROP_S_DROP);
    EXPECT_EQ(target->Names(), (std::vector<std::string>{"enter", "over", "drop"}));
}

TEST_F(DragDropTest, FilesDroppedFromOutsideReachTheTargetUnderThePointAsACopy)
{
    const std::vector<std::wstring> paths = {L"/home/用户/照片 1.jpg", L"/tmp/b.png"};
    CurrentBackend().InjectFileDrop(paths, POINT{320, 40}, MK_SHIFT | MK_CONTROL);
    CurrentBackend().InjectFileDrop(paths, POINT{50, 50}, 0);
    PumpPending();
    EXPECT_EQ(target->Names(), (std::vector<std::string>{"enter", "over", "drop"}));
    for (const TargetCall& call : target->calls) {
        EXPECT_EQ(call.offered, DROPEFFECT_COPY);
        EXPECT_EQ(call.point, (POINT{320, 40}));
    }
    EXPECT_EQ(target->calls[0].keyState, MK_LBUTTON | MK_SHIFT | MK_CONTROL);
    EXPECT_EQ(target->calls[2].keyState, MK_SHIFT | MK_CONTROL);
    EXPECT_EQ(target->dropped, paths);
}

TEST_F(DragDropTest, AnOutsideDropTheTargetRefusesIsLeftAndEmptyDropsReachNobody)
{
    target->answer = DROPEFFECT_MOVE;
    CurrentBackend().InjectFileDrop({L"/a.jpg"}, POINT{320, 40}, 0);
    PumpPending();
    EXPECT_EQ(target->Names(), (std::vector<std::string>{"enter", "leave"}));
    target->calls.clear();
    CurrentBackend().InjectFileDrop({L"", std::wstring(L"/x\0y", 4)}, POINT{320, 40}, 0);
    PumpPending();
    EXPECT_TRUE(target->calls.empty());
}

TEST_F(DragDropTest, TheThreadsIdleHookRunsWhileTheDragWaits)
{
    // A script drives the drag one input per idle turn, as trellan-run does.
    Press();
    const std::vector<std::function<void()>> script = {
        [&] { Mouse(Backend::MouseAction::Move, 350, 50); },
        [&] { Mouse(Backend::MouseAction::LeftUp, 350, 50); },
    };
    std::size_t next = 0;
    SetIdleHook([&]() -> DWORD {
        if (next < script.size())
            script[next++]();
        return INFINITE;
    });
    DWORD effect = 0;
    EXPECT_EQ(Drag(DROPEFFECT_COPY, effect), DRAGDROP_S_DROP);
    SetIdleHook(nullptr);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    EXPECT_EQ(target->Names(), (std::vector<std::string>{"enter", "over", "drop"}));
}

} // namespace
