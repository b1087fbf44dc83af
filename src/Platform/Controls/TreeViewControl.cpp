#include "Platform/Controls/TreeViewControl.h"

#include "Platform/Controls/ControlMessages.h"
#include "Platform/Controls/WindowStates.h"
#include "Platform/Gdi/Gdi.h"
#include "Platform/Gdi/ScopedDcState.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/ScrollBar.h"
#include "Platform/Win/Window.h"

#include <algorithm>
#include <cstring>

namespace Platform {
namespace {

constexpr int kIndent = 19;
constexpr int kButtonHalf = 4; // the expand button is 9 x 9 around its centre
constexpr int kTextPadding = 2;
constexpr int kWheelRows = 3;
constexpr COLORREF kLineColor = 0xA0A0A0;
constexpr COLORREF kButtonBorder = 0x919191;
constexpr COLORREF kButtonSign = 0x404040;
constexpr COLORREF kFocusedSelection = 0xD77800; // RGB(0, 120, 215)
constexpr COLORREF kUnfocusedSelection = 0xD9D9D9;

WindowStates<TreeViewControl>& States()
{
    static WindowStates<TreeViewControl> states;
    return states;
}

// Every other pixel of a vertical or horizontal line, starting on an even sum of
// coordinates so that lines of neighbouring rows join into one dotted line.
void DottedLine(HDC dc, int x0, int y0, int x1, int y1)
{
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y)
            if (((x + y) & 1) == 0)
                SetPixel(dc, x, y, kLineColor);
}

} // namespace

// Where the parts of one row lie, in client coordinates.
struct TreeViewControl::RowParts {
    int top = 0;
    int bottom = 0;
    int buttonX = -1; // centre of the button column; -1 when the row has none
    int iconLeft = 0;
    int iconWidth = 0;
    RECT label;
};

void TreeViewControl::Register()
{
    WNDCLASSW windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &Procedure;
    windowClass.lpszClassName = ClassName;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&windowClass);
}

LRESULT TreeViewControl::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return States().Dispatch(window, message, wParam, lParam);
}

TreeViewControl::TreeViewControl(HWND window)
    : window(window), font(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)))
{
}

LRESULT TreeViewControl::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto item = reinterpret_cast<HTREEITEM>(lParam);
    switch (message) {
    case TVM_INSERTITEMW:
        return reinterpret_cast<LRESULT>(InsertItem(reinterpret_cast<const TVINSERTSTRUCTW*>(lParam)));
    case TVM_DELETEITEM:
        return DeleteItem(item);
    case TVM_EXPAND:
        return Expand(item, static_cast<UINT>(wParam), false);
    case TVM_GETITEMW:
        return GetItem(reinterpret_cast<TVITEMW*>(lParam));
    case TVM_SETITEMW:
        return SetItem(reinterpret_cast<const TVITEMW*>(lParam));
    case TVM_GETNEXTITEM:
        return reinterpret_cast<LRESULT>(NextItem(item, static_cast<UINT>(wParam)));
    case TVM_SELECTITEM:
        if (wParam == TVGN_CARET)
            return Select(item, TVC_UNKNOWN) ? TRUE : FALSE;
        if (wParam == TVGN_FIRSTVISIBLE && RowOf(item) >= 0) {
            ScrollTo(RowOf(item), left);
            return TRUE;
        }
        return FALSE;
    case TVM_GETCOUNT:
        return static_cast<LRESULT>(nodes.Count());
    case TVM_GETINDENT:
        return kIndent;
    case TVM_GETITEMHEIGHT:
        return ItemHeight();
    case TVM_GETVISIBLECOUNT:
        return VisibleCount();
    case TVM_SETIMAGELIST: {
        if (wParam != TVSIL_NORMAL)
            return 0;
        const HIMAGELIST previous = images;
        images = reinterpret_cast<HIMAGELIST>(lParam);
        itemHeight = 0;
        UpdateScrollBars();
        InvalidateRect(window, nullptr, TRUE);
        return reinterpret_cast<LRESULT>(previous);
    }
    case TVM_GETIMAGELIST:
        return wParam == TVSIL_NORMAL ? reinterpret_cast<LRESULT>(images) : 0;
    case TVM_SORTCHILDRENCB: {
        const auto* sort = reinterpret_cast<const TVSORTCB*>(lParam);
        if (!sort || !nodes.SortChildren(sort->hParent, sort->lpfnCompare, sort->lParam))
            return FALSE;
        InvalidateRect(window, nullptr, TRUE);
        return TRUE;
    }
    case TVM_SORTCHILDREN:
        if (!nodes.SortChildrenByText(item))
            return FALSE;
        InvalidateRect(window, nullptr, TRUE);
        return TRUE;
    case TVM_ENSUREVISIBLE:
        if (!nodes.Find(item))
            return FALSE;
        EnsureVisible(item);
        return TRUE;
    case TVM_GETITEMRECT: {
        auto* rect = reinterpret_cast<RECT*>(lParam);
        if (!rect)
            return FALSE;
        HTREEITEM wanted;
        std::memcpy(&wanted, rect, sizeof wanted);
        const int row = RowOf(wanted);
        if (row < 0)
            return FALSE;
        HDC dc = GetDC(window);
        const RowParts parts = PartsOf(dc, nodes.VisibleRows()[static_cast<std::size_t>(row)], row);
        ReleaseDC(window, dc);
        RECT client;
        GetClientRect(window, &client);
        *rect = wParam ? parts.label : RECT{0, parts.top, client.right, parts.bottom};
        return TRUE;
    }
    case TVM_HITTEST: {
        auto* info = reinterpret_cast<TVHITTESTINFO*>(lParam);
        if (!info)
            return 0;
        info->flags = HitTest(info->pt, &info->hItem);
        return reinterpret_cast<LRESULT>(info->hItem);
    }
    case WM_SETFONT:
    case WM_GETFONT: {
        const LRESULT result = FontMessage(window, message, wParam, lParam, font);
        if (message == WM_SETFONT) {
            itemHeight = 0;
            UpdateScrollBars();
        }
        return result;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, message == WM_LBUTTONDBLCLK);
        return 0;
    case WM_KEYDOWN:
        OnKey(static_cast<UINT>(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        OnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case WM_VSCROLL:
    case WM_HSCROLL:
        OnScroll(message == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam));
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_SIZE:
        UpdateScrollBars();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint();
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

HTREEITEM TreeViewControl::InsertItem(const TVINSERTSTRUCTW* insert)
{
    if (!insert)
        return nullptr;
    const HTREEITEM item = nodes.Insert(*insert);
    if (item) {
        UpdateScrollBars();
        InvalidateRect(window, nullptr, TRUE);
    }
    return item;
}

BOOL TreeViewControl::DeleteItem(HTREEITEM item)
{
    const bool everything = item == nullptr || item == TVI_ROOT;
    if (!everything && !nodes.Find(item))
        return FALSE;
    // The selection moves off a deleted item first: to its next or previous sibling,
    // else to its parent.
    if (selected && (everything || selected == item || nodes.IsUnder(selected, item))) {
        HTREEITEM replacement = nullptr;
        if (!everything) {
            replacement = nodes.Related(item, TVGN_NEXT);
            if (!replacement)
                replacement = nodes.Related(item, TVGN_PREVIOUS);
            if (!replacement)
                replacement = nodes.Related(item, TVGN_PARENT);
        }
        const TVITEMW old = Describe(selected);
        selected = replacement;
        if (replacement)
            nodes.Find(replacement)->state |= TVIS_SELECTED;
        Notify(TVN_SELCHANGEDW, TVC_UNKNOWN, old, Describe(replacement));
    }
    for (const RemovedTreeItem& gone : nodes.Delete(item)) {
        TVITEMW old;
        old.mask = TVIF_HANDLE | TVIF_PARAM;
        old.hItem = gone.item;
        old.lParam = gone.param;
        Notify(TVN_DELETEITEMW, 0, old, TVITEMW{});
    }
    UpdateScrollBars();
    InvalidateRect(window, nullptr, TRUE);
    return TRUE;
}

BOOL TreeViewControl::GetItem(TVITEMW* item) const
{
    const TreeNode* node = item ? nodes.Find(item->hItem) : nullptr;
    if (!node)
        return FALSE;
    if ((item->mask & TVIF_TEXT) && item->pszText && item->cchTextMax > 0) {
        const std::size_t count = std::min(node->text.size(), static_cast<std::size_t>(item->cchTextMax - 1));
        std::copy_n(node->text.begin(), count, item->pszText);
        item->pszText[count] = L'\0';
    }
    if (item->mask & TVIF_IMAGE)
        item->iImage = node->image;
    if (item->mask & TVIF_SELECTEDIMAGE)
        item->iSelectedImage = node->selectedImage;
    if (item->mask & TVIF_STATE)
        item->state = node->state & item->stateMask;
    if (item->mask & TVIF_CHILDREN)
        item->cChildren = node->children.empty() ? node->childrenHint : 1;
    if (item->mask & TVIF_PARAM)
        item->lParam = node->param;
    return TRUE;
}

BOOL TreeViewControl::SetItem(const TVITEMW* item)
{
    TreeNode* node = item ? nodes.Find(item->hItem) : nullptr;
    if (!node)
        return FALSE;
    if (item->mask & TVIF_TEXT)
        node->text = item->pszText ? item->pszText : L"";
    if (item->mask & TVIF_IMAGE)
        node->image = item->iImage;
    if (item->mask & TVIF_SELECTEDIMAGE)
        node->selectedImage = item->iSelectedImage;
    if (item->mask & TVIF_CHILDREN)
        node->childrenHint = item->cChildren;
    if (item->mask & TVIF_PARAM)
        node->param = item->lParam;
    // Selection and expansion change through their own messages, which notify.
    if (item->mask & TVIF_STATE) {
        const UINT settable = item->stateMask & ~(TVIS_SELECTED | TVIS_EXPANDED);
        node->state = (node->state & ~settable) | (item->state & settable);
    }
    UpdateScrollBars();
    InvalidateRect(window, nullptr, TRUE);
    return TRUE;
}

HTREEITEM TreeViewControl::NextItem(HTREEITEM item, UINT relation) const
{
    if (relation == TVGN_CARET)
        return selected;
    const std::vector<TreeRow> rows = nodes.VisibleRows();
    if (relation == TVGN_FIRSTVISIBLE)
        return firstRow < static_cast<int>(rows.size()) ? rows[static_cast<std::size_t>(firstRow)].item : nullptr;
    if (relation == TVGN_LASTVISIBLE)
        return rows.empty() ? nullptr : rows.back().item;
    if (relation == TVGN_NEXTVISIBLE || relation == TVGN_PREVIOUSVISIBLE) {
        const int row = RowOf(item);
        const int wanted = relation == TVGN_NEXTVISIBLE ? row + 1 : row - 1;
        if (row < 0 || wanted < 0 || wanted >= static_cast<int>(rows.size()))
            return nullptr;
        return rows[static_cast<std::size_t>(wanted)].item;
    }
    return nodes.Related(item, relation);
}

TVITEMW TreeViewControl::Describe(HTREEITEM item) const
{
    TVITEMW described;
    const TreeNode* node = nodes.Find(item);
    if (!node)
        return described;
    described.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
    described.hItem = item;
    described.state = node->state;
    described.stateMask = ~0u;
    described.lParam = node->param;
    return described;
}

LRESULT TreeViewControl::Notify(UINT code, UINT action, const TVITEMW& oldItem, const TVITEMW& newItem)
{
    const HWND parent = GetParent(window);
    if (!parent)
        return 0;
    NMTREEVIEWW notice;
    notice.hdr.hwndFrom = window;
    notice.hdr.idFrom = static_cast<UINT_PTR>(GetWindowLongPtrW(window, GWLP_ID));
    notice.hdr.code = code;
    notice.action = action;
    notice.itemOld = oldItem;
    notice.itemNew = newItem;
    return SendMessageW(parent, WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
}

// Expanding asks the parent first (TVN_ITEMEXPANDINGW; a non-zero answer refuses).
// A message expands with notifications only the first time, as the system class does;
// the user's clicks and keys notify every time.
BOOL TreeViewControl::Expand(HTREEITEM item, UINT action, bool byUser)
{
    TreeNode* node = nodes.Find(item);
    if (!node)
        return FALSE;
    const bool expanded = node->state & TVIS_EXPANDED;
    bool expand;
    if ((action & TVE_TOGGLE) == TVE_TOGGLE)
        expand = !expanded;
    else if (action & TVE_EXPAND)
        expand = true;
    else if (action & TVE_COLLAPSE)
        expand = false;
    else
        return FALSE;
    if (expand == expanded)
        return TRUE;
    if (expand && !nodes.HasChildren(item))
        return FALSE;
    const bool notify = byUser || !(node->state & TVIS_EXPANDEDONCE);
    const UINT notifiedAction = expand ? TVE_EXPAND : TVE_COLLAPSE;
    if (notify && Notify(TVN_ITEMEXPANDINGW, notifiedAction, TVITEMW{}, Describe(item)))
        return FALSE;
    // The parent may have changed the tree while it was asked.
    node = nodes.Find(item);
    if (!node)
        return FALSE;
    if (expand && node->children.empty()) {
        node->childrenHint = 0;
        InvalidateRect(window, nullptr, TRUE);
        return FALSE;
    }
    if (expand)
        node->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    else
        node->state &= ~TVIS_EXPANDED;
    // A collapsed item takes the selection from the items it hides.
    if (!expand && selected && nodes.IsUnder(selected, item))
        Select(item, TVC_UNKNOWN);
    if (notify)
        Notify(TVN_ITEMEXPANDEDW, notifiedAction, TVITEMW{}, Describe(item));
    UpdateScrollBars();
    InvalidateRect(window, nullptr, TRUE);
    return TRUE;
}

// Makes item the selection (null: none), asking the parent first
// (TVN_SELCHANGINGW; a non-zero answer refuses). The item's parents are expanded
// so that it can be seen.
bool TreeViewControl::Select(HTREEITEM item, UINT cause)
{
    if (item && !nodes.Find(item))
        return false;
    if (item == selected) {
        if (item)
            EnsureVisible(item);
        return true;
    }
    if (Notify(TVN_SELCHANGINGW, cause, Describe(selected), Describe(item)))
        return false;
    const TVITEMW old = Describe(selected);
    if (TreeNode* previous = nodes.Find(selected))
        previous->state &= ~TVIS_SELECTED;
    selected = nodes.Find(item) ? item : nullptr;
    if (selected) {
        nodes.Find(selected)->state |= TVIS_SELECTED;
        EnsureVisible(selected);
    }
    InvalidateRect(window, nullptr, FALSE);
    Notify(TVN_SELCHANGEDW, cause, old, Describe(selected));
    return true;
}

void TreeViewControl::EnsureVisible(HTREEITEM item)
{
    for (HTREEITEM parent = nodes.Related(item, TVGN_PARENT); parent; parent = nodes.Related(parent, TVGN_PARENT))
        if (!nodes.IsExpanded(parent))
            Expand(parent, TVE_EXPAND, false);
    const int row = RowOf(item);
    if (row < 0)
        return;
    const int visible = std::max(VisibleCount(), 1);
    if (row < firstRow)
        ScrollTo(row, left);
    else if (row >= firstRow + visible)
        ScrollTo(row - visible + 1, left);
}

void TreeViewControl::OnButtonDown(POINT point, bool doubleClick)
{
    if (GetFocus() != window)
        SetFocus(window);
    HTREEITEM item = nullptr;
    const UINT hit = HitTest(point, &item);
    if (hit & TVHT_ONITEMBUTTON) {
        Expand(item, TVE_TOGGLE, true);
    } else if (hit & TVHT_ONITEM) {
        Select(item, TVC_BYMOUSE);
        if (doubleClick)
            Expand(item, TVE_TOGGLE, true);
    }
}

void TreeViewControl::OnKey(UINT key)
{
    const std::vector<TreeRow> rows = nodes.VisibleRows();
    if (rows.empty())
        return;
    const int last = static_cast<int>(rows.size()) - 1;
    const int row = std::max(RowOf(selected), 0);
    auto selectRow = [&](int index) {
        Select(rows[static_cast<std::size_t>(std::clamp(index, 0, last))].item, TVC_BYKEYBOARD);
    };
    const int page = std::max(VisibleCount() - 1, 1);
    switch (key) {
    case VK_UP:
        selectRow(selected ? row - 1 : 0);
        break;
    case VK_DOWN:
        selectRow(selected ? row + 1 : 0);
        break;
    case VK_PRIOR:
        selectRow(row - page);
        break;
    case VK_NEXT:
        selectRow(row + page);
        break;
    case VK_HOME:
        selectRow(0);
        break;
    case VK_END:
        selectRow(last);
        break;
    case VK_LEFT:
        if (!selected)
            selectRow(0);
        else if (nodes.IsExpanded(selected))
            Expand(selected, TVE_COLLAPSE, true);
        else if (HTREEITEM parent = nodes.Related(selected, TVGN_PARENT))
            Select(parent, TVC_BYKEYBOARD);
        break;
    case VK_RIGHT:
        if (!selected)
            selectRow(0);
        else if (!nodes.IsExpanded(selected))
            Expand(selected, TVE_EXPAND, true);
        else if (HTREEITEM child = nodes.Related(selected, TVGN_CHILD))
            Select(child, TVC_BYKEYBOARD);
        break;
    default:
        break;
    }
}

void TreeViewControl::OnWheel(int delta)
{
    wheelRemainder += delta;
    const int notches = wheelRemainder / WHEEL_DELTA;
    wheelRemainder -= notches * WHEEL_DELTA;
    if (notches)
        ScrollTo(firstRow - notches * kWheelRows, left);
}

void TreeViewControl::OnScroll(int bar, WORD request)
{
    SCROLLINFO info;
    info.fMask = SIF_ALL;
    GetScrollInfo(window, bar, &info);
    const int line = bar == SB_VERT ? 1 : kIndent;
    const int page = std::max(static_cast<int>(info.nPage), 1);
    int position = info.nPos;
    switch (request) {
    case SB_LINEUP:
        position -= line;
        break;
    case SB_LINEDOWN:
        position += line;
        break;
    case SB_PAGEUP:
        position -= page;
        break;
    case SB_PAGEDOWN:
        position += page;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        position = info.nTrackPos;
        break;
    case SB_TOP:
        position = info.nMin;
        break;
    case SB_BOTTOM:
        position = info.nMax;
        break;
    default:
        return;
    }
    if (bar == SB_VERT)
        ScrollTo(position, left);
    else
        ScrollTo(firstRow, position);
}

// Rows are as high as the font's line or the icons, whichever is higher.
int TreeViewControl::ItemHeight() const
{
    if (itemHeight > 0)
        return itemHeight;
    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    int iconWidth = 0, iconHeight = 0;
    ImageList_GetIconSize(images, &iconWidth, &iconHeight);
    itemHeight = std::max({metrics.tmHeight + 4, iconHeight + 2, 16});
    return itemHeight;
}

// Rows that fit whole in the client area.
int TreeViewControl::VisibleCount() const
{
    RECT client;
    GetClientRect(window, &client);
    return std::max(client.bottom - client.top, 0) / ItemHeight();
}

int TreeViewControl::RowOf(HTREEITEM item) const
{
    if (!item)
        return -1;
    const std::vector<TreeRow> rows = nodes.VisibleRows();
    auto at = std::find_if(rows.begin(), rows.end(), [&](const TreeRow& row) { return row.item == item; });
    return at == rows.end() ? -1 : static_cast<int>(at - rows.begin());
}

TreeViewControl::RowParts TreeViewControl::PartsOf(HDC dc, const TreeRow& row, int rowIndex) const
{
    RowParts parts;
    const int height = ItemHeight();
    parts.top = (rowIndex - firstRow) * height;
    parts.bottom = parts.top + height;
    // Top-level items have a button column only with TVS_LINESATROOT.
    const int level = row.depth + ((GetWindowStyle(window) & TVS_LINESATROOT) ? 1 : 0);
    if (level > 0)
        parts.buttonX = (level - 1) * kIndent + kIndent / 2 - left;
    parts.iconLeft = level * kIndent + 2 - left;
    int iconHeight = 0;
    if (!ImageList_GetIconSize(images, &parts.iconWidth, &iconHeight))
        parts.iconWidth = 0;
    const int textLeft = parts.iconLeft + parts.iconWidth + (parts.iconWidth ? 2 : 0);
    const std::wstring& text = nodes.Find(row.item)->text;
    SIZE extent;
    HGDIOBJ previous = SelectObject(dc, font);
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, previous);
    parts.label = RECT{textLeft, parts.top, textLeft + extent.cx + 2 * kTextPadding, parts.bottom};
    return parts;
}

int TreeViewControl::ContentWidth(HDC dc, const std::vector<TreeRow>& rows) const
{
    int width = 0;
    for (std::size_t i = 0; i < rows.size(); ++i)
        width = std::max(width, PartsOf(dc, rows[i], static_cast<int>(i)).label.right + left);
    return width;
}

UINT TreeViewControl::HitTest(POINT point, HTREEITEM* item) const
{
    *item = nullptr;
    RECT client;
    GetClientRect(window, &client);
    if (point.x < client.left || point.y < client.top || point.x >= client.right || point.y >= client.bottom)
        return TVHT_NOWHERE;
    const std::vector<TreeRow> rows = nodes.VisibleRows();
    const int index = firstRow + point.y / ItemHeight();
    if (index >= static_cast<int>(rows.size()))
        return TVHT_NOWHERE;
    const TreeRow& row = rows[static_cast<std::size_t>(index)];
    *item = row.item;
    HDC dc = GetDC(window);
    const RowParts parts = PartsOf(dc, row, index);
    ReleaseDC(window, dc);
    const bool buttons = GetWindowStyle(window) & TVS_HASBUTTONS;
    if (buttons && parts.buttonX >= 0 && nodes.HasChildren(row.item) &&
        std::abs(point.x - parts.buttonX) <= kButtonHalf + 1)
        return TVHT_ONITEMBUTTON;
    if (point.x < parts.iconLeft)
        return TVHT_ONITEMINDENT;
    if (point.x < parts.label.left)
        return TVHT_ONITEMICON;
    if (point.x < parts.label.right)
        return TVHT_ONITEMLABEL;
    return TVHT_ONITEMRIGHT;
}

// Sets both scroll bars from the rows and their widths. Showing or hiding one bar
// changes the client area and so the other, hence the second round.
void TreeViewControl::UpdateScrollBars()
{
    if (updatingBars)
        return;
    updatingBars = true;
    const std::vector<TreeRow> rows = nodes.VisibleRows();
    HDC dc = GetDC(window);
    for (int round = 0; round < 2; ++round) {
        RECT client;
        GetClientRect(window, &client);
        const int count = static_cast<int>(rows.size());
        const int visible = VisibleCount();
        firstRow = std::clamp(firstRow, 0, std::max(count - visible, 0));
        SCROLLINFO vertical;
        vertical.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        vertical.nMax = std::max(count - 1, 0);
        vertical.nPage = static_cast<UINT>(visible);
        vertical.nPos = firstRow;
        SetScrollInfo(window, SB_VERT, &vertical, TRUE);
        const int width = ContentWidth(dc, rows);
        left = std::clamp(left, 0, std::max(width - client.right, 0));
        SCROLLINFO horizontal;
        horizontal.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        horizontal.nMax = std::max(width - 1, 0);
        horizontal.nPage = static_cast<UINT>(std::max(client.right, 0));
        horizontal.nPos = left;
        SetScrollInfo(window, SB_HORZ, &horizontal, TRUE);
    }
    ReleaseDC(window, dc);
    updatingBars = false;
}

void TreeViewControl::ScrollTo(int row, int x)
{
    const int before = firstRow, beforeLeft = left;
    firstRow = row;
    left = x;
    UpdateScrollBars();
    if (firstRow != before || left != beforeLeft)
        InvalidateRect(window, nullptr, TRUE);
}

void TreeViewControl::Paint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    ScopedDcState saved(dc);
    RECT client;
    GetClientRect(window, &client);
    FillColor(dc, client, RGB(255, 255, 255));
    SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    const std::vector<TreeRow> rows = nodes.VisibleRows();
    const int last = std::min(static_cast<int>(rows.size()), firstRow + client.bottom / ItemHeight() + 1);
    for (int index = firstRow; index < last; ++index)
        PaintRow(dc, rows[static_cast<std::size_t>(index)], index);
    EndPaint(window, &paint);
}

void TreeViewControl::PaintRow(HDC dc, const TreeRow& row, int rowIndex)
{
    const RowParts parts = PartsOf(dc, row, rowIndex);
    const TreeNode& node = *nodes.Find(row.item);
    if (GetWindowStyle(window) & TVS_HASLINES)
        PaintLines(dc, row, parts);
    if ((GetWindowStyle(window) & TVS_HASBUTTONS) && parts.buttonX >= 0 && nodes.HasChildren(row.item))
        PaintButton(dc, row, parts);
    const bool isSelected = row.item == selected;
    if (parts.iconWidth) {
        int iconWidth = 0, iconHeight = 0;
        ImageList_GetIconSize(images, &iconWidth, &iconHeight);
        ImageList_Draw(images, isSelected ? node.selectedImage : node.image, dc, parts.iconLeft,
                       parts.top + (parts.bottom - parts.top - iconHeight) / 2, ILD_NORMAL);
    }
    // Without TVS_SHOWSELALWAYS the selection shows only while the tree has the focus.
    COLORREF textColor = RGB(0, 0, 0);
    const bool focused = GetFocus() == window;
    if (isSelected && (focused || (GetWindowStyle(window) & TVS_SHOWSELALWAYS))) {
        FillColor(dc, parts.label, focused ? kFocusedSelection : kUnfocusedSelection);
        if (focused)
            textColor = RGB(255, 255, 255);
    }
    SetTextColor(dc, textColor);
    RECT text{parts.label.left + kTextPadding, parts.top, parts.label.right, parts.bottom};
    DrawTextW(dc, node.text.c_str(), static_cast<int>(node.text.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

// The dotted lines: from the parent's column down to this row's button and across to
// its icon, and the columns of the ancestors that have more children below.
void TreeViewControl::PaintLines(HDC dc, const TreeRow& row, const RowParts& parts)
{
    if (parts.buttonX < 0)
        return;
    const int middle = (parts.top + parts.bottom) / 2;
    const bool first =
        nodes.Related(row.item, TVGN_PREVIOUS) == nullptr && nodes.Related(row.item, TVGN_PARENT) == nullptr;
    const bool more = nodes.Related(row.item, TVGN_NEXT) != nullptr;
    DottedLine(dc, parts.buttonX, first ? middle : parts.top, parts.buttonX, more ? parts.bottom - 1 : middle);
    DottedLine(dc, parts.buttonX, middle, parts.iconLeft - 2, middle);
    int column = parts.buttonX - kIndent;
    for (HTREEITEM ancestor = nodes.Related(row.item, TVGN_PARENT); ancestor && column >= -kIndent;
         ancestor = nodes.Related(ancestor, TVGN_PARENT), column -= kIndent) {
        const bool ancestorRoot = nodes.Related(ancestor, TVGN_PARENT) == nullptr;
        if (ancestorRoot && !(GetWindowStyle(window) & TVS_LINESATROOT))
            break;
        if (nodes.Related(ancestor, TVGN_NEXT))
            DottedLine(dc, column, parts.top, column, parts.bottom - 1);
    }
}

void TreeViewControl::PaintButton(HDC dc, const TreeRow& row, const RowParts& parts)
{
    const int x = parts.buttonX, y = (parts.top + parts.bottom) / 2;
    const RECT box{x - kButtonHalf, y - kButtonHalf, x + kButtonHalf + 1, y + kButtonHalf + 1};
    FillColor(dc, box, kButtonBorder);
    FillColor(dc, RECT{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1}, RGB(255, 255, 255));
    FillColor(dc, RECT{x - 2, y, x + 3, y + 1}, kButtonSign);
    if (!nodes.IsExpanded(row.item))
        FillColor(dc, RECT{x, y - 2, x + 1, y + 3}, kButtonSign);
}

} // namespace Platform
