#include "Platform/Win/Window.h"

#include "Platform/Win/Backend.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Surface.h"
#include "Platform/Win/ThreadState.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/WindowTree.h"

#include <algorithm>
#include <utility>

namespace Platform {
namespace {

void CollectForDestruction(const std::shared_ptr<WindowObject>& window,
                           std::vector<std::shared_ptr<WindowObject>>& order)
{
    window->destroying = true;
    order.push_back(window);
    for (HWND child : window->children)
        if (auto childWindow = FindWindowObject(child))
            CollectForDestruction(childWindow, order);
}

void DestroyOwnedWindows(HWND owner)
{
    for (HWND top : WindowTable::Instance().TopLevels())
        if (auto window = OwnedWindow(top); window && window->owner == owner && !window->destroying)
            DestroyWindow(top);
}

RECT InitialRect(int x, int y, int width, int height)
{
    if (x == CW_USEDEFAULT)
        x = y = 0;
    if (width == CW_USEDEFAULT)
        width = height = 0;
    return RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
}

CREATESTRUCTW MakeCreateStruct(const WindowObject& window, const wchar_t* className, HMENU menu, HINSTANCE instance,
                               void* param)
{
    CREATESTRUCTW create;
    create.lpCreateParams = param;
    create.hInstance = instance;
    create.hMenu = menu;
    create.hwndParent = window.parent ? window.parent : window.owner;
    create.x = window.rect.left;
    create.y = window.rect.top;
    create.cx = window.rect.right - window.rect.left;
    create.cy = window.rect.bottom - window.rect.top;
    create.style = static_cast<std::int32_t>(window.style);
    create.lpszName = window.text.c_str();
    create.lpszClass = className;
    create.dwExStyle = window.exStyle;
    return create;
}

} // namespace

ATOM RegisterClassW(const WNDCLASSW* windowClass)
{
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc)
        return 0;
    WindowClass entry{windowClass->lpszClassName, windowClass->style, windowClass->lpfnWndProc, windowClass->hCursor,
                      windowClass->hbrBackground};
    if (!WindowTable::Instance().RegisterClass(entry))
        return 0;
    return static_cast<ATOM>(0xC000 | (std::hash<std::wstring>{}(entry.name) & 0x3FFF));
}

WNDPROC GetClassProcedure(const wchar_t* className)
{
    auto windowClass = className ? WindowTable::Instance().FindClass(className) : nullptr;
    return windowClass ? windowClass->procedure : nullptr;
}

HWND CreateWindowExW(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, std::uint32_t style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param)
{
    auto windowClass = className ? WindowTable::Instance().FindClass(className) : nullptr;
    if (!windowClass)
        return nullptr;
    std::shared_ptr<WindowObject> parentWindow;
    if (parent && !(parentWindow = OwnedWindow(parent)))
        return nullptr;
    const bool child = style & WS_CHILD;
    if (child && !parentWindow)
        return nullptr;

    auto window = std::make_shared<WindowObject>();
    window->queue = MessageQueue::ForCurrentThread();
    window->windowClass = windowClass;
    window->procedure = windowClass->procedure;
    window->style = style;
    window->exStyle = exStyle;
    window->parent = child ? parent : nullptr;
    window->owner = child ? nullptr : parent;
    window->id = child ? reinterpret_cast<LONG_PTR>(menu) : 0;
    window->rect = InitialRect(x, y, width, height);
    if (!child) {
        const SIZE fitted = CurrentBackend().FitTopLevel(
            nullptr, SIZE{window->rect.right - window->rect.left, window->rect.bottom - window->rect.top});
        window->rect.right = window->rect.left + fitted.cx;
        window->rect.bottom = window->rect.top + fitted.cy;
    }
    window->client = RECT{0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
    window->text = windowName ? windowName : L"";
    if (!child) {
        window->surface = std::make_shared<Surface>(window->client.right, window->client.bottom, 0xFFFFFFFFu,
                                                    CurrentBackend().DeviceScale());
        CurrentBackend().SetInputQueue(window->queue);
    }
    WindowTable::Instance().Add(window);
    if (parentWindow)
        parentWindow->children.push_back(window->handle);
    if (exStyle & WS_EX_TOPMOST)
        WindowTable::Instance().BringToFront(window->handle, true);

    CREATESTRUCTW create = MakeCreateStruct(*window, className, menu, instance, param);
    const HWND handle = window->handle;
    const LPARAM createParam = reinterpret_cast<LPARAM>(&create);
    if (!SendMessageW(handle, WM_NCCREATE, 0, createParam)) {
        DestroyWindow(handle);
        return nullptr;
    }
    RecalculateFrame(handle);
    if (SendMessageW(handle, WM_CREATE, 0, createParam) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    if (!IsWindow(handle))
        return nullptr;
    const RECT client = ClientArea(*window);
    SendMessageW(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    SendMessageW(handle, WM_MOVE, 0,
                 MAKELPARAM(window->rect.left + window->client.left, window->rect.top + window->client.top));
    if (style & WS_VISIBLE) {
        window->style &= ~WS_VISIBLE;
        ShowWindow(handle, SW_SHOW);
    }
    return handle;
}

BOOL DestroyWindow(HWND handle)
{
    auto window = OwnedWindow(handle);
    if (!window || window->destroying)
        return FALSE;
    DestroyOwnedWindows(handle);
    if (window->style & WS_VISIBLE)
        ShowWindow(handle, SW_HIDE);
    std::vector<std::shared_ptr<WindowObject>> order;
    CollectForDestruction(window, order);
    for (auto& each : order)
        SendMessageW(each->handle, WM_DESTROY, 0, 0);
    ThreadState& state = ThreadState::Current();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        SendMessageW((*it)->handle, WM_NCDESTROY, 0, 0);
        state.Forget((*it)->handle);
        // Released once the handle is dead, so their clean-up finds no window to change.
        const auto attachments = std::move((*it)->attachments);
        WindowTable::Instance().Remove((*it)->handle);
    }
    if (auto parentWindow = FindWindowObject(window->parent))
        std::erase(parentWindow->children, handle);
    if (!window->parent)
        CurrentBackend().WindowDestroyed(handle);
    return TRUE;
}

BOOL IsWindow(HWND handle)
{
    return FindWindowObject(handle) ? TRUE : FALSE;
}

BOOL IsChild(HWND parent, HWND handle)
{
    for (auto window = FindWindowObject(handle); window && window->parent; window = FindWindowObject(window->parent))
        if (window->parent == parent)
            return TRUE;
    return FALSE;
}

LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

LONG_PTR GetWindowLongPtrW(HWND handle, int index)
{
    auto window = FindWindowObject(handle);
    if (!window)
        return 0;
    switch (index) {
    case GWLP_USERDATA:
        return window->userData;
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(window->procedure);
    case GWLP_ID:
        return window->id;
    case GWL_STYLE:
        return static_cast<LONG_PTR>(window->style);
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(window->exStyle);
    case DWLP_MSGRESULT:
        return window->dialog ? window->dialog->messageResult : 0;
    default:
        return 0;
    }
}

LONG_PTR SetWindowLongPtrW(HWND handle, int index, LONG_PTR value)
{
    auto window = OwnedWindow(handle);
    if (!window)
        return 0;
    switch (index) {
    case GWLP_USERDATA:
        return std::exchange(window->userData, value);
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(std::exchange(window->procedure, reinterpret_cast<WNDPROC>(value)));
    case GWLP_ID:
        return std::exchange(window->id, value);
    case GWL_STYLE:
        return static_cast<LONG_PTR>(std::exchange(window->style, static_cast<std::uint32_t>(value)));
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(std::exchange(window->exStyle, static_cast<DWORD>(value)));
    case DWLP_MSGRESULT:
        return window->dialog ? std::exchange(window->dialog->messageResult, value) : 0;
    default:
        return 0;
    }
}

HWND GetParent(HWND handle)
{
    auto window = FindWindowObject(handle);
    return window ? (window->parent ? window->parent : window->owner) : nullptr;
}

HWND GetWindow(HWND handle, UINT relation)
{
    auto window = FindWindowObject(handle);
    return window && relation == GW_OWNER ? window->owner : nullptr;
}

HWND GetDlgItem(HWND dialog, int id)
{
    auto window = FindWindowObject(dialog);
    if (!window)
        return nullptr;
    for (HWND child : window->children)
        if (auto childWindow = FindWindowObject(child); childWindow && childWindow->id == id)
            return child;
    return nullptr;
}

std::uint32_t GetWindowStyle(HWND handle)
{
    auto window = FindWindowObject(handle);
    return window ? window->style : 0;
}

BOOL SetWindowTextW(HWND handle, const wchar_t* text)
{
    return OwnedWindow(handle) && SendMessageW(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : L""))
               ? TRUE
               : FALSE;
}

std::wstring GetWindowTextW(HWND handle)
{
    auto window = FindWindowObject(handle);
    if (!window)
        return std::wstring();
    const auto length = static_cast<std::size_t>(SendMessageW(handle, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    const auto copied =
        static_cast<std::size_t>(SendMessageW(handle, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data())));
    text.resize(std::min(copied, length));
    return text;
}

std::wstring GetClassNameW(HWND handle)
{
    auto window = FindWindowObject(handle);
    return window && window->windowClass ? window->windowClass->name : std::wstring();
}

BOOL EnumWindows(WNDENUMPROC enumerate, LPARAM lParam)
{
    if (!enumerate)
        return FALSE;
    for (HWND top : WindowTable::Instance().TopLevels())
        if (IsWindow(top) && !enumerate(top, lParam))
            break;
    return TRUE;
}

BOOL EnableWindow(HWND handle, BOOL enable)
{
    auto window = OwnedWindow(handle);
    if (!window)
        return FALSE;
    const bool wasDisabled = window->style & WS_DISABLED;
    if (enable)
        window->style &= ~WS_DISABLED;
    else
        window->style |= WS_DISABLED;
    if (wasDisabled == !enable)
        return wasDisabled ? TRUE : FALSE;
    ThreadState& state = ThreadState::Current();
    if (!enable && (state.focus == handle || IsChild(handle, state.focus)))
        SetFocus(nullptr);
    if (!enable && state.capture == handle)
        ReleaseCapture();
    SendMessageW(handle, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND handle)
{
    auto window = FindWindowObject(handle);
    return window && !(window->style & WS_DISABLED) ? TRUE : FALSE;
}

int MessageBoxW(HWND, const wchar_t* text, const wchar_t* caption, UINT type)
{
    return CurrentBackend().ShowMessageBox(text ? text : L"", caption ? caption : L"", type);
}

} // namespace Platform
