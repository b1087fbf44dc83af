#pragma once
// Windows for the window-system tests: a class whose procedure records every message
// it gets, input through the headless backend, and pumping the calling thread's loop.

#include "Platform/Win/Backend.h"
#include "Platform/Win/HeadlessBackend.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <vector>

namespace WinTest {

using namespace Platform;

struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Every message of the recording classes, in order; a hook may answer instead of
// DefWindowProcW.
struct Recorder {
    std::vector<Received> log;
    std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)> hook;

    static Recorder& Instance()
    {
        static Recorder recorder;
        return recorder;
    }

    std::vector<Received> Of(UINT message) const
    {
        std::vector<Received> found;
        std::copy_if(log.begin(), log.end(), std::back_inserter(found),
                     [&](const Received& r) { return r.message == message; });
        return found;
    }

    std::vector<UINT> MessagesOf(HWND window, std::initializer_list<UINT> interesting) const
    {
        std::vector<UINT> found;
        for (const Received& r : log)
            if (r.window == window && std::find(interesting.begin(), interesting.end(), r.message) != interesting.end())
                found.push_back(r.message);
        return found;
    }
};

inline LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Recorder& recorder = Recorder::Instance();
    recorder.log.push_back(Received{window, message, wParam, lParam});
    LRESULT result = 0;
    if (recorder.hook && recorder.hook(window, message, wParam, lParam, result))
        return result;
    return DefWindowProcW(window, message, wParam, lParam);
}

inline const wchar_t* RecordingClass(UINT classStyle = 0)
{
    static std::map<UINT, std::wstring> names;
    auto& name = names[classStyle];
    if (name.empty()) {
        name = L"WinTestRecorder" + std::to_wstring(classStyle);
        WNDCLASSW windowClass;
        windowClass.style = classStyle;
        windowClass.lpfnWndProc = &RecordingProc;
        windowClass.lpszClassName = name.c_str();
        RegisterClassW(&windowClass);
    }
    return name.c_str();
}

inline void PumpPending()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}

inline HeadlessBackend& Headless()
{
    return dynamic_cast<HeadlessBackend&>(CurrentBackend());
}

// Creates windows, forgets the log, and destroys what the test created.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { Recorder::Instance() = Recorder{}; }

    void TearDown() override
    {
        // Hooks capture the test's locals, which are gone by now.
        Recorder::Instance().hook = nullptr;
        for (auto it = created.rbegin(); it != created.rend(); ++it)
            DestroyWindow(*it);
        PumpPending();
        Recorder::Instance() = Recorder{};
    }

    HWND TopLevel(int x, int y, int width, int height, std::uint32_t style = WS_POPUP | WS_VISIBLE, UINT classStyle = 0)
    {
        HWND window = CreateWindowExW(0, RecordingClass(classStyle), L"", style, x, y, width, height, nullptr, nullptr,
                                      nullptr, nullptr);
        created.push_back(window);
        return window;
    }

    HWND Child(HWND parent, int x, int y, int width, int height, std::uint32_t style = 0, UINT classStyle = 0)
    {
        return CreateWindowExW(0, RecordingClass(classStyle), L"", WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                               parent, nullptr, nullptr, nullptr);
    }

    Recorder& Log() { return Recorder::Instance(); }

    void Mouse(Backend::MouseAction action, int x, int y) { CurrentBackend().InjectMouse(action, POINT{x, y}); }
    void Click(int x, int y)
    {
        Mouse(Backend::MouseAction::LeftDown, x, y);
        Mouse(Backend::MouseAction::LeftUp, x, y);
    }

    std::vector<HWND> created;
};

} // namespace WinTest
