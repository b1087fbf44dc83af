#include "Platform/Win/DroppedFiles.h"

#include <atomic>

namespace Platform {
namespace {

std::atomic<DroppedFilesHandler> installed{nullptr};

} // namespace

void SetDroppedFilesHandler(DroppedFilesHandler handler)
{
    installed = handler;
}

void DeliverDroppedFiles(const std::vector<std::wstring>& paths, POINT screen, DWORD keyState)
{
    if (const DroppedFilesHandler handler = installed)
        handler(paths, screen, keyState);
}

} // namespace Platform
