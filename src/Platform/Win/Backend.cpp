#include "Platform/Win/Backend.h"

#include "Platform/Win/HeadlessBackend.h"

#include <mutex>

namespace Platform {
namespace {

std::mutex backendLock;
std::unique_ptr<Backend>& InstalledBackend()
{
    static std::unique_ptr<Backend> backend = std::make_unique<HeadlessBackend>();
    return backend;
}

} // namespace

Backend& CurrentBackend()
{
    std::lock_guard lock(backendLock);
    return *InstalledBackend();
}

void InstallBackend(std::unique_ptr<Backend> backend)
{
    std::lock_guard lock(backendLock);
    InstalledBackend() = std::move(backend);
}

} // namespace Platform
