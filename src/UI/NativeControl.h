#pragma once
// Window procedures for the controls that own a native window: the object passed at
// creation is found again through the window's user data, handles what it wants, and
// the rest goes to the base procedure (the system class it superclasses, or the
// default procedure). The controls that wrap a system box also share its life cycle
// here: the UI font made with the control, the window created with that font, and
// both released together.

#include "Platform/Gdi/GdiObjects.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WinConstants.h"
#include "UI/UiFontSet.h"

#include <mutex>

template <class Owner> class NativeControl {
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

    Platform::HFONT font = UiFontSet::CreateUiFont();

protected:
    enum class Redraw { No, Yes };

    // Creates the owner's window of the registered class and gives it font.
    Platform::HWND CreateWithFont(const wchar_t* className, std::uint32_t style, int x, int y, int width, int height,
                                  Platform::HWND parentWindow, Redraw redraw)
    {
        using namespace Platform;
        HWND window = CreateWindowExW(0, className, L"", style, x, y, width, height, parentWindow, nullptr, nullptr,
                                      static_cast<Owner*>(this));
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw == Redraw::Yes);
        return window;
    }

    // Destroys the window while the owner still handles its last messages (call it
    // from the owner's destructor, not later), then deletes the font; both are cleared.
    void DestroyWithFont(Platform::HWND& window)
    {
        if (Platform::IsWindow(window))
            Platform::DestroyWindow(window);
        window = nullptr;
        if (font)
            Platform::DeleteObject(font);
        font = nullptr;
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
