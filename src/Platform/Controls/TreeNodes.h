#pragma once
// The items of a tree control: a forest of nodes found by handle, with the order of
// children, the expanded state and the rows that expanded parents make visible.
// Handles are never reused, so a stale handle finds nothing.

#include "Platform/Controls/TreeViewTypes.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace Platform {

struct TreeNode {
    HTREEITEM parent = nullptr; // null for a top-level item
    std::vector<HTREEITEM> children;
    std::wstring text;
    int image = 0;
    int selectedImage = 0;
    UINT state = 0;
    int childrenHint = 0; // TVITEMW::cChildren: 1 shows a button before children exist
    LPARAM param = 0;
};

struct RemovedTreeItem {
    HTREEITEM item = nullptr;
    LPARAM param = 0;
};

struct TreeRow {
    HTREEITEM item = nullptr;
    int depth = 0;
};

class TreeNodes {
public:
    // A new item under parent (TVI_ROOT or null: top level) after insertAfter (an
    // item of that parent, TVI_FIRST, TVI_LAST or TVI_SORT); null when the parent or
    // the place does not exist.
    HTREEITEM Insert(const TVINSERTSTRUCTW& insert);
    // Removes the item and everything under it (every item for TVI_ROOT or null);
    // returns the removed items with their data, children before their parent.
    std::vector<RemovedTreeItem> Delete(HTREEITEM item);

    TreeNode* Find(HTREEITEM item);
    const TreeNode* Find(HTREEITEM item) const;
    std::size_t Count() const { return nodes.size(); }
    const std::vector<HTREEITEM>& Children(HTREEITEM parent) const;
    bool HasChildren(HTREEITEM item) const;
    bool IsExpanded(HTREEITEM item) const;
    // True when item lies under ancestor (not the item itself).
    bool IsUnder(HTREEITEM item, HTREEITEM ancestor) const;

    // The rows shown: top-level items and the children of expanded items, in order.
    std::vector<TreeRow> VisibleRows() const;
    // TVGN_ROOT, TVGN_NEXT, TVGN_PREVIOUS, TVGN_PARENT and TVGN_CHILD; null when
    // there is no such item.
    HTREEITEM Related(HTREEITEM item, UINT relation) const;

    // Stable sort of parent's children by the comparison (negative: first before
    // second). False when the parent does not exist.
    bool SortChildren(HTREEITEM parent, PFNTVCOMPARE compare, LPARAM sortParam);
    // Stable sort of parent's children by text.
    bool SortChildrenByText(HTREEITEM parent);

private:
    std::vector<HTREEITEM>* SiblingsOf(HTREEITEM parent);
    void AppendRows(const std::vector<HTREEITEM>& items, int depth, std::vector<TreeRow>& rows) const;
    void CollectSubtree(HTREEITEM item, std::vector<HTREEITEM>& removed) const;

    std::unordered_map<HTREEITEM, TreeNode> nodes;
    std::vector<HTREEITEM> topLevel;
    std::uintptr_t nextHandle = 1;
};

} // namespace Platform
