#pragma once
// Saves a DC's state (objects, colours, modes, origin, clip) and restores it when the
// scope ends, whatever path leaves it.

#include "Platform/Gdi/DeviceContext.h"

namespace Platform {

class ScopedDcState {
public:
    explicit ScopedDcState(HDC dc) : dc(dc), level(SaveDC(dc)) {}
    ~ScopedDcState()
    {
        if (level > 0)
            RestoreDC(dc, level);
    }
    ScopedDcState(const ScopedDcState&) = delete;
    ScopedDcState& operator=(const ScopedDcState&) = delete;

private:
    HDC dc;
    int level;
};

} // namespace Platform
