#pragma once
// The table behind window handles. A handle is a number that is never reused, so a
// stale handle finds nothing and every call with it fails cleanly.
//
// Threads: the table itself is guarded by its lock. A window's fields are written
// only by the thread that created it (its queue's owner); other threads read only
// `queue` and `handle`, which never change.

#include "Platform/Win/MessageQueue.h"
#include "Platform/Win/Region.h"
#include "Platform/Win/WinTypes.h"

#include <map>
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
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
};

class Surface;

struct ScrollBarState {
    SCROLLINFO info;
    bool enabled = true;
};

// A modal dialog's run state (DoModal and EndDialog).
struct DialogState {
    INT_PTR (*procedure)(HWND, UINT, WPARAM, LPARAM) = nullptr;
    bool ended = false;
    INT_PTR result = 0;
    LONG_PTR messageResult = 0;
};

struct WindowObject {
    HWND handle = nullptr;
    std::shared_ptr<MessageQueue> queue;
    std::shared_ptr<const WindowClass> windowClass;
    WNDPROC procedure = nullptr;
    std::uint32_t style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;
    HWND owner = nullptr;
    // Bottom of the z-order first: later children paint over earlier ones.
    std::vector<HWND> children;
    // Position in the parent's client area, or on the screen for a top-level window.
    RECT rect;
    // The client area relative to the window's top-left corner (after WM_NCCALCSIZE).
    RECT client;
    std::wstring text;
    LONG_PTR userData = 0;
    LONG_PTR id = 0;
    bool destroying = false;

    // Painting: the invalid part of the client area (client coordinates).
    Region update;
    bool erase = false;
    bool frameDirty = false;
    // Top-level windows only: the pixels the backend presents.
    std::shared_ptr<Surface> surface;

    ScrollBarState vertical;
    ScrollBarState horizontal;
    std::unique_ptr<DialogState> dialog;
    bool maximized = false;
    RECT restoreRect;
    // Objects other parts of the platform keep with the window (SetWindowAttachment).
    std::map<std::string, std::shared_ptr<void>, std::less<>> attachments;
};

class WindowTable {
public:
    static WindowTable& Instance();

    bool RegisterClass(const WindowClass& windowClass);
    std::shared_ptr<const WindowClass> FindClass(const std::wstring& name) const;

    std::shared_ptr<WindowObject> Add(std::shared_ptr<WindowObject> window);
    std::shared_ptr<WindowObject> Find(HWND handle) const;
    void Remove(HWND handle);

    // Top-level windows, front first; topmost windows stay ahead of the others.
    std::vector<HWND> TopLevels() const;
    void BringToFront(HWND handle, bool topmost);

private:
    mutable std::mutex lock;
    std::uintptr_t nextHandle = 0x10;
    std::unordered_map<std::wstring, std::shared_ptr<const WindowClass>> classes;
    std::unordered_map<HWND, std::shared_ptr<WindowObject>> windows;
    std::vector<HWND> topLevels;
    std::vector<HWND> topmost;
};

} // namespace Platform
