#pragma once
// Runs a trellan-run script: one JSON object a line, each an action on the control
// (page commands, page functions, waits, dumps, window input and screenshots), on
// the control's thread with the message loop running between lines.

#include "PageFunction.h"

#include <json/value.h>

#include <istream>
#include <string>

class ITrellan;
namespace Platform {
struct HWND__;
}

class ScriptRunner {
public:
    // Exit statuses of the program.
    static constexpr int Completed = 0;
    static constexpr int BadLine = 2;
    static constexpr int WaitTimedOut = 3;

    // window is the control's window, which window actions drive.
    ScriptRunner(ITrellan& control, Platform::HWND__* window);
    ~ScriptRunner();

    // Installs the unlabelled page function that runs before the first line.
    void InstallDefaultFunction();
    int Run(std::istream& script);

private:
    // Returns Completed to go on, or the status to exit with (after saying why on
    // standard error).
    int RunLine(const Json::Value& line, int number);
    int Fail(int status, int number, const std::string& reason);
    void InstallFunction(const std::string& label);
    bool WaitFor(const std::string& name, int timeoutMs);
    void Pump(int milliseconds);
    void PumpPending();
    void DumpConfig();

    ITrellan& control;
    Platform::HWND__* window;
    PageFunction::EventLog events;
};
