#include "Platform/Win/WindowTable.h"

#include <algorithm>

namespace Platform {

WindowTable& WindowTable::Instance()
{
    static WindowTable table;
    return table;
}

bool WindowTable::RegisterClass(const WindowClass& windowClass)
{
    std::lock_guard guard(lock);
    return classes.emplace(windowClass.name, std::make_shared<const WindowClass>(windowClass)).second;
}

std::shared_ptr<const WindowClass> WindowTable::FindClass(const std::wstring& name) const
{
    std::lock_guard guard(lock);
    auto it = classes.find(name);
    return it == classes.end() ? nullptr : it->second;
}

std::shared_ptr<WindowObject> WindowTable::Add(std::shared_ptr<WindowObject> window)
{
    std::lock_guard guard(lock);
    nextHandle += 2;
    window->handle = reinterpret_cast<HWND>(nextHandle);
    windows.emplace(window->handle, window);
    if (!(window->style & WS_CHILD))
        topLevels.insert(topLevels.begin(), window->handle);
    return window;
}

std::shared_ptr<WindowObject> WindowTable::Find(HWND handle) const
{
    std::lock_guard guard(lock);
    auto it = windows.find(handle);
    return it == windows.end() ? nullptr : it->second;
}

void WindowTable::Remove(HWND handle)
{
    std::lock_guard guard(lock);
    windows.erase(handle);
    std::erase(topLevels, handle);
    std::erase(topmost, handle);
}

std::vector<HWND> WindowTable::TopLevels() const
{
    std::lock_guard guard(lock);
    std::vector<HWND> order = topmost;
    order.insert(order.end(), topLevels.begin(), topLevels.end());
    return order;
}

void WindowTable::BringToFront(HWND handle, bool isTopmost)
{
    std::lock_guard guard(lock);
    const bool wasTopmost = std::find(topmost.begin(), topmost.end(), handle) != topmost.end();
    if (!wasTopmost && std::find(topLevels.begin(), topLevels.end(), handle) == topLevels.end())
        return;
    std::erase(topmost, handle);
    std::erase(topLevels, handle);
    auto& list = isTopmost || wasTopmost ? topmost : topLevels;
    list.insert(list.begin(), handle);
}

} // namespace Platform
