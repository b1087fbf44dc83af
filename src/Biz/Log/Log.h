#pragma once
// The diagnostic log file, off until "init" asks for it with "Debug" and "LogFile".

#include <map>
#include <memory>
#include <mutex>
#include <string>

class Log {
public:
    static Log& Instance();

    // Opens (truncating) the file and switches logging on. Each file has at most one
    // appender: naming a file again truncates it again instead of adding a second.
    void Init(bool debug, const std::wstring& file);
    // Writes a warning, when logging is on, with its source location in the log's own
    // fixed form: source names the file below src as Folder\Class, and the line shows
    // ..\..\src\Folder\Class whatever machine the module was built on.
    void Warn(const std::string& message, const char* source, int line);
    const std::wstring& Name() const { return name; }

private:
    Log();
    struct Appenders;

    std::wstring name = L"Quelvane6(x86)";
    // Guards the appenders' table by file; taken by Init only. Warn takes no lock:
    // log4cplus locks the logger's appender list and each appender's writes.
    std::mutex lock;
    std::unique_ptr<Appenders> appenders;
};
