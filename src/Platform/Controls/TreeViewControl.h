#pragma once
// The system class "SysTreeView32", drawn by us: rows of items with icon and text,
// expand buttons and dotted lines, the selected item highlighted; arrows, Left/Right,
// Home/End and Page keys, the mouse and the wheel; both scroll bars. The parent hears
// of selection changes and expansions through WM_NOTIFY.

#include "Platform/Controls/ImageList.h"
#include "Platform/Controls/TreeNodes.h"

namespace Platform {

class TreeViewControl {
public:
    static constexpr const wchar_t* ClassName = L"SysTreeView32";
    static void Register();
    static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    explicit TreeViewControl(HWND window);

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct RowParts;

    // Items.
    HTREEITEM InsertItem(const TVINSERTSTRUCTW* insert);
    BOOL DeleteItem(HTREEITEM item);
    BOOL GetItem(TVITEMW* item) const;
    BOOL SetItem(const TVITEMW* item);
    HTREEITEM NextItem(HTREEITEM item, UINT relation) const;

    // Expansion and selection.
    BOOL Expand(HTREEITEM item, UINT action, bool byUser);
    bool Select(HTREEITEM item, UINT cause);
    LRESULT Notify(UINT code, UINT action, const TVITEMW& oldItem, const TVITEMW& newItem);
    TVITEMW Describe(HTREEITEM item) const;
    void EnsureVisible(HTREEITEM item);

    // Input.
    void OnButtonDown(POINT point, bool doubleClick);
    void OnKey(UINT key);
    void OnWheel(int delta);
    void OnScroll(int bar, WORD request);

    // Geometry.
    int ItemHeight() const;
    int VisibleCount() const;
    int RowOf(HTREEITEM item) const;
    RowParts PartsOf(HDC dc, const TreeRow& row, int rowIndex) const;
    int ContentWidth(HDC dc, const std::vector<TreeRow>& rows) const;
    UINT HitTest(POINT point, HTREEITEM* item) const;
    void UpdateScrollBars();
    void ScrollTo(int firstRow, int left);

    void Paint();
    void PaintLines(HDC dc, const TreeRow& row, const RowParts& parts);
    void PaintButton(HDC dc, const TreeRow& row, const RowParts& parts);
    void PaintRow(HDC dc, const TreeRow& row, int rowIndex);

    HWND window;
    TreeNodes nodes;
    HTREEITEM selected = nullptr;
    HIMAGELIST images = nullptr;
    HFONT font = nullptr;
    int firstRow = 0; // vertical scroll position, in rows
    int left = 0; // horizontal scroll position, in pixels
    int wheelRemainder = 0; // wheel delta not yet turned into rows
    mutable int itemHeight = 0; // 0 until measured with the current font and images
    bool updatingBars = false;
};

} // namespace Platform
