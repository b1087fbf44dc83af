#pragma once
// Internal helpers of the window system: looking windows up and walking the tree.

#include "Platform/Win/WindowTable.h"

#include <functional>
#include <memory>

namespace Platform {

std::shared_ptr<WindowObject> FindWindowObject(HWND handle);
// The window, when it exists and the calling thread owns it.
std::shared_ptr<WindowObject> OwnedWindow(HWND handle);
std::shared_ptr<WindowObject> TopLevelOf(const std::shared_ptr<WindowObject>& window);
// Screen position of the window's top-left corner, and of its client area's.
POINT WindowOrigin(const WindowObject& window);
POINT ClientOrigin(const WindowObject& window);
// The window's top-left corner in its top-level window's surface.
POINT SurfaceOffset(const WindowObject& window);
RECT ClientArea(const WindowObject& window);
// Visible itself and every ancestor.
bool IsShown(const WindowObject& window);
// Calls visit for the window and its descendants, parents before children, in
// painting order; stops when visit returns true.
bool VisitTree(const std::shared_ptr<WindowObject>& window,
               const std::function<bool(const std::shared_ptr<WindowObject>&)>& visit);

} // namespace Platform

namespace Platform {

// Asks the window for its client area (WM_NCCALCSIZE) and stores it.
void RecalculateFrame(HWND window);

} // namespace Platform
