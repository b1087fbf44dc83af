#pragma once
// A log4cplus appender that writes each formatted event to a file descriptor it owns,
// for a log file that was opened and checked before any line is written, so that no
// second open by name can reach another file.

#include <log4cplus/appender.h>

class DescriptorAppender final : public log4cplus::Appender {
public:
    // Takes ownership of fd.
    explicit DescriptorAppender(int fd);
    ~DescriptorAppender() override;

    void close() override;

protected:
    void append(const log4cplus::spi::InternalLoggingEvent& event) override;

private:
    int fd;
};
