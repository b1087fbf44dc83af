#include "Platform/Win/WindowAttachment.h"

#include "Platform/Win/WindowTree.h"

#include <string>

namespace Platform {

BOOL SetWindowAttachment(HWND handle, std::string_view key, std::shared_ptr<void> object)
{
    auto window = OwnedWindow(handle);
    // A window on its way out may still drop what it holds, but takes nothing new.
    if (!window || (window->destroying && object))
        return FALSE;
    auto& attachments = window->attachments;
    // The old object is released after the map has changed, so its clean-up sees the new state.
    std::shared_ptr<void> old;
    if (auto found = attachments.find(key); found != attachments.end()) {
        old = std::move(found->second);
        attachments.erase(found);
    }
    if (object)
        attachments.emplace(std::string(key), std::move(object));
    return TRUE;
}

std::shared_ptr<void> GetWindowAttachment(HWND handle, std::string_view key)
{
    auto window = OwnedWindow(handle);
    if (!window)
        return nullptr;
    auto found = window->attachments.find(key);
    return found == window->attachments.end() ? nullptr : found->second;
}

} // namespace Platform
