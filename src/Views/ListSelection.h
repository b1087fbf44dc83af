#pragma once
// The list's selected tiles, in the order they were selected, and the anchor that a
// Shift+click extends a range from. It marks the tiles it selects and deselects; the
// tiles are the list's, and the list tells it of every tile that leaves.

#include <cstdint>
#include <vector>

class ListViewItem;

class ListSelection {
public:
    const std::vector<ListViewItem*>& Tiles() const { return tiles; }
    std::int32_t Anchor() const { return anchorId; }
    void SetAnchor(std::int32_t id) { anchorId = id; }

    // Appends the tile unless it is there already; the tile marks itself.
    void Add(ListViewItem* tile);
    // Deselects the tile when it is selected, and selects it otherwise.
    void Toggle(ListViewItem* tile);
    // Selects the tiles from the anchor to the tile in list order, in place of what was
    // selected. Without an anchor in the list the tile alone is selected and becomes
    // the anchor, so nothing is drawn selected that the selection does not hold.
    void ExtendTo(ListViewItem* tile, const std::vector<ListViewItem*>& items);
    // Selects every tile of items, or deselects them all.
    void SetAll(const std::vector<ListViewItem*>& items, bool selected);
    // Deselects what is selected; the anchor stays.
    void Clear();
    // The tile with the id is going: it leaves the selection, and the anchor when it
    // was that.
    void Forget(std::int32_t id);
    // Every selected tile is going: the selection is empty and has no anchor.
    std::vector<ListViewItem*> TakeAll();

private:
    void Mark(ListViewItem* tile);

    std::vector<ListViewItem*> tiles;
    std::int32_t anchorId = -1;
};
