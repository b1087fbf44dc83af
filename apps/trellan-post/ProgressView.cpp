#include "ProgressView.h"

#include "Biz/ImageData.h"
#include "Platform/Text/TextConv.h"

#include <unistd.h>

#include <cstdio>

using namespace Platform;

ProgressView::ProgressView(std::size_t fileCount) : terminal(isatty(STDERR_FILENO) != 0), fileCount(fileCount)
{
}

void ProgressView::Progress(const ImageData& file)
{
    Show("progress", file);
}

void ProgressView::Complete(const ImageData& file)
{
    ++done;
    Show("complete", file);
}

void ProgressView::Error(const ImageData& file)
{
    failed.insert(&file);
    Show("error", file);
}

void ProgressView::Show(const std::string& event, const ImageData& file)
{
    const std::string name = WideToUtf8(file.fileName);
    const long sent = file.sentBytes.load();
    const long size = file.uploadSize.load();
    if (terminal) {
        const long percent = size > 0 ? sent * 100 / size : 0;
        std::fprintf(stderr, "\r\033[K%zu/%zu sent, %zu failed  %s %ld%%", done, fileCount, failed.size(), name.c_str(),
                     percent);
    } else {
        std::fprintf(stderr, "%s %s %ld/%ld\n", event.c_str(), name.c_str(), sent, size);
    }
    std::fflush(stderr);
}

void ProgressView::TaskEnd(bool interrupted)
{
    if (terminal)
        std::fputc('\n', stderr);
    std::fprintf(stderr, "task_end%s: %zu of %zu files sent\n", interrupted ? " (stopped)" : "", done, fileCount);
}
