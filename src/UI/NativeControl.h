#pragma once
// Window procedures for the controls that own a native window: the object passed at
// creation is found again through the window's user data, handles what it wants, and
// the rest goes to the base procedure (the system class it superclasses, or the
// default procedure).

#include "Platform/Win/Window.h"
#include "Platform/Win/WinConstants.h"

#include <mutex>

template <class Owner>
class NativeControl {
public:
    // Registers the class once: name, based on baseClass (null: a class of its own).
    static void RegisterClassOnce(const wchar_t* name, const wchar_t* baseClass, Platform::UINT style = 0)
    {
        static std::once_flag once;
        std::call_once(once, [=] {
            base = baseClass ? Platform::GetClassProcedure(baseClass) : &Platform::DefWindowProcW;
            Platform::WNDCLASSW windowClass;
            windowClass.style = style;
            windowClass.lpfnWndProc = &Procedure;
            windowClass.lpszClassName = name;
            Platform::RegisterClassW(&windowClass);
        });
    }

    static Platform::LRESULT CallBase(Platform::HWND window, Platform::UINT message, Platform::WPARAM wParam,
                                      Platform::LPARAM lParam)
    {
        return Platform::CallWindowProcW(base, window, message, wParam, lParam);
    }

private:
    static Platform::LRESULT Procedure(Platform::HWND window, Platform::UINT message, Platform::WPARAM wParam,
                                       Platform::LPARAM lParam)
    {
        using namespace Platform;
        if (message == WM_NCCREATE)
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        LRESULT result = 0;
        if (owner && owner->ProcessWindowMessage(window, message, wParam, lParam, result))
            return result;
        if (message == WM_NCDESTROY)
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return CallBase(window, message, wParam, lParam);
    }

    static inline Platform::WNDPROC base = &Platform::DefWindowProcW;
};
