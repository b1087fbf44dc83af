#include "Control/OverallProgress.h"

#include "Biz/ImageData.h"
#include "Biz/UiText.h"
#include "Platform/ShellApi/ByteSizeText.h"

#include <boost/format.hpp>

#include <algorithm>
#include <cwchar>

namespace {

std::wstring ByteSize(std::int64_t bytes)
{
    wchar_t text[64];
    return Platform::StrFormatByteSizeW(bytes, text, 64);
}

// "m:ss", or "--:--" while no speed is known yet.
std::wstring Duration(std::int64_t seconds)
{
    if (seconds < 0)
        return L"--:--";
    wchar_t text[32];
    std::swprintf(text, 32, L"%lld:%02lld", static_cast<long long>(seconds / 60), static_cast<long long>(seconds % 60));
    return text;
}

} // namespace

void OverallProgress::Start(std::vector<std::shared_ptr<ImageData>> taskFiles, std::uint64_t now)
{
    files = std::move(taskFiles);
    done.clear();
    started = now;
    running = true;
}

void OverallProgress::FileDone(const ImageData* file)
{
    if (running && std::any_of(files.begin(), files.end(), [file](const auto& known) { return known.get() == file; }))
        done.insert(file);
}

void OverallProgress::Stop()
{
    running = false;
    files.clear();
    done.clear();
}

std::int64_t OverallProgress::SizeOf(const ImageData& file)
{
    const std::int64_t size = file.uploadSize;
    return size > 0 ? size : file.fileSize;
}

std::int64_t OverallProgress::SentBytes() const
{
    std::int64_t sent = 0;
    for (const auto& file : files)
        sent += done.count(file.get()) ? SizeOf(*file) : std::min<std::int64_t>(file->sentBytes, SizeOf(*file));
    return sent;
}

std::int64_t OverallProgress::TotalBytes() const
{
    std::int64_t total = 0;
    for (const auto& file : files)
        total += SizeOf(*file);
    return total;
}

std::wstring OverallProgress::Text(std::uint64_t now) const
{
    const std::int64_t sent = SentBytes();
    const std::int64_t total = std::max<std::int64_t>(TotalBytes(), 1);
    const std::int64_t percent = std::min<std::int64_t>(sent * 100 / total, 100);
    const std::int64_t elapsed = static_cast<std::int64_t>(now - started);
    const std::int64_t speed = elapsed > 0 ? sent * 1000 / elapsed : 0;
    const std::int64_t left = speed > 0 ? (std::max<std::int64_t>(total - sent, 0) + speed - 1) / speed : -1;
    return (boost::wformat(UiText::Get(TextId::OverallFormat)) % DoneCount() % FileCount() % percent % ByteSize(speed) %
            Duration(left))
        .str();
}
