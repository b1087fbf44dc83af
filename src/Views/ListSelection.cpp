#include "Views/ListSelection.h"

#include "Views/ListViewItem.h"

#include <algorithm>
#include <utility>

using namespace Platform;

void ListSelection::Add(ListViewItem* tile)
{
    if (std::none_of(tiles.begin(), tiles.end(), [tile](ListViewItem* t) { return t->Id() == tile->Id(); }))
        tiles.push_back(tile);
}

void ListSelection::Toggle(ListViewItem* tile)
{
    const auto found =
        std::find_if(tiles.begin(), tiles.end(), [tile](ListViewItem* t) { return t->Id() == tile->Id(); });
    if (found != tiles.end()) {
        tiles.erase(found);
        tile->Deselect();
    } else {
        Mark(tile);
    }
}

void ListSelection::ExtendTo(ListViewItem* tile, const std::vector<ListViewItem*>& items)
{
    Clear();
    const auto indexOf = [&items](std::int32_t id) {
        const auto found = std::find_if(items.begin(), items.end(), [id](ListViewItem* t) { return t->Id() == id; });
        return found == items.end() ? -1 : static_cast<int>(found - items.begin());
    };
    const int anchorIndex = indexOf(anchorId);
    if (anchorIndex < 0) {
        Mark(tile);
        anchorId = tile->Id();
        return;
    }
    const int tileIndex = indexOf(tile->Id());
    const auto [first, last] = std::minmax(anchorIndex, tileIndex);
    for (int i = first; i <= last; ++i)
        Mark(items[static_cast<std::size_t>(i)]);
}

void ListSelection::SetAll(const std::vector<ListViewItem*>& items, bool selected)
{
    tiles.clear();
    for (ListViewItem* tile : items) {
        if (selected)
            Mark(tile);
        else
            tile->Deselect();
    }
}

void ListSelection::Clear()
{
    for (ListViewItem* tile : std::exchange(tiles, {}))
        tile->Deselect();
}

void ListSelection::Forget(std::int32_t id)
{
    std::erase_if(tiles, [id](ListViewItem* tile) { return tile->Id() == id; });
    if (anchorId == id)
        anchorId = -1;
}

std::vector<ListViewItem*> ListSelection::TakeAll()
{
    anchorId = -1;
    return std::exchange(tiles, {});
}

void ListSelection::Mark(ListViewItem* tile)
{
    tile->Select(POINT{});
    tiles.push_back(tile);
}
