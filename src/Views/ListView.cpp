// Sections: window and layout; content (adding, removing, moving, sorting, lookups,
// selection, remark editing); window messages (paint, mouse, wheel, scroll bar,
// keys); tile drags.

#include "Views/ListView.h"

#include "Biz/AppState.h"
#include "Biz/ImageData.h"
#include "Biz/UploadItem.h"
#include "Platform/Controls/ControlMessages.h"
#include "Platform/Gdi/BackBuffer.h"
#include "Platform/Gdi/DeviceContext.h"
#include "Platform/Gdi/GdiObjects.h"
#include "Platform/Gdiplus/Graphics.h"
#include "Platform/Gdiplus/GraphicsTypes.h"
#include "Platform/Ole/DragDrop.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/ScrollBar.h"
#include "Platform/Win/WindowGeometry.h"
#include "UI/EventArgs.h"
#include "UI/WindowedLayout.h"
#include "Views/ListDropTarget.h"
#include "Views/ListViewItem.h"
#include "Views/ThumbnailLoader.h"

#include <algorithm>
#include <utility>

using namespace Platform;

namespace {

const wchar_t* const kClass = L"ZivoroListView";
// Room kept free for the vertical scroll bar when counting columns.
constexpr int kScrollBarRoom = 17;

using Tiles = std::vector<std::unique_ptr<ListViewItem>>;

// The first tile for which test holds.
template <typename Test> Tiles::const_iterator FindTile(const Tiles& tiles, Test test)
{
    return std::find_if(tiles.begin(), tiles.end(),
                        [&](const std::unique_ptr<ListViewItem>& tile) { return test(tile.get()); });
}

Tiles::const_iterator FindTile(const Tiles& tiles, std::int32_t id)
{
    return FindTile(tiles, [id](const ListViewItem* tile) { return tile->Id() == id; });
}

// Takes the tile out of the list's order.
std::unique_ptr<ListViewItem> TakeTile(Tiles& tiles, Tiles::const_iterator at)
{
    std::unique_ptr<ListViewItem> tile = std::move(tiles[static_cast<std::size_t>(at - tiles.cbegin())]);
    tiles.erase(at);
    return tile;
}

// A stable sort of the tiles by a key read once per tile: ties keep their order.
template <typename KeyOf> void SortByKey(Tiles& tiles, KeyOf keyOf)
{
    std::vector<std::pair<decltype(keyOf(tiles.front().get())), std::unique_ptr<ListViewItem>>> keyed;
    keyed.reserve(tiles.size());
    for (std::unique_ptr<ListViewItem>& tile : tiles) {
        auto key = keyOf(tile.get());
        keyed.emplace_back(std::move(key), std::move(tile));
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < keyed.size(); ++i)
        tiles[i] = std::move(keyed[i].second);
}

// The same by a field of the tiles' records; tiles without a record come first.
template <typename FieldOf> void SortByRecord(Tiles& tiles, FieldOf fieldOf)
{
    using Field = decltype(fieldOf(std::declval<const ImageData&>()));
    SortByKey(tiles, [&](ListViewItem* tile) {
        const std::shared_ptr<ImageData> data = tile->Data();
        return data ? fieldOf(*data) : Field{};
    });
}

} // namespace

ListView::ListView(Role listRole)
    : role(listRole), dropTarget(ComPtr<ListDropTarget>::Adopt(new ListDropTarget(this, listRole == Role::UploadList)))
{
}

ListView::~ListView()
{
    DestroyWithFont(hwnd);
    Reset();
    dropTarget->Detach();
}

// ---------------------------------------------------------------------------------
// Window and layout

HWND ListView::CreateListWindow(HWND parentWindow, const RECT& rect, std::uint32_t style)
{
    RegisterClassOnce(kClass, nullptr, CS_DBLCLKS);
    hwnd = CreateWindowExW(0, kClass, L"", style, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                           parentWindow, nullptr, nullptr, this);
    if (!hwnd)
        return nullptr;
    RegisterDragDrop(hwnd, dropTarget.Get());
    remarks.Create(hwnd);
    return hwnd;
}

void ListView::Attach(ControlBase* parentControl)
{
    CreateListWindow(parentControl->GetHwnd(), RECT{}, WS_CHILD);
    WindowedLayout::Join(*this, parentControl);
}

HWND ListView::Create(HWND parentWindow, const RECT& rect)
{
    return CreateListWindow(parentWindow, rect, WS_CHILD | WS_VISIBLE);
}

void ListView::GetContainerRect(RECT* rect)
{
    *rect = RECT{};
    if (parent && parent->GetHwnd())
        GetClientRect(parent->GetHwnd(), rect);
}

void ListView::SetVisible(int value)
{
    WindowedLayout::SetVisible(*this, value);
}

void ListView::UpdateLayout()
{
    WindowedLayout::MoveToLayout(*this);
}

void ListView::DestroyWindows()
{
    if (IsWindow(hwnd))
        DestroyWindow(hwnd);
}

int ListView::Columns() const
{
    // The window's whole width, the scroll bar's room included, so that the bar coming
    // and going does not change the columns.
    RECT window;
    GetWindowRect(hwnd, &window);
    const int width = window.right - window.left;
    const int columns =
        (width + horizontalGap - margins.right - margins.left - kScrollBarRoom) / (horizontalGap + itemWidth);
    return std::max(columns, 1);
}

int ListView::Rows() const
{
    const int columns = Columns();
    return (Count() + columns - 1) / columns;
}

int ListView::ContentHeight() const
{
    return Rows() * (itemHeight + verticalGap) + margins.bottom + margins.top;
}

void ListView::Layout()
{
    if (items.empty())
        return;
    // Tiles may move: the remark editor would be left over another tile.
    CommitEditing();
    const int columns = Columns();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const int column = static_cast<int>(i) % columns, row = static_cast<int>(i) / columns;
        const int left = margins.left + column * (itemWidth + horizontalGap);
        const int top = margins.top + row * (itemHeight + verticalGap);
        items[i]->SetBounds(RECT{left, top, left + itemWidth, top + itemHeight});
    }
}

void ListView::UpdateScrollBar()
{
    const int clientHeight = ClientHeight();
    const int visibleRows = clientHeight / (itemHeight + verticalGap);
    SCROLLINFO info;
    if (Rows() > visibleRows) {
        EnableScrollBar(hwnd, SB_VERT, ESB_ENABLE_BOTH);
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        info.nMax = ContentHeight();
        info.nPage = static_cast<UINT>(clientHeight);
        SetScrollInfo(hwnd, SB_VERT, &info, TRUE);
        return;
    }
    // Nothing overflows: the bar goes away rather than standing there disabled.
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    SetScrollInfo(hwnd, SB_VERT, &info, TRUE);
    ShowScrollBar(hwnd, SB_VERT, FALSE);
    RECT strip;
    GetClientRect(hwnd, &strip);
    strip.left = std::max(strip.left, strip.right - 18);
    InvalidateRect(hwnd, &strip, FALSE);
}

int ListView::ScrollPosition() const
{
    return GetScrollPos(hwnd, SB_VERT);
}

int ListView::MaxScrollPosition() const
{
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    if (!GetScrollInfo(hwnd, SB_VERT, &info))
        return 0;
    return std::max(info.nMin, info.nMax - std::max(static_cast<int>(info.nPage) - 1, 0));
}

void ListView::ScrollTo(int position)
{
    const int next = std::clamp(position, 0, MaxScrollPosition());
    if (next != ScrollPosition())
        CommitEditing();
    SetScrollPos(hwnd, SB_VERT, next, TRUE);
    const RECT area = ScrollingArea(kScrollBarRoom);
    InvalidateRect(hwnd, &area, FALSE);
}

int ListView::ClientHeight() const
{
    RECT client;
    GetClientRect(hwnd, &client);
    return client.bottom - client.top;
}

RECT ListView::ScrollingArea(int strip) const
{
    RECT area;
    GetClientRect(hwnd, &area);
    area.right = std::max(area.left, area.right - strip);
    return area;
}

void ListView::InvalidateAll()
{
    InvalidateRect(hwnd, nullptr, TRUE);
}

void ListView::MakeBackBuffer(int width, int height)
{
    if (backBuffer && backBufferSize.cx == width && backBufferSize.cy == height)
        return;
    if (backBuffer)
        DeleteObject(backBuffer);
    backBuffer = nullptr;
    backBufferSize = SIZE{width, height};
    if (width <= 0 || height <= 0)
        return;
    HDC screen = GetDC(hwnd);
    backBuffer = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(hwnd, screen);
}

// ---------------------------------------------------------------------------------
// Content

ListViewItem* ListView::AddItem(std::unique_ptr<ListViewItem> owned)
{
    ListViewItem* tile = owned.get();
    tile->SetList(this);
    tile->listData = nextId++;
    items.push_back(std::move(owned));
    pendingSort.reset();
    if (!loadingQueued && hwnd) {
        const std::shared_ptr<ImageData> record = tile->Data();
        if (record && !record->IsLoaded())
            loadingQueued = PostMessageW(hwnd, LoadingQueuedMessage, 0, 0) != FALSE;
    }
    if (role == Role::UploadList)
        TileAdded(tile);
    return tile;
}

void ListView::StartLoading()
{
    if (!hwnd)
        return;
    if (!loader)
        loader = std::make_unique<ThumbnailLoader>(hwnd, TileLoadedMessage, LoadingDoneMessage);
    // Thumbnails are made for the device pixels of the list's screen.
    HDC screen = GetDC(hwnd);
    ImageData::SetScreenScale(GetDeviceScale(screen));
    ReleaseDC(hwnd, screen);
    // From the first tile in view to the end, then the tiles above it.
    const int top = ScrollPosition();
    const auto firstVisible = FindTile(items, [top](ListViewItem* tile) { return tile->GetBounds().bottom > top; });
    std::vector<ThumbnailLoader::Job> jobs;
    jobs.reserve(items.size());
    for (auto it = firstVisible; it != items.cend(); ++it)
        jobs.push_back({(*it)->Id(), (*it)->Data()});
    for (auto it = items.cbegin(); it != firstVisible; ++it)
        jobs.push_back({(*it)->Id(), (*it)->Data()});
    loader->Start(std::move(jobs));
}

void ListView::StopLoading()
{
    if (loader)
        loader->Stop();
}

bool ListView::DeletingRefused() const
{
    return AppState::Instance().IsUploading();
}

void ListView::RemoveItem(std::int32_t id)
{
    if (DeletingRefused())
        return;
    const int position = ScrollPosition();
    selection.Forget(id);
    if (hoverId == id)
        hoverId = -1;
    const auto found = FindTile(items, id);
    if (found != items.end()) {
        TileLeaving(found->get());
        Discard(TakeTile(items, found));
    }
    ItemsRemoved(id);
    UpdateScrollBar();
    Layout();
    ScrollTo(position);
    AfterRemoval();
}

void ListView::DeleteSelected()
{
    if (DeletingRefused())
        return;
    for (ListViewItem* selected : selection.TakeAll()) {
        const auto found = FindTile(items, selected->Id());
        if (found != items.end()) {
            TileLeaving(found->get());
            Discard(TakeTile(items, found));
        }
    }
    ItemsRemoved(0);
    hoverId = -1;
    UpdateScrollBar();
    Layout();
    ScrollTo(0);
    AfterRemoval();
}

void ListView::AfterRemoval()
{
    const RECT area = ScrollingArea(20);
    InvalidateRect(hwnd, &area, FALSE);
    // Hover follows the new layout.
    Cancel();
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(hwnd, &cursor);
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(cursor.x, cursor.y));
}

void ListView::Clear()
{
    Reset();
    UpdateScrollBar();
    InvalidateRect(hwnd, nullptr, FALSE);
}

void ListView::Reset()
{
    StopLoading();
    Tiles going = std::exchange(items, {});
    selection.TakeAll();
    hoverId = -1;
    for (std::unique_ptr<ListViewItem>& tile : going)
        Discard(std::move(tile));
    remarks.ForgetAll();
}

void ListView::Discard(std::unique_ptr<ListViewItem> tile)
{
    // The tile whose remark is being edited is going: its editor closes unsaved.
    remarks.Forget(tile.get());
    graveyard.Delete(std::move(tile));
}

void ListView::MoveItem(std::int32_t fromId, std::int32_t toId)
{
    if (fromId == toId || items.size() < 2)
        return;
    const auto from = FindTile(items, fromId);
    if (from == items.end())
        return;
    pendingSort.reset();
    std::unique_ptr<ListViewItem> moving = TakeTile(items, from);
    items.insert(FindTile(items, toId), std::move(moving));
    Layout();
    InvalidateAll();
}

void ListView::Sort(SortOrder order)
{
    pendingSort.reset();
    if (order == SortOrder::ByRemark) {
        SortByRecord(items, [](const ImageData& data) { return data.remark; });
    } else if (order == SortOrder::ByFileTime) {
        SortByRecord(items, [](const ImageData& data) { return data.fileTime; });
    } else if (order == SortOrder::ByShotTime) {
        SortByRecord(items, [](const ImageData& data) { return data.ShotTime(); });
        const bool unread = FindTile(items, [](const ListViewItem* tile) {
                                const std::shared_ptr<ImageData> data = tile->Data();
                                return data && !data->IsLoaded();
                            }) != items.end();
        if (unread) {
            pendingSort = order;
            StartLoading();
        }
    } else {
        SortByKey(items, [](ListViewItem* tile) { return tile->Id(); });
    }
    Layout();
    UpdateScrollBar();
    InvalidateAll();
}

ListViewItem* ListView::FindById(std::int32_t id) const
{
    const auto found = FindTile(items, id);
    return found == items.end() ? nullptr : found->get();
}

std::vector<ListViewItem*> ListView::Items() const
{
    std::vector<ListViewItem*> tiles;
    tiles.reserve(items.size());
    for (const std::unique_ptr<ListViewItem>& tile : items)
        tiles.push_back(tile.get());
    return tiles;
}

Connection ListView::WatchRemovals(std::function<void()> handler)
{
    return ItemsRemoved.connect([handler = std::move(handler)](int) { handler(); });
}

int ListView::IndexOf(std::int32_t id) const
{
    const auto found = FindTile(items, id);
    return found == items.end() ? -1 : static_cast<int>(found - items.begin());
}

ListViewItem* ListView::ItemAt(POINT point) const
{
    const auto found = FindTile(items, [point](ListViewItem* tile) { return tile->HitTest(point); });
    return found == items.end() ? nullptr : found->get();
}

bool ListView::ContainsPath(const std::wstring& path) const
{
    return FindTile(items, [&](ListViewItem* tile) { return tile->HasPath(path); }) != items.end();
}

bool ListView::ContainsFile(ListViewItem* other) const
{
    return FindTile(items, [&](ListViewItem* tile) { return tile->SameFile(other); }) != items.end();
}

int ListView::CheckedCount() const
{
    return static_cast<int>(std::count_if(items.begin(), items.end(),
                                          [](const std::unique_ptr<ListViewItem>& t) { return t->checked != 0; }));
}

void ListView::GetChecked(std::vector<ListViewItem*>& out) const
{
    for (const std::unique_ptr<ListViewItem>& tile : items)
        if (tile->checked != 0)
            out.push_back(tile.get());
}

void ListView::SetAllChecked(std::int32_t value)
{
    for (const std::unique_ptr<ListViewItem>& tile : items)
        tile->SetChecked(value);
}

std::int64_t ListView::SumSizes() const
{
    std::int64_t sum = 0;
    for (const std::unique_ptr<ListViewItem>& tile : items)
        if (const std::shared_ptr<ImageData> record = tile->Data())
            sum += record->fileSize;
    return sum;
}

std::int64_t ListView::SumCheckedSizes() const
{
    std::int64_t sum = 0;
    for (const std::unique_ptr<ListViewItem>& tile : items)
        tile->AddCheckedSize(sum);
    return sum;
}

void ListView::SelectAll(int value)
{
    selection.SetAll(Items(), value != 0);
}

std::vector<UploadItem*> ListView::UploadItems() const
{
    std::vector<UploadItem*> uploads;
    for (const std::unique_ptr<ListViewItem>& tile : items)
        if (auto* upload = dynamic_cast<UploadItem*>(tile.get()))
            uploads.push_back(upload);
    return uploads;
}

void ListView::EditRemark(ListViewItem* tile, const std::wstring& text)
{
    RECT place = tile->GetBounds();
    place.bottom -= ScrollPosition();
    place.top = place.bottom - 30;
    remarks.Begin(tile, place, text);
}

// ---------------------------------------------------------------------------------
// Window messages

bool ListView::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_PAINT:
        OnPaintMessage();
        return true;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_LBUTTONDOWN:
        OnPress(wParam, ToContent(lParam));
        return true;
    case WM_LBUTTONUP:
        OnRelease(ToContent(lParam));
        return true;
    case WM_LBUTTONDBLCLK:
        OnDoubleClick(ToContent(lParam));
        return true;
    case WM_MOUSEMOVE:
        OnMove(ToContent(lParam));
        return true;
    case WM_MOUSELEAVE:
        tracking = false;
        return true;
    case WM_MOUSEWHEEL:
        result = OnWheel(GET_WHEEL_DELTA_WPARAM(wParam)) ? 1 : 0;
        return true;
    case WM_VSCROLL:
        OnScroll(LOWORD(wParam), static_cast<std::int16_t>(HIWORD(wParam)));
        return true;
    case WM_KEYUP:
        OnKeyUp(wParam);
        return true;
    case WM_KEYDOWN:
        return true;
    case WM_SIZE:
        OnSize();
        return true;
    case WM_COMMAND:
        OnEditorCommand(wParam, lParam);
        return true;
    case WM_DESTROY:
        OnDestroy();
        return false;
    case WM_DPICHANGED_AFTERPARENT:
        // Thumbnails are made again for the new scale, except while the upload threads
        // read the pictures.
        if (!items.empty() && !AppState::Instance().IsUploading())
            StartLoading();
        return true;
    case TileLoadedMessage:
        if (ListViewItem* tile = FindById(static_cast<std::int32_t>(wParam)))
            tile->Redraw();
        return true;
    case LoadingDoneMessage:
        if (const std::optional<SortOrder> order = std::exchange(pendingSort, std::nullopt);
            order && !AppState::Instance().IsUploading())
            Sort(*order);
        LoadingFinished();
        return true;
    case LoadingQueuedMessage:
        loadingQueued = false;
        StartLoading();
        return true;
    default:
        return false;
    }
}

POINT ListView::ToContent(LPARAM lParam) const
{
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) + ScrollPosition()};
}

void ListView::OnPaintMessage()
{
    PAINTSTRUCT paint;
    HDC target = BeginPaint(hwnd, &paint);
    RECT client;
    GetClientRect(hwnd, &client);
    MakeBackBuffer(client.right, client.bottom);
    if (backBuffer) {
        BackBuffer buffer(target, backBuffer, client);
        HDC scratch = CreateCompatibleDC(target);
        Gdiplus::Graphics graphics(buffer.Dc());
        Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
        graphics.FillRectangle(&white, 0, 0, client.right, client.bottom);
        Zivoro::UI::CPaintEventArgs args;
        args.dc = buffer.Dc();
        args.scratchDC = scratch;
        args.graphics = &graphics;
        const int position = ScrollPosition(), bottom = position + client.bottom;
        auto tile = FindTile(items, [position](ListViewItem* t) { return t->GetBounds().bottom > position; });
        for (; tile != items.end() && (*tile)->GetBounds().top < bottom; ++tile)
            (*tile)->Paint(&args, position);
        DeleteDC(scratch);
        buffer.Present();
    }
    EndPaint(hwnd, &paint);
}

void ListView::OnSize()
{
    RECT client;
    GetClientRect(hwnd, &client);
    MakeBackBuffer(client.right, client.bottom);
    // The tiles follow the new width; the position is kept as far as it still fits.
    const int position = ScrollPosition();
    Layout();
    UpdateScrollBar();
    ScrollTo(position);
}

void ListView::OnPress(WPARAM keys, POINT point)
{
    SetFocus(hwnd);
    ListViewItem* tile = ItemAt(point);
    if (!tile) {
        selection.Clear();
    } else if (keys & MK_SHIFT) {
        selection.ExtendTo(tile, Items());
    } else if (keys & MK_CONTROL) {
        selection.Toggle(tile);
    } else {
        selection.Clear();
        selection.SetAnchor(-1);
        const auto call = graveyard.Enter();
        tile->OnMouseDown(point);
        if (FindById(tile->Id()) == tile && !tile->HitButton(point) && editable)
            PrepareDrag(tile);
    }
    SelectionChanged(0);
}

void ListView::PrepareDrag(ListViewItem* tile)
{
    Prepare(ComPtr<IDataObject>::Adopt(dropTarget->CarryTile(tile->Id())).Get());
}

void ListView::OnRelease(POINT point)
{
    CommitEditing();
    Cancel();
    ListViewItem* tile = ItemAt(point);
    if (!tile)
        return;
    const auto call = graveyard.Enter();
    tile->OnMouseUp(point);
}

void ListView::OnDoubleClick(POINT point)
{
    ListViewItem* tile = ItemAt(point);
    if (tile && !tile->HitButton(point))
        ItemActivated(tile);
}

void ListView::OnMove(POINT point)
{
    if (IsPending()) {
        Run(hwnd);
        return;
    }
    if (items.empty())
        return;
    ListViewItem* hovered = ItemAt(point);
    if (hoverId != -1 && (!hovered || hovered->Id() != hoverId)) {
        if (ListViewItem* left = FindById(hoverId))
            left->OnMouseLeave();
        hoverId = -1;
    }
    if (hovered) {
        hovered->OnMouseMove(point);
        hoverId = hovered->Id();
    }
    if (!tracking) {
        TRACKMOUSEEVENT request;
        request.dwFlags = TME_LEAVE;
        request.hwndTrack = hwnd;
        request.dwHoverTime = 100;
        TrackMouseEvent(&request);
        tracking = true;
    }
}

bool ListView::OnWheel(int delta)
{
    const int position = ScrollPosition();
    const int maximum = MaxScrollPosition();
    int next = position;
    if (delta < 0) {
        if (position >= maximum)
            return false;
        next = std::min(position + itemHeight, maximum);
    } else {
        if (position <= 0)
            return false;
        next = std::max(position - itemHeight, 0);
    }
    ScrollTo(next);
    return true;
}

void ListView::OnScroll(int request, int thumbPosition)
{
    const int position = ScrollPosition(), maximum = MaxScrollPosition(), page = ClientHeight();
    int next = position;
    switch (request) {
    case SB_LINEUP:
        next = position - 1;
        break;
    case SB_LINEDOWN:
        next = position + 1;
        break;
    case SB_PAGEUP:
        next = position - page;
        break;
    case SB_PAGEDOWN:
        next = position + page;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        next = thumbPosition;
        break;
    case SB_TOP:
        next = 0;
        break;
    case SB_BOTTOM:
        next = maximum;
        break;
    default:
        return;
    }
    ScrollTo(next);
}

void ListView::OnKeyUp(WPARAM key)
{
    if (key == 'A' && GetKeyState(VK_CONTROL) < 0) {
        selection.SetAll(Items(), true);
        SelectionChanged(0);
    } else if (key == VK_DELETE && role == Role::UploadList) {
        DeleteSelected();
    }
}

void ListView::OnEditorCommand(WPARAM wParam, LPARAM lParam)
{
    // The remark editor losing the focus commits what was typed, as a click would.
    if (HIWORD(wParam) == EN_KILLFOCUS && reinterpret_cast<HWND>(lParam) == remarks.Window())
        CommitEditing();
}

void ListView::OnDestroy()
{
    Reset();
    if (backBuffer)
        DeleteObject(backBuffer);
    backBuffer = nullptr;
    backBufferSize = SIZE{};
    RevokeDragDrop(hwnd);
}
