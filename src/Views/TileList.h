#pragma once
// What the image editor and the preview need of the list they were opened from:
// the tiles by place and by id, and word when tiles leave it. The list implements it;
// the forms above the list's layer know the list only through it.

#include "Platform/Signal.h"

#include <cstdint>
#include <functional>

class ListViewItem;

class TileList {
public:
    virtual int Count() const = 0;
    // The place of the tile with the id; -1 when it is not in the list.
    virtual int IndexOf(std::int32_t id) const = 0;
    // The tile at a place within 0 .. Count() - 1.
    virtual ListViewItem* ItemAtIndex(int position) const = 0;
    virtual ListViewItem* FindById(std::int32_t id) const = 0;
    // Calls handler after tiles have left the list, until the connection ends.
    virtual Platform::Connection WatchRemovals(std::function<void()> handler) = 0;

protected:
    ~TileList() = default;
};
