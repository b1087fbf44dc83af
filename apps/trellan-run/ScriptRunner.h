#pragma once
// Runs a trellan-run script: one JSON object a line, each an action on the control
// (page commands, page functions, waits, dumps, window input and screenshots), on
// the control's thread. Lines run from the thread's idle hook, whenever the loop that
// is running has nothing left to dispatch: the runner's own loop, or a modal dialog,
// drag, sizing or tracking loop that a line opened. So a script can open a modal form,
// act inside it and close it; "wait" and "pump_ms" are states the runner is in, not
// loops of their own.

#include "PageFunction.h"

#include "Platform/Win/WinTypes.h"

#include <json/value.h>

#include <cstdint>
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
    ScriptRunner(ITrellan& control, Platform::HWND__* window, std::istream& script);
    ~ScriptRunner();

    // Installs the unlabelled page function that runs before the first line.
    void InstallDefaultFunction();
    // Runs the script to its end and returns the exit status. A script that ends (or
    // fails) while a modal or capture loop runs ends that loop as a quit would.
    int Run();
    // The longest a page command of the script ran, in microseconds.
    std::int64_t LongestCommandMicroseconds() const { return longestCommand; }

private:
    enum class State { Ready, Waiting, Pumping, Finished };

    // The idle hook: takes the script one step further; returns how long the loop
    // may wait before it is called again.
    Platform::DWORD Advance();
    // Whether a waited-for state is over; false while it goes on.
    bool StateOver();
    void RunNextLine();
    // Returns Completed to go on, or the status to exit with (after saying why on
    // standard error).
    int RunLine(const Json::Value& line);
    int Fail(int status, const std::string& reason);
    void Finish(int status);
    void InstallFunction(const std::string& label);
    bool TakeEvent(const std::string& name);
    void DumpWindows();
    // A state the control describes through its diagnostic interface: "config",
    // "list", "form" or "build".
    int DumpState(const std::string& what);

    ITrellan& control;
    Platform::HWND__* window;
    std::istream& script;
    PageFunction::EventLog events;
    State state = State::Ready;
    int status = Completed;
    int lineNumber = 0;
    // The event a "wait" line waits for and its time-out, and the end of a "pump_ms".
    std::string awaited;
    std::int64_t waitTimeoutMs = 0;
    std::uint64_t deadline = 0;
    std::int64_t longestCommand = 0;
};
