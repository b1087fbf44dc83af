#include "ProgressView.h"

#include "Biz/ImageData.h"

#include <unistd.h>

#include <cstdio>

ProgressView::ProgressView(std::vector<File> files) : terminal(isatty(STDERR_FILENO) != 0), files(std::move(files)) {}

void ProgressView::Progress(const ImageData& file)
{
    Show("progress", file);
}

void ProgressView::Complete(const ImageData& file)
{
    sent.insert(&file);
    // An error reported during the transfer does not count once the reply succeeded.
    failed.erase(&file);
    Show("complete", file);
}

void ProgressView::Error(const ImageData& file, const std::string& reason)
{
    failed[&file] = reason;
    // A failure stays on the screen: on a terminal it is written above the status line.
    std::fprintf(stderr, "%serror %s: %s\n", terminal ? "\r\033[K" : "", PathOf(file).c_str(), reason.c_str());
    if (terminal)
        Show("error", file);
    std::fflush(stderr);
}

const std::string& ProgressView::PathOf(const ImageData& file) const
{
    for (const File& entry : files) {
        if (entry.record == &file)
            return entry.path;
    }
    static const std::string unknown = "?";
    return unknown;
}

void ProgressView::Show(const std::string& event, const ImageData& file)
{
    const long sentBytes = file.sentBytes.load();
    const long size = file.uploadSize.load();
    if (terminal) {
        const long percent = size > 0 ? sentBytes * 100 / size : 0;
        std::fprintf(stderr, "\r\033[K%zu/%zu sent, %zu failed  %s %ld%%", sent.size(), files.size(), failed.size(),
                     PathOf(file).c_str(), percent);
    } else {
        std::fprintf(stderr, "%s %s %ld/%ld\n", event.c_str(), PathOf(file).c_str(), sentBytes, size);
    }
    std::fflush(stderr);
}

void ProgressView::TaskEnd(bool interrupted)
{
    if (terminal)
        std::fputc('\n', stderr);
    std::fprintf(stderr, "task_end%s: %zu of %zu files sent\n", interrupted ? " (stopped)" : "", sent.size(),
                 files.size());
    for (const File& entry : files) {
        std::string outcome = "not sent";
        if (sent.count(entry.record))
            outcome = "sent";
        else if (const auto failure = failed.find(entry.record); failure != failed.end())
            outcome = "failed (" + failure->second + ")";
        std::fprintf(stderr, "%s %s %s\n", entry.record->id.c_str(), outcome.c_str(), entry.path.c_str());
    }
}
