#include "ScriptRunner.h"

#include "WindowActions.h"

#include "Biz/AppConfig.h"
#include "Biz/JsonText.h"
#include "Control/ITrellan.h"
#include "Platform/Text/TextConv.h"
#include "Platform/Win/Clock.h"
#include "Platform/Win/MessageLoop.h"

#include <algorithm>
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

ScriptRunner::ScriptRunner(ITrellan& control, HWND window) : control(control), window(window) {}

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

int ScriptRunner::Run(std::istream& script)
{
    std::string text;
    for (int number = 1; std::getline(script, text); ++number) {
        const auto first = text.find_first_not_of(" \t\r");
        if (first == std::string::npos || text[first] == '#')
            continue;
        Json::Value line;
        if (!ParseJson(text, line) || !line.isObject())
            return Fail(BadLine, number, "not a JSON object");
        const int status = RunLine(line, number);
        if (status != Completed)
            return status;
        PumpPending();
    }
    PumpPending();
    return Completed;
}

int ScriptRunner::RunLine(const Json::Value& line, int number)
{
    if (line.isMember("post")) {
        const Json::Value& command = line["post"];
        const std::string text = command.isString() ? command.asString() : Compact(command);
        ScopedBstr bstr(Utf8ToWide(text));
        control.postMessage(bstr.Get());
        return Completed;
    }
    if (line.isMember("recvMessage")) {
        const Json::Value& label = line["recvMessage"];
        if (label.isNull())
            control.put_recvMessage(nullptr);
        else if (label.isString())
            InstallFunction(label.asString());
        else
            return Fail(BadLine, number, "recvMessage takes a label or null");
        return Completed;
    }
    if (line.isMember("wait")) {
        const Json::Value& timeout = line.get("timeout_ms", 30000);
        if (!line["wait"].isString() || !timeout.isIntegral() || timeout.asInt64() < 0)
            return Fail(BadLine, number, "wait takes an event name and a timeout_ms of 0 or more");
        const std::string name = line["wait"].asString();
        if (!WaitFor(name, static_cast<int>(std::min<Json::Int64>(timeout.asInt64(), 0x7FFFFFFF))))
            return Fail(WaitTimedOut, number, "no event \"" + name + "\" within " + std::to_string(timeout.asInt64()) + " ms");
        return Completed;
    }
    if (line.isMember("pump_ms")) {
        const Json::Value& duration = line["pump_ms"];
        if (!duration.isIntegral() || duration.asInt64() < 0 || duration.asInt64() > 0x7FFFFFFF)
            return Fail(BadLine, number, "pump_ms takes a number of milliseconds");
        Pump(duration.asInt());
        return Completed;
    }
    if (line.isMember("dump")) {
        if (line["dump"] != "config")
            return Fail(BadLine, number, "dump knows only \"config\"");
        DumpConfig();
        return Completed;
    }
    if (WindowActions::Handles(line)) {
        const std::string refused = WindowActions(window).Run(line);
        return refused.empty() ? Completed : Fail(BadLine, number, refused);
    }
    if (line.isMember("drop"))
        return Fail(BadLine, number, "\"drop\" needs the control's drop target, which this build does not have");
    return Fail(BadLine, number, "no known action");
}

int ScriptRunner::Fail(int status, int number, const std::string& reason)
{
    std::cerr << "trellan-run: line " << number << ": " << reason << std::endl;
    return status;
}

bool ScriptRunner::WaitFor(const std::string& name, int timeoutMs)
{
    const std::uint64_t deadline = GetTickCount64() + static_cast<std::uint64_t>(timeoutMs);
    for (;;) {
        PumpPending();
        auto found = std::find(events.begin(), events.end(), name);
        if (found != events.end()) {
            events.erase(events.begin(), found + 1);
            return true;
        }
        const std::uint64_t now = GetTickCount64();
        if (now >= deadline)
            return false;
        WaitMessageTimeout(static_cast<DWORD>(std::min<std::uint64_t>(deadline - now, 50)));
    }
}

void ScriptRunner::Pump(int milliseconds)
{
    const std::uint64_t deadline = GetTickCount64() + static_cast<std::uint64_t>(milliseconds);
    for (;;) {
        PumpPending();
        const std::uint64_t now = GetTickCount64();
        if (now >= deadline)
            return;
        WaitMessageTimeout(static_cast<DWORD>(deadline - now));
    }
}

void ScriptRunner::PumpPending()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void ScriptRunner::DumpConfig()
{
    const AppConfig& config = AppConfig::Instance();
    Json::Value dump(Json::objectValue);
    dump["MaxFiles"] = config.MaxFiles;
    dump["MaxFileSize"] = config.MaxFileSize;
    dump["ThreadCount"] = config.ThreadCount;
    dump["Cookie"] = config.Cookie;
    dump["PostUrl"] = WideToUtf8(config.PostUrl);
    dump["EncodeType"] = WideToUtf8(config.EncodeType);
    dump["FileFieldName"] = config.FileFieldName;
    dump["FileNameGen"] = config.FileNameGen;
    dump["FolderPath"] = WideToUtf8(config.FolderPath);
    Json::Value fields(Json::objectValue);
    for (const auto& [name, value] : config.Fields)
        fields[name] = value;
    dump["Fields"] = fields;
    std::fputs(("#config " + WriteJson(dump)).c_str(), stdout);
    std::fflush(stdout);
}
