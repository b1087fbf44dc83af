#include "Platform/Controls/TreeNodes.h"

#include <algorithm>

namespace Platform {
namespace {

bool IsRoot(HTREEITEM parent)
{
    return parent == nullptr || parent == TVI_ROOT;
}

const std::vector<HTREEITEM>& NoChildren()
{
    static const std::vector<HTREEITEM> none;
    return none;
}

} // namespace

std::vector<HTREEITEM>* TreeNodes::SiblingsOf(HTREEITEM parent)
{
    if (IsRoot(parent))
        return &topLevel;
    TreeNode* node = Find(parent);
    return node ? &node->children : nullptr;
}

HTREEITEM TreeNodes::Insert(const TVINSERTSTRUCTW& insert)
{
    std::vector<HTREEITEM>* siblings = SiblingsOf(insert.hParent);
    if (!siblings)
        return nullptr;
    TreeNode node;
    node.parent = IsRoot(insert.hParent) ? nullptr : insert.hParent;
    const TVITEMW& item = insert.item;
    if (item.mask & TVIF_TEXT)
        node.text = item.pszText ? item.pszText : L"";
    if (item.mask & TVIF_IMAGE)
        node.image = item.iImage;
    if (item.mask & TVIF_SELECTEDIMAGE)
        node.selectedImage = item.iSelectedImage;
    if (item.mask & TVIF_STATE)
        node.state = item.state & item.stateMask & ~(TVIS_SELECTED | TVIS_EXPANDED);
    if (item.mask & TVIF_CHILDREN)
        node.childrenHint = item.cChildren;
    if (item.mask & TVIF_PARAM)
        node.param = item.lParam;

    auto place = siblings->end();
    if (insert.hInsertAfter == TVI_FIRST) {
        place = siblings->begin();
    } else if (insert.hInsertAfter == TVI_SORT) {
        place =
            std::upper_bound(siblings->begin(), siblings->end(), node.text,
                             [this](const std::wstring& text, HTREEITEM other) { return text < Find(other)->text; });
    } else if (insert.hInsertAfter != TVI_LAST && insert.hInsertAfter != nullptr) {
        auto after = std::find(siblings->begin(), siblings->end(), insert.hInsertAfter);
        if (after == siblings->end())
            return nullptr;
        place = after + 1;
    }
    const HTREEITEM handle = reinterpret_cast<HTREEITEM>(nextHandle++);
    siblings->insert(place, handle);
    nodes.emplace(handle, std::move(node));
    return handle;
}

void TreeNodes::CollectSubtree(HTREEITEM item, std::vector<HTREEITEM>& removed) const
{
    for (HTREEITEM child : Children(item))
        CollectSubtree(child, removed);
    removed.push_back(item);
}

std::vector<RemovedTreeItem> TreeNodes::Delete(HTREEITEM item)
{
    std::vector<HTREEITEM> removed;
    if (IsRoot(item)) {
        for (HTREEITEM top : topLevel)
            CollectSubtree(top, removed);
        topLevel.clear();
    } else {
        const TreeNode* node = Find(item);
        if (!node)
            return {};
        std::vector<HTREEITEM>* siblings = SiblingsOf(node->parent);
        siblings->erase(std::find(siblings->begin(), siblings->end(), item));
        CollectSubtree(item, removed);
    }
    std::vector<RemovedTreeItem> result;
    for (HTREEITEM gone : removed) {
        result.push_back(RemovedTreeItem{gone, Find(gone)->param});
        nodes.erase(gone);
    }
    return result;
}

TreeNode* TreeNodes::Find(HTREEITEM item)
{
    auto it = nodes.find(item);
    return it == nodes.end() ? nullptr : &it->second;
}

const TreeNode* TreeNodes::Find(HTREEITEM item) const
{
    auto it = nodes.find(item);
    return it == nodes.end() ? nullptr : &it->second;
}

const std::vector<HTREEITEM>& TreeNodes::Children(HTREEITEM parent) const
{
    if (IsRoot(parent))
        return topLevel;
    const TreeNode* node = Find(parent);
    return node ? node->children : NoChildren();
}

bool TreeNodes::HasChildren(HTREEITEM item) const
{
    const TreeNode* node = Find(item);
    return node && (!node->children.empty() || node->childrenHint == 1);
}

bool TreeNodes::IsExpanded(HTREEITEM item) const
{
    const TreeNode* node = Find(item);
    return node && (node->state & TVIS_EXPANDED);
}

bool TreeNodes::IsUnder(HTREEITEM item, HTREEITEM ancestor) const
{
    for (const TreeNode* node = Find(item); node && node->parent; node = Find(node->parent))
        if (node->parent == ancestor)
            return true;
    return false;
}

void TreeNodes::AppendRows(const std::vector<HTREEITEM>& items, int depth, std::vector<TreeRow>& rows) const
{
    for (HTREEITEM item : items) {
        rows.push_back(TreeRow{item, depth});
        const TreeNode* node = Find(item);
        if (node->state & TVIS_EXPANDED)
            AppendRows(node->children, depth + 1, rows);
    }
}

std::vector<TreeRow> TreeNodes::VisibleRows() const
{
    std::vector<TreeRow> rows;
    AppendRows(topLevel, 0, rows);
    return rows;
}

HTREEITEM TreeNodes::Related(HTREEITEM item, UINT relation) const
{
    if (relation == TVGN_ROOT)
        return topLevel.empty() ? nullptr : topLevel.front();
    if (relation == TVGN_CHILD) {
        const std::vector<HTREEITEM>& children = Children(item);
        return children.empty() ? nullptr : children.front();
    }
    const TreeNode* node = Find(item);
    if (!node)
        return nullptr;
    if (relation == TVGN_PARENT)
        return node->parent;
    const std::vector<HTREEITEM>& siblings = Children(node->parent);
    auto at = std::find(siblings.begin(), siblings.end(), item);
    if (relation == TVGN_NEXT)
        return at + 1 == siblings.end() ? nullptr : *(at + 1);
    if (relation == TVGN_PREVIOUS)
        return at == siblings.begin() ? nullptr : *(at - 1);
    return nullptr;
}

bool TreeNodes::SortChildren(HTREEITEM parent, PFNTVCOMPARE compare, LPARAM sortParam)
{
    std::vector<HTREEITEM>* siblings = SiblingsOf(parent);
    if (!siblings || !compare)
        return false;
    std::stable_sort(siblings->begin(), siblings->end(),
                     [&](HTREEITEM a, HTREEITEM b) { return compare(Find(a)->param, Find(b)->param, sortParam) < 0; });
    return true;
}

bool TreeNodes::SortChildrenByText(HTREEITEM parent)
{
    std::vector<HTREEITEM>* siblings = SiblingsOf(parent);
    if (!siblings)
        return false;
    std::stable_sort(siblings->begin(), siblings->end(),
                     [&](HTREEITEM a, HTREEITEM b) { return Find(a)->text < Find(b)->text; });
    return true;
}

} // namespace Platform
