#include "Biz/Log/DescriptorAppender.h"

#include <cerrno>
#include <unistd.h>

DescriptorAppender::DescriptorAppender(int descriptor) : fd(descriptor) {}

DescriptorAppender::~DescriptorAppender()
{
    destructorImpl();
}

void DescriptorAppender::close()
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
    closed = true;
}

// log4cplus holds the appender's lock around this call.
void DescriptorAppender::append(const log4cplus::spi::InternalLoggingEvent& event)
{
    const log4cplus::tstring& text = formatEvent(event);
    std::size_t written = 0;
    while (fd >= 0 && written < text.size()) {
        const ssize_t count = ::write(fd, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return;
        written += static_cast<std::size_t>(count);
    }
}
