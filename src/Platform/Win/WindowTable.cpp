#include "Platform/Win/WindowTable.h"

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

bool WindowTable::UnregisterClass(const std::wstring& name)
{
    std::lock_guard guard(lock);
    return classes.erase(name) > 0;
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
}

} // namespace Platform
