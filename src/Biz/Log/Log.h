#pragma once
// The diagnostic log file, off until "init" asks for it with "Debug" and "LogFile".

#include <log4cplus/appender.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

class Log {
public:
    static Log& Instance();

    // How "LogFile" is read: as the path it is (a trusted caller), or as the name of a
    // file in the user's log folder (an untrusted caller, see LogFolder).
    enum class FileRule { AsGiven, InLogFolder };
    // At most this many files of the log folder are written at once; naming one more
    // closes the oldest, so a page cannot use up the process's descriptors.
    static constexpr std::size_t MaxFolderFiles = 8;

    // Opens (truncating) the file and switches logging on. Each file has at most one
    // appender: naming a file again truncates it again instead of adding a second.
    void Init(bool debug, const std::wstring& file, FileRule rule);
    // Writes a warning, when logging is on, with its source location in the log's own
    // fixed form: source names the file below src as Folder\Class, and the line shows
    // ..\..\src\Folder\Class whatever machine the module was built on.
    void Warn(const std::string& message, const char* source, int line);
    const std::wstring& Name() const { return name; }

private:
    Log();
    struct Appenders;

    // The appender for the file, or null when it cannot be opened.
    log4cplus::SharedAppenderPtr OpenAppender(const std::wstring& file, FileRule rule, std::string& key);
    void Attach(const std::string& key, log4cplus::SharedAppenderPtr appender, FileRule rule);
    void Detach(const std::string& key);

    std::wstring name = L"Quelvane6(x86)";
    // Guards the appenders' table by file; taken by Init only. Warn takes no lock:
    // log4cplus locks the logger's appender list and each appender's writes.
    std::mutex lock;
    std::unique_ptr<Appenders> appenders;
};
