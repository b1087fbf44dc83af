#pragma once
// The table behind window handles. A handle is a number that is never reused, so a
// stale handle finds nothing and every call with it fails cleanly.
//
// Threads: the table itself is guarded by its lock. A window's fields are written
// only by the thread that created it (its queue's owner); other threads read only
// `queue` and `handle`, which never change.

#include "Platform/Win/MessageQueue.h"
#include "Platform/Win/WinTypes.h"

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace Platform {

struct WindowClass {
    std::wstring name;
    UINT style = 0;
    WNDPROC procedure = nullptr;
};

struct WindowObject {
    HWND handle = nullptr;
    std::shared_ptr<MessageQueue> queue;
    std::shared_ptr<const WindowClass> windowClass;
    WNDPROC procedure = nullptr;
    std::uint32_t style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;
    std::vector<HWND> children;
    // Position in the parent's client area, or on the screen for a top-level window.
    RECT rect;
    std::wstring text;
    LONG_PTR userData = 0;
    bool destroying = false;
};

class WindowTable {
public:
    static WindowTable& Instance();

    bool RegisterClass(const WindowClass& windowClass);
    bool UnregisterClass(const std::wstring& name);
    std::shared_ptr<const WindowClass> FindClass(const std::wstring& name) const;

    std::shared_ptr<WindowObject> Add(std::shared_ptr<WindowObject> window);
    std::shared_ptr<WindowObject> Find(HWND handle) const;
    void Remove(HWND handle);

private:
    mutable std::mutex lock;
    std::uintptr_t nextHandle = 0x10;
    std::unordered_map<std::wstring, std::shared_ptr<const WindowClass>> classes;
    std::unordered_map<HWND, std::shared_ptr<WindowObject>> windows;
};

} // namespace Platform
