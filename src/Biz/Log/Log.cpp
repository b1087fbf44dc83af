#include "Biz/Log/Log.h"

#include "Platform/Files/RegularFile.h"
#include "Platform/Text/TextConv.h"

#include <log4cplus/fileappender.h>
#include <log4cplus/helpers/loglog.h>
#include <log4cplus/initializer.h>
#include <log4cplus/layout.h>
#include <log4cplus/logger.h>

namespace {

const char* const kPattern = "%d{%m/%d/%y %H:%M:%S}    - %m [%l]%n";
const char* const kSourceRoot = "..\\..\\src\\";

} // namespace

struct Log::Appenders {
    log4cplus::Initializer initializer;
    log4cplus::Logger logger;
    // One appender per file path, so a file is never written twice over.
    std::map<std::string, log4cplus::SharedAppenderPtr> byFile;
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

void Log::Init(bool debug, const std::wstring& file)
{
    if (!debug || file.empty())
        return;
    // A FIFO or device would block the page's call in the open or take the log
    // elsewhere; like a file that cannot be opened, it gets nothing.
    if (!Platform::CanWriteRegularFile(file))
        return;
    const std::string path = Platform::WideToPath(file);
    std::lock_guard guard(lock);
    log4cplus::Logger& logger = appenders->logger;
    if (auto old = appenders->byFile.find(path); old != appenders->byFile.end()) {
        logger.removeAppender(old->second);
        old->second->close();
        appenders->byFile.erase(old);
    }
    log4cplus::SharedAppenderPtr appender(new log4cplus::FileAppender(path, std::ios_base::trunc, true));
    appender->setLayout(std::make_unique<log4cplus::PatternLayout>(kPattern));
    logger.addAppender(appender);
    appenders->byFile.emplace(path, appender);
    logger.setLogLevel(log4cplus::ALL_LOG_LEVEL);
    if (logger.isEnabledFor(log4cplus::WARN_LOG_LEVEL))
        logger.forcedLog(log4cplus::WARN_LOG_LEVEL, "日志创建成功", (std::string(kSourceRoot) + "Biz\\Log").c_str(), 47);
}

void Log::Warn(const std::string& message, const char* source, int line)
{
    log4cplus::Logger& logger = appenders->logger;
    if (logger.isEnabledFor(log4cplus::WARN_LOG_LEVEL))
        logger.forcedLog(log4cplus::WARN_LOG_LEVEL, message, (std::string(kSourceRoot) + source).c_str(), line);
}
