#include "ProgressView.h"

#include "Biz/ImageData.h"
#include "Platform/Text/TextConv.h"

#include <unistd.h>

#include <algorithm>
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
    // An error reported during the transfer does not count once the reply succeeded.
    failed.erase(std::remove(failed.begin(), failed.end(), &file), failed.end());
    Show("complete", file);
}

void ProgressView::Error(const ImageData& file)
{
    if (std::find(failed.begin(), failed.end(), &file) == failed.end())
        failed.push_back(&file);
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
    // The engine fails a file whose picture cannot be decoded before posting it, so
    // such a file never has an upload size.
    for (const ImageData* file : failed) {
        std::fprintf(stderr, "not sent: %s%s\n", WideToPath(file->path).c_str(),
                     file->uploadSize.load() == 0 ? " (the picture cannot be read)" : "");
    }
}
