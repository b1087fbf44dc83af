#pragma once
// The state objects of a control class's windows, one per window, found by handle.
// UI thread only.

#include "Platform/Win/Window.h"

#include <memory>
#include <unordered_map>

namespace Platform {

template <typename State> class WindowStates {
public:
    State* Create(HWND window)
    {
        auto& slot = states[window];
        slot = std::make_unique<State>(window);
        return slot.get();
    }
    State* Find(HWND window) const
    {
        auto it = states.find(window);
        return it == states.end() ? nullptr : it->second.get();
    }
    void Remove(HWND window) { states.erase(window); }

    // A class procedure: the window's state is made at WM_NCCREATE, handles every
    // message and goes after WM_NCDESTROY.
    LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            Create(window);
        State* state = Find(window);
        const LRESULT result =
            state ? state->Handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
        if (message == WM_NCDESTROY)
            Remove(window);
        return result;
    }

private:
    std::unordered_map<HWND, std::unique_ptr<State>> states;
};

} // namespace Platform
