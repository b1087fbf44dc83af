#include "Platform/Web/PageMirror.h"

#include "Platform/Win/Region.h"
#include "Platform/Win/Surface.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace Platform::Web {
namespace {

// Larger windows are not mirrored: each change goes out as it is.
constexpr std::int64_t kMaxMirroredPixels = std::int64_t(1) << 24;
// Areas smaller than this on either side are not searched for moved rows.
constexpr int kMinShiftSide = 32;
// Rows that must agree on one shift before it is checked.
constexpr int kMinShiftVotes = 4;
// Changed rows this close together go out as one picture.
constexpr int kJoinGap = 4;

const std::uint32_t* SurfaceRow(const Surface& surface, int y)
{
    return reinterpret_cast<const std::uint32_t*>(surface.Data() + static_cast<std::size_t>(y) * surface.Stride());
}

std::uint64_t HashRow(const std::uint32_t* row, int count)
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (int i = 0; i < count; ++i)
        hash = (hash ^ row[i]) * 0x100000001b3ull;
    return hash;
}

std::int64_t Area(const RECT& rect)
{
    return std::int64_t(rect.right - rect.left) * (rect.bottom - rect.top);
}

// Joins the two neighbours whose union adds the fewest pixels until few enough are left.
void LimitParts(std::vector<RECT>& parts)
{
    while (parts.size() > PageMirror::kMaxParts) {
        std::size_t best = 0;
        std::int64_t bestCost = 0;
        for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
            const std::int64_t cost = Area(UnionRects(parts[i], parts[i + 1])) - Area(parts[i]) - Area(parts[i + 1]);
            if (i == 0 || cost < bestCost) {
                best = i;
                bestCost = cost;
            }
        }
        parts[best] = UnionRects(parts[best], parts[best + 1]);
        parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(best) + 1);
    }
}

} // namespace

void PageMirror::Forget()
{
    known = false;
}

PageUpdate PageMirror::Update(const Surface& surface, const RECT& dirty)
{
    if (surface.Width() != width || surface.Height() != height) {
        width = surface.Width();
        height = surface.Height();
        known = false;
        pixels.clear();
        if (std::int64_t(width) * height <= kMaxMirroredPixels)
            pixels.assign(static_cast<std::size_t>(width) * height, 0);
    }
    const RECT bounds{0, 0, width, height};
    const RECT area = IntersectRects(dirty, bounds);
    PageUpdate update;
    if (IsRectEmpty(area))
        return update;
    surface.Flush();
    if (!known || pixels.empty()) {
        update.parts.push_back(area);
        if (!pixels.empty()) {
            Take(surface, area);
            known = Area(area) == Area(bounds);
        }
        return update;
    }
    if (const int dy = FindShift(surface, area)) {
        const int rows = area.bottom - area.top;
        update.copy = PageCopy{area.left, area.top + std::max(0, -dy), area.right - area.left, rows - std::abs(dy), dy};
        ApplyCopy(update.copy);
    }
    update.parts = ChangedParts(surface, area);
    for (const RECT& part : update.parts)
        Take(surface, part);
    return update;
}

bool PageMirror::Matches(const Surface& surface, int surfaceRow, int mirrorRow, int left, int right) const
{
    return std::memcmp(SurfaceRow(surface, surfaceRow) + left,
                       &pixels[static_cast<std::size_t>(mirrorRow) * width + left],
                       static_cast<std::size_t>(right - left) * 4) == 0;
}

// The shift by which most of the area's rows moved since they were sent, or 0. Rows
// whose content occurs once in the area, now and before, vote for where they went;
// the winning shift counts when more rows match under it than stayed where they were.
int PageMirror::FindShift(const Surface& surface, const RECT& area) const
{
    const int rows = area.bottom - area.top;
    const int columns = area.right - area.left;
    if (rows < kMinShiftSide || columns < kMinShiftSide)
        return 0;
    std::vector<std::uint64_t> now(rows), before(rows);
    std::unordered_map<std::uint64_t, int> seenNow, seenBefore, placeBefore;
    for (int i = 0; i < rows; ++i) {
        now[i] = HashRow(SurfaceRow(surface, area.top + i) + area.left, columns);
        before[i] = HashRow(&pixels[static_cast<std::size_t>(area.top + i) * width + area.left], columns);
        ++seenNow[now[i]];
        ++seenBefore[before[i]];
        placeBefore[before[i]] = i;
    }
    std::unordered_map<int, int> votes;
    for (int i = 0; i < rows; ++i) {
        if (seenNow[now[i]] != 1 || seenBefore.count(now[i]) == 0 || seenBefore[now[i]] != 1)
            continue;
        if (const int shift = i - placeBefore[now[i]])
            ++votes[shift];
    }
    int shift = 0, best = kMinShiftVotes - 1;
    for (const auto& [candidate, count] : votes)
        if (count > best || (count == best && shift != 0 && std::abs(candidate) < std::abs(shift))) {
            shift = candidate;
            best = count;
        }
    if (shift == 0)
        return 0;
    int moved = 0, stayed = 0;
    for (int i = 0; i < rows; ++i) {
        if (now[i] == before[i] && Matches(surface, area.top + i, area.top + i, area.left, area.right))
            ++stayed;
        const int from = i - shift;
        if (from >= 0 && from < rows && now[i] == before[from] &&
            Matches(surface, area.top + i, area.top + from, area.left, area.right))
            ++moved;
    }
    return moved > stayed + rows / 4 ? shift : 0;
}

void PageMirror::ApplyCopy(const PageCopy& copy)
{
    auto move = [&](int row) {
        std::memmove(&pixels[static_cast<std::size_t>(row + copy.dy) * width + copy.x],
                     &pixels[static_cast<std::size_t>(row) * width + copy.x], static_cast<std::size_t>(copy.w) * 4);
    };
    // Rows are moved so that none is overwritten before it is read.
    if (copy.dy > 0)
        for (int row = copy.y + copy.h - 1; row >= copy.y; --row)
            move(row);
    else
        for (int row = copy.y; row < copy.y + copy.h; ++row)
            move(row);
}

// Bands of changed rows, each as narrow as its changed columns.
std::vector<RECT> PageMirror::ChangedParts(const Surface& surface, const RECT& area) const
{
    std::vector<RECT> parts;
    for (int y = area.top; y < area.bottom; ++y) {
        if (Matches(surface, y, y, area.left, area.right))
            continue;
        const std::uint32_t* now = SurfaceRow(surface, y);
        const std::uint32_t* before = &pixels[static_cast<std::size_t>(y) * width];
        int left = area.left, right = area.right;
        while (now[left] == before[left])
            ++left;
        while (now[right - 1] == before[right - 1])
            --right;
        if (!parts.empty() && y - parts.back().bottom <= kJoinGap) {
            RECT& band = parts.back();
            band = RECT{std::min<LONG>(band.left, left), band.top, std::max<LONG>(band.right, right), y + 1};
        } else {
            parts.push_back(RECT{left, y, right, y + 1});
        }
    }
    LimitParts(parts);
    return parts;
}

void PageMirror::Take(const Surface& surface, const RECT& part)
{
    for (int y = part.top; y < part.bottom; ++y)
        std::memcpy(&pixels[static_cast<std::size_t>(y) * width + part.left], SurfaceRow(surface, y) + part.left,
                    static_cast<std::size_t>(part.right - part.left) * 4);
}

} // namespace Platform::Web
