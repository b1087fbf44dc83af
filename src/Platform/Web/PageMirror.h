#pragma once
// What the page's canvas of one window shows: a copy of the pixels sent so far. A
// dirty area is compared with it, so only the parts that really changed go out, and a
// block of rows that moved up or down (a scrolled list) goes out as a copy the page
// makes of its own pixels, followed by the rows that were uncovered.

#include "Platform/Win/WinTypes.h"

#include <cstdint>
#include <vector>

namespace Platform {
class Surface;
}

namespace Platform::Web {

// The page moves the rows [y, y + h) of the columns [x, x + w) by dy rows (negative:
// up); w or h of 0 means no copy.
struct PageCopy {
    int x = 0, y = 0, w = 0, h = 0, dy = 0;
};

struct PageUpdate {
    PageCopy copy;
    // Areas of the surface to send as pictures after the copy, top to bottom.
    std::vector<RECT> parts;

    bool Empty() const { return copy.h == 0 && parts.empty(); }
};

class PageMirror {
public:
    // At most this many pictures per update; closer ones are merged beyond it.
    static constexpr std::size_t kMaxParts = 8;

    // The page's canvas was cleared or replaced: nothing of it is known.
    void Forget();
    // What to send so that the page shows area of surface (surface coordinates) as it
    // is now; the mirror takes the new pixels as sent.
    PageUpdate Update(const Surface& surface, const RECT& area);

private:
    bool Matches(const Surface& surface, int surfaceRow, int mirrorRow, int left, int right) const;
    int FindShift(const Surface& surface, const RECT& area) const;
    void ApplyCopy(const PageCopy& copy);
    std::vector<RECT> ChangedParts(const Surface& surface, const RECT& area) const;
    void Take(const Surface& surface, const RECT& part);

    int width = 0;
    int height = 0;
    bool known = false;
    std::vector<std::uint32_t> pixels;
};

} // namespace Platform::Web
