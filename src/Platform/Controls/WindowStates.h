#pragma once
// The state objects of a control class's windows, one per window, found by handle.
// UI thread only.

#include "Platform/Win/WinTypes.h"

#include <memory>
#include <unordered_map>

namespace Platform {

template <typename State>
class WindowStates {
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

private:
    std::unordered_map<HWND, std::unique_ptr<State>> states;
};

} // namespace Platform
