#pragma once
// Objects the platform keeps with a window under a key (a drop target, for example).
// The window holds them until they are replaced or removed, or until it is destroyed:
// then they are released after WM_NCDESTROY, once its handle is dead. Only the
// window's thread may set or read them.

#include "Platform/Win/WinTypes.h"

#include <memory>
#include <string_view>

namespace Platform {

// A null object removes the key. FALSE for a window this thread does not own, and for
// a new object on a window that is being destroyed.
BOOL SetWindowAttachment(HWND window, std::string_view key, std::shared_ptr<void> object);
// Null when the window or the key is absent.
std::shared_ptr<void> GetWindowAttachment(HWND window, std::string_view key);

} // namespace Platform
