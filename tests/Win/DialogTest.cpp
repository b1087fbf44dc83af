#include "WinTestSupport.h"

#include "Platform/Win/Dialog.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/Timer.h"

#include <atomic>
#include <thread>

using namespace WinTest;

namespace {

struct DialogRun {
    std::vector<UINT> messages;
    bool ownerEnabledDuringRun = true;
    HWND owner = nullptr;
    HWND dialog = nullptr;
    RECT rect;
    HWND ownerSeen = nullptr;
    int postedSeen = 0;
};

std::atomic<HWND> runningDialog{nullptr};

DialogRun* current = nullptr;

INT_PTR TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    current->messages.push_back(message);
    switch (message) {
    case WM_INITDIALOG:
        current->dialog = dialog;
        runningDialog = dialog;
        GetWindowRect(dialog, &current->rect);
        current->ownerSeen = GetParent(dialog);
        current->ownerEnabledDuringRun = IsWindowEnabled(current->owner);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    case WM_USER + 7:
        ++current->postedSeen;
        EndDialog(dialog, 42);
        return TRUE;
    default:
        return FALSE;
    }
}

class DialogTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        run = DialogRun{};
        current = &run;
        run.owner = TopLevel(0, 0, 800, 600);
        PumpPending();
    }

    INT_PTR RunDialog()
    {
        DialogTemplate dialogTemplate;
        dialogTemplate.cx = 316;
        dialogTemplate.cy = 185;
        return DialogBoxIndirectParamW(nullptr, &dialogTemplate, run.owner, &TestDialogProc, 0);
    }

    DialogRun run;
};

TEST_F(DialogTest, EnterEndsWithOkAndTheOwnerIsDisabledOnlyWhileItRuns)
{
    CurrentBackend().InjectKey(VK_RETURN, true);
    CurrentBackend().InjectKey(VK_RETURN, false);
    EXPECT_EQ(RunDialog(), IDOK);
    EXPECT_FALSE(run.ownerEnabledDuringRun);
    EXPECT_TRUE(IsWindowEnabled(run.owner));
    EXPECT_FALSE(IsWindow(run.dialog));
    EXPECT_EQ(GetActiveWindow(), run.owner);
}

TEST_F(DialogTest, EscapeEndsWithCancel)
{
    CurrentBackend().InjectKey(VK_ESCAPE, true);
    CurrentBackend().InjectKey(VK_ESCAPE, false);
    EXPECT_EQ(RunDialog(), IDCANCEL);
}

TEST_F(DialogTest, TheTemplateSizeIsInDialogUnitsAndTheDialogIsOwnedByTheCaller)
{
    SetTimer(run.owner, 1, 1, [](HWND, UINT, UINT_PTR, DWORD) { EndDialog(current->dialog, 7); });
    EXPECT_EQ(RunDialog(), 7);
    KillTimer(run.owner, 1);
    EXPECT_EQ(run.rect.right - run.rect.left, 474);
    EXPECT_EQ(run.rect.bottom - run.rect.top, 300);
    EXPECT_EQ(run.ownerSeen, run.owner);
}

TEST_F(DialogTest, MessagesPostedFromAnotherThreadAreDeliveredWhileTheDialogRuns)
{
    runningDialog = nullptr;
    std::thread worker([] {
        HWND dialog;
        while (!(dialog = runningDialog.load()))
            std::this_thread::yield();
        PostMessageW(dialog, WM_USER + 7, 0, 0);
    });
    EXPECT_EQ(RunDialog(), 42);
    worker.join();
    EXPECT_EQ(run.postedSeen, 1);
}

TEST_F(DialogTest, PaintingGoesOnDuringTheModalLoop)
{
    InvalidateRect(run.owner, nullptr, FALSE);
    PostMessageW(run.owner, WM_USER + 1, 0, 0);
    Log().log.clear();
    Log().hook = [](HWND, UINT message, WPARAM, LPARAM, LRESULT&) {
        if (message == WM_PAINT && current->dialog)
            EndDialog(current->dialog, 5);
        return false;
    };
    EXPECT_EQ(RunDialog(), 5);
    EXPECT_FALSE(Log().MessagesOf(run.owner, {WM_PAINT}).empty());
}

TEST_F(DialogTest, AMissingProcedureFailsWithMinusOne)
{
    DialogTemplate dialogTemplate;
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, &dialogTemplate, run.owner, nullptr, 0), -1);
}

} // namespace
