#pragma once
// Saves a device context's state for a scope and restores it on every way out.

#include "Platform/Gdi/DeviceContext.h"

namespace Platform {

class SavedDcState {
public:
    explicit SavedDcState(HDC dc) : dc(dc), level(SaveDC(dc)) {}
    SavedDcState(const SavedDcState&) = delete;
    SavedDcState& operator=(const SavedDcState&) = delete;
    ~SavedDcState()
    {
        if (level > 0)
            RestoreDC(dc, level);
    }

private:
    HDC dc;
    int level;
};

} // namespace Platform
