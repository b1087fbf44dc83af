#include "ControlScript.h"
#include "ScriptRunner.h"
#include "UI/TestForm.h"

#include "Platform/Text/JsonText.h"
#include "Control/CTrellan.h"
#include "Platform/Win/Input.h"
#include "UI/CMessageDialog.h"
#include "UI/Skin.h"
#include "Views/CustomDataObject.h"
#include "Views/IDropSourceImpl.h"
#include "Views/TileDropSupport.h"
#include "Platform/Ole/DragDrop.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

using namespace Platform;

namespace {

Json::Value Parsed(const std::string& text)
{
    Json::Value value;
    EXPECT_TRUE(ParseJson(text, value)) << text;
    return value;
}

// A form whose button runs the message dialog over the active window, as the
// control's upload button does when the list is empty.
struct UploadForm : UITest::TestForm {
    UploadForm()
    {
        button.clicked.connect([this] {
            CMessageDialog dialog;
            dialog.SetMessage(L"上传列表为空，请选择文件");
            results.push_back(dialog.DoModal(GetActiveWindow()));
        });
        SetActiveWindow(window);
    }
    std::vector<INT_PTR> results;
};

// A window sized by dragging its bottom-right corner.
struct SizableWindow {
    static LRESULT Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        RECT rect;
        GetWindowRect(window, &rect);
        if (message == WM_NCHITTEST && GET_X_LPARAM(lParam) >= rect.right - 10 &&
            GET_Y_LPARAM(lParam) >= rect.bottom - 10)
            return HTBOTTOMRIGHT;
        return DefWindowProcW(window, message, wParam, lParam);
    }

    SizableWindow()
    {
        static const bool registered = [] {
            WNDCLASSW windowClass;
            windowClass.lpfnWndProc = &Proc;
            windowClass.lpszClassName = L"ScriptRunnerTestSizable";
            return RegisterClassW(&windowClass) != 0;
        }();
        EXPECT_TRUE(registered);
        window = CreateWindowExW(0, L"ScriptRunnerTestSizable", L"sizable", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200,
                                 nullptr, nullptr, nullptr, nullptr);
        SetActiveWindow(window);
    }
    ~SizableWindow() { DestroyWindow(window); }

    HWND window;
};

// A window that starts a tile drag on the first move with the left button down, as
// the list does, and a window whose drop target records what it gets.
struct DragWindows {
    static LRESULT SourceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_MOUSEMOVE && (wParam & MK_LBUTTON)) {
            auto data = ComPtr<CustomDataObject>::Adopt(new CustomDataObject);
            data->SetItemId(7, L"ListViewItem");
            auto source = ComPtr<IDropSourceImpl>::Adopt(new IDropSourceImpl);
            DWORD effect = 0;
            DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY, &effect);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    DragWindows()
    {
        FormatRegistry::Instance().RegisterFormat(L"ListViewItem");
        static const bool registered = [] {
            WNDCLASSW windowClass;
            windowClass.lpfnWndProc = &SourceProc;
            windowClass.lpszClassName = L"ScriptRunnerTestDragSource";
            return RegisterClassW(&windowClass) != 0;
        }();
        EXPECT_TRUE(registered);
        source = CreateWindowExW(0, L"ScriptRunnerTestDragSource", L"", WS_POPUP | WS_VISIBLE, 100, 100, 100, 100,
                                 nullptr, nullptr, nullptr, nullptr);
        target = UITest::CreatePlainWindow(L"ScriptRunnerTestDropTarget", 300, 100, 100, 100);
        EXPECT_EQ(RegisterDragDrop(target, recorder.Get()), S_OK);
        SetActiveWindow(source);
    }
    ~DragWindows()
    {
        DestroyWindow(source);
        DestroyWindow(target);
    }

    HWND source;
    HWND target;
    ComPtr<TileDrop::RecordingViewTarget> recorder =
        ComPtr<TileDrop::RecordingViewTarget>::Adopt(new TileDrop::RecordingViewTarget);
};

class ScriptRunnerTest : public ControlScript {
protected:
    // The window lists of the "#windows" lines printed.
    std::vector<Json::Value> WindowDumps() const { return Dumps("#windows "); }

    static Json::Value Find(const Json::Value& windows, const std::string& className)
    {
        for (const Json::Value& window : windows)
            if (window["class"] == className)
                return window;
        return Json::Value();
    }
};

TEST_F(ScriptRunnerTest, AClickOpensAModalDialogThatTheNextLinesSeeAndClose)
{
    UploadForm form;
    const int status = Run(R"({"click": [110, 110], "window": "active"}
{"dump": "windows"}
{"key": "Enter"}
{"dump": "windows"}
{"post": {"name": "init", "config": {"Debug": 0}}}
{"wait": "load_complete", "timeout_ms": 10000}
)");
    EXPECT_EQ(status, ScriptRunner::Completed);
    EXPECT_EQ(form.results, std::vector<INT_PTR>{1});
    const std::vector<Json::Value> dumps = WindowDumps();
    ASSERT_EQ(dumps.size(), 2u) << out;

    // The dialog is in front, active, centred over the form; the form is disabled under it.
    const Json::Value& open = dumps[0];
    EXPECT_EQ(open[0]["class"], "#32770");
    EXPECT_EQ(open[0]["active"], true);
    EXPECT_EQ(open[0]["enabled"], true);
    const RECT formRect = form.WindowRect();
    const int left = (formRect.left + formRect.right) / 2 - 192, top = (formRect.top + formRect.bottom) / 2 - 87;
    EXPECT_EQ(open[0]["rect"], Parsed("[" + std::to_string(left) + "," + std::to_string(top) + "," +
                                      std::to_string(left + 384) + "," + std::to_string(top + 174) + "]"));
    EXPECT_EQ(Find(open, "TestExtForm")["enabled"], false);
    EXPECT_EQ(Find(open, "TestExtForm")["active"], false);

    const Json::Value& closed = dumps[1];
    EXPECT_TRUE(Find(closed, "#32770").isNull());
    EXPECT_EQ(Find(closed, "TestExtForm")["enabled"], true);
    EXPECT_EQ(Find(closed, "TestExtForm")["active"], true);
    EXPECT_NE(out.find("\"name\":\"load_complete\""), std::string::npos) << out;
}

TEST_F(ScriptRunnerTest, AScriptThatEndsOrFailsInsideAModalDialogClosesIt)
{
    const std::pair<std::string, int> scripts[] = {
        {"{\"click\": [110, 110], \"window\": \"active\"}\n", ScriptRunner::Completed},
        {"{\"click\": [110, 110], \"window\": \"active\"}\n{\"nonsense\": 1}\n{\"key\": \"Enter\"}\n",
         ScriptRunner::BadLine},
        {"{\"click\": [110, 110], \"window\": \"active\"}\n{\"wait\": \"never\", \"timeout_ms\": 0}\n",
         ScriptRunner::WaitTimedOut},
    };
    for (const auto& [script, expected] : scripts) {
        UploadForm form;
        EXPECT_EQ(Run(script), expected) << script;
        EXPECT_EQ(form.results, std::vector<INT_PTR>{2}) << script;
        EXPECT_TRUE(IsWindowEnabled(form.window));
    }
}

TEST_F(ScriptRunnerTest, LinesRunInsideTheSizingLoop)
{
    SizableWindow sizable;
    const int status = Run(R"({"mouse": "down", "x": 295, "y": 195, "window": "active"}
{"mouse": "move", "x": 345, "y": 225, "window": "active"}
{"mouse": "up", "x": 345, "y": 225, "window": "active"}
{"dump": "windows"}
)");
    EXPECT_EQ(status, ScriptRunner::Completed);
    const std::vector<Json::Value> dumps = WindowDumps();
    ASSERT_EQ(dumps.size(), 1u) << out;
    EXPECT_EQ(Find(dumps[0], "ScriptRunnerTestSizable")["rect"], Parsed("[100,100,450,330]"));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ScriptRunnerTest, ADragRunsItsWholeGestureInsideOneLine)
{
    DragWindows windows;
    // The drag starts in the active window and drops on the other one, 200 pixels right.
    const int status = Run(R"({"drag": {"from": [20, 20], "to": [250, 50], "window": "active"}}
{"dump": "windows"}
)");
    EXPECT_EQ(status, ScriptRunner::Completed);
    EXPECT_EQ(windows.recorder->tileIds, std::vector<std::uint32_t>{7});
    EXPECT_EQ(GetCapture(), nullptr);
    ASSERT_EQ(WindowDumps().size(), 1u);
}

TEST_F(ScriptRunnerTest, DroppedFilesReachTheTargetUnderThePoint)
{
    DragWindows windows;
    SetActiveWindow(windows.target);
    const int status = Run(
        R"({"drop": {"paths": ["/tmp/a.jpg", "/tmp/照片 b.png"], "x": 10, "y": 10, "keys": ["ctrl"], "window": "active"}}
)");
    EXPECT_EQ(status, ScriptRunner::Completed);
    EXPECT_EQ(windows.recorder->files, (std::vector<std::wstring>{L"/tmp/a.jpg", L"/tmp/照片 b.png"}));
    EXPECT_EQ(windows.recorder->dropEffects, std::vector<DWORD>{DROPEFFECT_COPY});
}

TEST_F(ScriptRunnerTest, MalformedDragsAndDropsEndTheScript)
{
    for (const char* line :
         {R"({"drag": {"from": [1], "to": [2, 2]}})", R"({"drag": {"from": [1, 1], "to": [2, 2], "keys": ["alt"]}})",
          R"({"drag": [1, 2]})", R"({"drop": {"paths": "/tmp/a.jpg", "x": 1, "y": 1}})",
          R"({"drop": {"paths": [3], "x": 1, "y": 1}})", R"({"drop": {"paths": [], "x": 1}})"}) {
        EXPECT_EQ(Run(std::string(line) + "\n"), ScriptRunner::BadLine) << line;
    }
}

TEST_F(ScriptRunnerTest, PointsInTheActiveWindowNeedOne)
{
    SetActiveWindow(nullptr);
    EXPECT_EQ(Run("{\"click\": [1, 1], \"window\": \"active\"}\n"), ScriptRunner::BadLine);
    EXPECT_EQ(Run("{\"wheel\": 120, \"x\": 1, \"y\": 1, \"window\": \"all\"}\n"), ScriptRunner::BadLine);
}

} // namespace
