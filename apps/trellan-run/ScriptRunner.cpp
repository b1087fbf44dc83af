#include "ScriptRunner.h"

#include "WindowActions.h"

#include "Control/ITrellan.h"
#include "Control/ITrellanDiagnostics.h"
#include "Platform/Com/Bstr.h"
#include "Platform/Text/JsonText.h"
#include "Platform/Text/TextConv.h"
#include "Platform/Win/Clock.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WinConstants.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>

using namespace Platform;

namespace {

std::string Compact(const Json::Value& value)
{
    std::string text = WriteJson(value);
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

} // namespace

ScriptRunner::ScriptRunner(ITrellan& control, HWND window, std::istream& script)
    : control(control), window(window), script(script)
{
}

ScriptRunner::~ScriptRunner()
{
    control.put_recvMessage(nullptr);
}

void ScriptRunner::InstallDefaultFunction()
{
    InstallFunction("");
}

void ScriptRunner::InstallFunction(const std::string& label)
{
    auto* function = new PageFunction(label, events);
    control.put_recvMessage(function);
    function->Release();
}

int ScriptRunner::Run()
{
    SetIdleHook([this] { return Advance(); });
    MSG message;
    for (;;) {
        if (!GetMessageW(&message, nullptr, 0, 0)) {
            if (state == State::Finished)
                break;
            // A quit the control posted does not end the script.
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    SetIdleHook(nullptr);
    return status;
}

DWORD ScriptRunner::Advance()
{
    if (state == State::Finished) {
        // Every loop still running ends, down to the runner's own.
        PostQuitMessage(status);
        return INFINITE;
    }
    if (!StateOver()) {
        const std::uint64_t now = GetTickCount64();
        const std::uint64_t left = deadline > now ? deadline - now : 0;
        // A wait looks at the events again at least every 50 ms.
        return static_cast<DWORD>(std::min<std::uint64_t>(left, state == State::Waiting ? 50 : 0x7FFFFFFF));
    }
    state = State::Ready;
    RunNextLine();
    // The loop dispatches whatever the line caused before the next line runs.
    return 0;
}

bool ScriptRunner::StateOver()
{
    switch (state) {
    case State::Waiting:
        if (TakeEvent(awaited))
            return true;
        if (GetTickCount64() < deadline)
            return false;
        Finish(Fail(WaitTimedOut, "no event \"" + awaited + "\" within " + std::to_string(waitTimeoutMs) + " ms"));
        return false;
    case State::Pumping:
        return GetTickCount64() >= deadline;
    default:
        return true;
    }
}

void ScriptRunner::RunNextLine()
{
    std::string text;
    for (;;) {
        if (!std::getline(script, text)) {
            Finish(Completed);
            return;
        }
        ++lineNumber;
        const auto first = text.find_first_not_of(" \t\r");
        if (first != std::string::npos && text[first] != '#')
            break;
    }
    Json::Value line;
    if (!ParseJson(text, line) || !line.isObject()) {
        Finish(Fail(BadLine, "not a JSON object"));
        return;
    }
    // A line that opens a modal form returns once the lines run inside it have
    // closed it, or once the script has ended there.
    // Every member's type is checked where it is read; this keeps the promise that a
    // malformed line ends the run with a message for a member that slipped through.
    int result;
    try {
        result = RunLine(line);
    } catch (const Json::Exception& error) {
        result = Fail(BadLine, std::string("a member has the wrong type: ") + error.what());
    }
    if (result != Completed && state != State::Finished)
        Finish(result);
}

void ScriptRunner::Finish(int exitStatus)
{
    status = exitStatus;
    state = State::Finished;
    PostQuitMessage(status);
}

int ScriptRunner::RunLine(const Json::Value& line)
{
    if (line.isMember("post")) {
        const Json::Value& command = line["post"];
        const std::string text = command.isString() ? command.asString() : Compact(command);
        ScopedBstr bstr(Utf8ToWide(text));
        const auto start = std::chrono::steady_clock::now();
        control.postMessage(bstr.Get());
        const auto took = std::chrono::steady_clock::now() - start;
        longestCommand =
            std::max<std::int64_t>(longestCommand, std::chrono::duration_cast<std::chrono::microseconds>(took).count());
        return Completed;
    }
    if (line.isMember("recvMessage")) {
        const Json::Value& label = line["recvMessage"];
        if (label.isNull())
            control.put_recvMessage(nullptr);
        else if (label.isString())
            InstallFunction(label.asString());
        else
            return Fail(BadLine, "recvMessage takes a label or null");
        return Completed;
    }
    if (line.isMember("wait")) {
        const Json::Value& timeout = line.get("timeout_ms", 30000);
        if (!line["wait"].isString() || !timeout.isIntegral() || timeout.asInt64() < 0)
            return Fail(BadLine, "wait takes an event name and a timeout_ms of 0 or more");
        awaited = line["wait"].asString();
        waitTimeoutMs = std::min<Json::Int64>(timeout.asInt64(), 0x7FFFFFFF);
        deadline = GetTickCount64() + static_cast<std::uint64_t>(waitTimeoutMs);
        state = State::Waiting;
        return Completed;
    }
    if (line.isMember("pump_ms")) {
        const Json::Value& duration = line["pump_ms"];
        if (!duration.isIntegral() || duration.asInt64() < 0 || duration.asInt64() > 0x7FFFFFFF)
            return Fail(BadLine, "pump_ms takes a number of milliseconds");
        deadline = GetTickCount64() + static_cast<std::uint64_t>(duration.asInt64());
        state = State::Pumping;
        return Completed;
    }
    if (line.isMember("dump")) {
        const Json::Value& what = line["dump"];
        if (what == "windows") {
            DumpWindows();
            return Completed;
        }
        if (what == "config" || what == "list" || what == "form" || what == "build")
            return DumpState(what.asString());
        return Fail(BadLine, "dump knows only \"config\", \"windows\", \"list\", \"form\" and \"build\"");
    }
    if (WindowActions::Handles(line)) {
        const std::string refused = WindowActions(window).Run(line);
        return refused.empty() ? Completed : Fail(BadLine, refused);
    }
    return Fail(BadLine, "no known action");
}

int ScriptRunner::Fail(int failure, const std::string& reason)
{
    std::cerr << "trellan-run: line " << lineNumber << ": " << reason << std::endl;
    return failure;
}

bool ScriptRunner::TakeEvent(const std::string& name)
{
    auto found = std::find(events.begin(), events.end(), name);
    if (found == events.end())
        return false;
    events.erase(events.begin(), found + 1);
    return true;
}

void ScriptRunner::DumpWindows()
{
    Json::Value windows(Json::arrayValue);
    EnumWindows(
        [](HWND window, LPARAM list) {
            if (!(GetWindowStyle(window) & WS_VISIBLE))
                return TRUE;
            RECT rect;
            GetWindowRect(window, &rect);
            Json::Value entry(Json::objectValue);
            entry["class"] = WideToUtf8(GetClassNameW(window));
            entry["title"] = WideToUtf8(GetWindowTextW(window));
            entry["rect"] = Json::Value(Json::arrayValue);
            for (const int edge : {rect.left, rect.top, rect.right, rect.bottom})
                entry["rect"].append(edge);
            entry["active"] = GetActiveWindow() == window;
            entry["enabled"] = IsWindowEnabled(window) != FALSE;
            reinterpret_cast<Json::Value*>(list)->append(entry);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    std::fputs(("#windows " + WriteJson(windows)).c_str(), stdout);
    std::fflush(stdout);
}

int ScriptRunner::DumpState(const std::string& what)
{
    ComPtr<ITrellanDiagnostics> diagnostics;
    if (FAILED(control.QueryInterface(IID_ITrellanDiagnostics, reinterpret_cast<void**>(diagnostics.Put()))))
        return Fail(BadLine, "the control answers no diagnostic interface, so its " + what + " cannot be read");
    BSTR json = nullptr;
    const HRESULT hr = diagnostics->Describe(ScopedBstr(Utf8ToWide(what)).Get(), &json);
    const ScopedBstr text(json);
    if (FAILED(hr)) {
        return Fail(BadLine, what == "form" ? "the active window is not a form that can be dumped (the file-add dialog)"
                                            : "the control did not describe its " + what);
    }
    std::fputs(("#" + what + " " + WideToUtf8(WideFromBstr(text.Get()))).c_str(), stdout);
    std::fflush(stdout);
    return Completed;
}
