#include "Biz/Log/Log.h"

#include "Biz/Log/DescriptorAppender.h"
#include "Biz/Log/LogFolder.h"

#include "Platform/Files/RegularFile.h"
#include "Platform/Text/TextConv.h"

#include <log4cplus/fileappender.h>
#include <log4cplus/helpers/loglog.h>
#include <log4cplus/initializer.h>
#include <log4cplus/layout.h>
#include <log4cplus/logger.h>

#include <algorithm>
#include <deque>

namespace {

const char* const kPattern = "%d{%m/%d/%y %H:%M:%S}    - %m [%l]%n";
const char* const kSourceRoot = "..\\..\\src\\";

} // namespace

struct Log::Appenders {
    log4cplus::Initializer initializer;
    log4cplus::Logger logger;
    // One appender per file path, so a file is never written twice over.
    std::map<std::string, log4cplus::SharedAppenderPtr> byFile;
    // The log folder's files among them, oldest first.
    std::deque<std::string> folderFiles;
};

Log& Log::Instance()
{
    static Log* instance = new Log();
    return *instance;
}

Log::Log() : appenders(std::make_unique<Appenders>())
{
    // A file that cannot be opened gets nothing, without noise on standard error.
    log4cplus::helpers::LogLog::getLogLog()->setQuietMode(true);
    appenders->logger = log4cplus::Logger::getInstance(Platform::WideToUtf8(name));
    appenders->logger.setLogLevel(log4cplus::OFF_LOG_LEVEL);
}

void Log::Init(bool debug, const std::wstring& file, FileRule rule)
{
    if (!debug || file.empty())
        return;
    std::lock_guard guard(lock);
    std::string key;
    log4cplus::SharedAppenderPtr appender = OpenAppender(file, rule, key);
    if (!appender)
        return;
    appender->setLayout(std::make_unique<log4cplus::PatternLayout>(kPattern));
    Attach(key, appender, rule);
    log4cplus::Logger& logger = appenders->logger;
    logger.setLogLevel(log4cplus::ALL_LOG_LEVEL);
    if (logger.isEnabledFor(log4cplus::WARN_LOG_LEVEL))
        logger.forcedLog(log4cplus::WARN_LOG_LEVEL, "日志创建成功", (std::string(kSourceRoot) + "Biz\\Log").c_str(),
                         47);
}

log4cplus::SharedAppenderPtr Log::OpenAppender(const std::wstring& file, FileRule rule, std::string& key)
{
    if (rule == FileRule::InLogFolder) {
        const std::string name = LogFolder::FileName(Platform::WideToPath(file));
        key = LogFolder::Path() + "/" + name;
        // The file's old appender goes first: its descriptor must not write into the
        // file the new open empties.
        Detach(key);
        const int fd = name.empty() ? -1 : LogFolder::OpenFile(name);
        return log4cplus::SharedAppenderPtr(fd < 0 ? nullptr : new DescriptorAppender(fd));
    }
    // A FIFO or device would block the page's call in the open or take the log
    // elsewhere; like a file that cannot be opened, it gets nothing.
    if (!Platform::CanWriteRegularFile(file))
        return log4cplus::SharedAppenderPtr();
    key = Platform::WideToPath(file);
    Detach(key);
    return log4cplus::SharedAppenderPtr(new log4cplus::FileAppender(key, std::ios_base::trunc, true));
}

void Log::Attach(const std::string& key, log4cplus::SharedAppenderPtr appender, FileRule rule)
{
    if (rule == FileRule::InLogFolder) {
        if (appenders->folderFiles.size() >= MaxFolderFiles)
            Detach(appenders->folderFiles.front());
        appenders->folderFiles.push_back(key);
    }
    appenders->logger.addAppender(appender);
    appenders->byFile.emplace(key, std::move(appender));
}

void Log::Detach(const std::string& key)
{
    auto old = appenders->byFile.find(key);
    if (old == appenders->byFile.end())
        return;
    appenders->logger.removeAppender(old->second);
    old->second->close();
    appenders->byFile.erase(old);
    auto& folderFiles = appenders->folderFiles;
    folderFiles.erase(std::remove(folderFiles.begin(), folderFiles.end(), key), folderFiles.end());
}

void Log::Warn(const std::string& message, const char* source, int line)
{
    log4cplus::Logger& logger = appenders->logger;
    if (logger.isEnabledFor(log4cplus::WARN_LOG_LEVEL))
        logger.forcedLog(log4cplus::WARN_LOG_LEVEL, message, (std::string(kSourceRoot) + source).c_str(), line);
}
