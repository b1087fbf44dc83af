#pragma once
// The thumbnail list: a child window of its own that shows tiles in a grid of rows
// and columns, scrolls vertically with the standard scroll bar, and handles
// selection, hover, deletion, reordering by dragging a tile, sorting, the tiles'
// buttons and remark editing. Files dropped on it from outside become upload tiles.
// It paints itself into a back buffer; the host's control tree neither paints it nor
// passes it mouse events. The list owns its tiles; drops on it are its drop
// target's to handle.

#include "Biz/UploadList.h"
#include "Platform/Signal.h"
#include "UI/ControlBase.h"
#include "UI/DeferredDelete.h"
#include "UI/NativeControl.h"
#include "Views/ListSelection.h"
#include "Views/OleDrager.h"
#include "Views/RemarkEditing.h"
#include "Views/TileList.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ListDropTarget;
class ListViewItem;
class ThumbnailLoader;

class ListView : public NativeControl<ListView>,
                 public OleDrager,
                 public ControlBase,
                 public UploadList,
                 public TileList {
public:
    // What the list accepts beyond the tiles its owner adds: the main list takes
    // dropped files and deletes with the Delete key; the file-add dialog's grid does
    // neither.
    enum class Role { UploadList, PickerGrid };

    explicit ListView(Role role = Role::UploadList);
    ~ListView() override;

    // Creates the hidden list window as a child of the parent's window.
    void Attach(ControlBase* parentControl) override;
    // Creates the visible list window at rect in parent (the file-add dialog's grid).
    Platform::HWND Create(Platform::HWND parent, const Platform::RECT& rect);
    // The list paints itself and takes its own mouse input.
    void OnPaint(Zivoro::UI::CPaintEventArgs*) override {}
    void OnMouseDown(Zivoro::UI::CMouseEventArgs*) override {}
    void OnMouseUp(Zivoro::UI::CMouseEventArgs*) override {}
    void OnMouseMove(Zivoro::UI::CMouseEventArgs*) override {}
    // The parent's client area: the list's own window is what it lays out.
    void GetContainerRect(Platform::RECT* rect) override;
    void SetVisible(int value) override;
    // Moves the window to its layout place; the tiles follow through WM_SIZE.
    void UpdateLayout() override;
    void DestroyWindows() override;

    void SetItemWidth(int value) { itemWidth = value; }
    void SetItemHeight(int value) { itemHeight = value; }
    int ItemWidth() const { return itemWidth; }
    int ItemHeight() const { return itemHeight; }
    int ThumbWidth() const { return thumbWidth; }
    int ThumbHeight() const { return thumbHeight; }
    Platform::COLORREF AccentColor() const { return accentColor; }
    Platform::COLORREF GridColor() const { return gridColor; }

    // Takes the tile, gives it the next id and appends it; returns the tile. The
    // caller lays out, updates the scroll bar and invalidates.
    ListViewItem* AddItem(std::unique_ptr<ListViewItem> tile);
    // Deletes the tile with the id. Refused while an upload runs (the engine reads
    // the tiles' records then).
    void RemoveItem(std::int32_t id);
    // Deletes the selected tiles and returns to the top; refused while an upload runs.
    void DeleteSelected();
    void Clear();
    // Moves the tile with fromId before the tile with toId (to the end when there is none).
    void MoveItem(std::int32_t fromId, std::int32_t toId);
    // The orders, numbered as the main view's sort box lists them. By file time: the
    // file's own time (made, else last modified); by shot time: when the photo was
    // taken (its Exif time, else the file's); by id: the order the tiles came in.
    enum class SortOrder { ById = 0, ByRemark = 1, ByFileTime = 2, ByShotTime = 3 };
    // Stable: ties keep their order. Sorting by the time taken while pictures are
    // still being read sorts again, once, when the loader has read them all.
    void Sort(SortOrder order);

    ListViewItem* FindById(std::int32_t id) const override;
    int IndexOf(std::int32_t id) const override;
    ListViewItem* ItemAtIndex(int position) const override
    {
        return items.at(static_cast<std::size_t>(position)).get();
    }
    Platform::Connection WatchRemovals(std::function<void()> handler) override;
    // The first tile whose rectangle contains the content point.
    ListViewItem* ItemAt(Platform::POINT point) const;
    bool ContainsPath(const std::wstring& path) const;
    bool ContainsFile(ListViewItem* tile) const;
    int Count() const override { return static_cast<int>(items.size()); }
    bool IsEmpty() const { return items.empty(); }
    // The tiles in display order.
    std::vector<ListViewItem*> Items() const;
    int CheckedCount() const;
    // The checked tiles in display order.
    void GetChecked(std::vector<ListViewItem*>& out) const;
    void SetAllChecked(std::int32_t value);
    std::int64_t SumSizes() const;
    std::int64_t SumCheckedSizes() const;
    const std::vector<ListViewItem*>& GetSelection() const { return selection.Tiles(); }
    void SelectAll(int value);
    // Appends the tile to the selection unless it is there already.
    void AddToSelection(ListViewItem* tile) { selection.Add(tile); }
    void SetAnchor(std::int32_t id) { selection.SetAnchor(id); }
    std::int32_t Anchor() const { return selection.Anchor(); }
    void SetEditable(int value) { editable = value != 0; }
    bool IsEditable() const { return editable; }
    void InvalidateAll();

    // Tile geometry: columns for the client width, rows for the tiles, and the height
    // of the whole grid with its margins.
    int Columns() const;
    int Rows() const;
    int ContentHeight() const;
    // Gives every tile its place in the grid; a remark being edited is committed first.
    void Layout();
    // Fits the scroll bar to the content and returns to the top; hides it when
    // nothing overflows.
    void UpdateScrollBar();
    // The vertical scroll position in pixels (the scroll bar's, no copy kept).
    int ScrollPosition() const;
    // Moves to position, clamped to 0 .. MaxScrollPosition(), and repaints; a remark
    // being edited is committed when the position changes.
    void ScrollTo(int position);
    int MaxScrollPosition() const;
    int ClientHeight() const;

    // The remark editor shared by the tiles.
    RemarkEditing& RemarkEditor() { return remarks; }
    ListViewItem* EditingItem() const { return remarks.Tile(); }
    // Commits and closes the remark editor when a tile is being edited.
    void CommitEditing() { remarks.Commit(); }
    // Opens the remark editor over the tile's bottom 30 pixels with the text, all of it
    // selected, and makes the tile the one being edited.
    void EditRemark(ListViewItem* tile, const std::wstring& text);

    // Reads the pictures of the tiles not loaded yet on the loader's workers, the
    // visible tiles first; each tile repaints when its thumbnail is ready, and
    // LoadingFinished follows the last. Adding tiles starts it by itself once the
    // control's thread is back in its loop.
    void StartLoading();
    // Forgets the tiles not read yet; returns at once.
    void StopLoading();
    // Posted to the list window by the loader and by AddItem.
    static constexpr Platform::UINT TileLoadedMessage = Platform::WM_USER + 0x140;
    static constexpr Platform::UINT LoadingDoneMessage = Platform::WM_USER + 0x141;
    static constexpr Platform::UINT LoadingQueuedMessage = Platform::WM_USER + 0x142;

    // The tiles in list order, for the upload engine.
    std::vector<UploadItem*> UploadItems() const override;

    // Makes an upload tile for a dropped path; the file-add dialog's grid has none.
    // Set by whoever provides the upload tile.
    std::function<std::unique_ptr<ListViewItem>(const std::wstring& path)> makeDroppedTile;

    bool ProcessWindowMessage(Platform::HWND window, Platform::UINT message, Platform::WPARAM wParam,
                              Platform::LPARAM lParam, Platform::LRESULT& result);

    Platform::Signal<void()> FilesDropped;
    Platform::Signal<void(int)> SelectionChanged;
    Platform::Signal<void(int)> ItemsRemoved;
    Platform::Signal<void(ListViewItem*)> ItemActivated;
    Platform::Signal<void()> LoadingFinished;
    // An upload list's tile came in, or is about to leave by a removal (its record
    // still held).
    Platform::Signal<void(ListViewItem*)> TileAdded;
    Platform::Signal<void(ListViewItem*)> TileLeaving;
    // A tile's edit and view buttons: the list's owner opens the editor or the preview.
    Platform::Signal<void(ListViewItem*)> EditRequested;
    Platform::Signal<void(ListViewItem*)> ViewRequested;

private:
    Platform::HWND CreateListWindow(Platform::HWND parent, const Platform::RECT& rect, std::uint32_t style);
    void OnPaintMessage();
    void OnPress(Platform::WPARAM keys, Platform::POINT point);
    void OnRelease(Platform::POINT point);
    void OnDoubleClick(Platform::POINT point);
    void OnMove(Platform::POINT point);
    bool OnWheel(int delta);
    void OnScroll(int request, int thumbPosition);
    void OnKeyUp(Platform::WPARAM key);
    void OnSize();
    void OnEditorCommand(Platform::WPARAM wParam, Platform::LPARAM lParam);
    void OnDestroy();

    void PrepareDrag(ListViewItem* tile);
    // Deletes a tile that has left items; the editor is closed when it was the one
    // being edited, and a deletion from inside the tile's own handler waits until the
    // handler has returned.
    void Discard(std::unique_ptr<ListViewItem> tile);
    void Reset();
    void AfterRemoval();
    Platform::POINT ToContent(Platform::LPARAM lParam) const;
    // The client area without the strip of the scroll bar.
    Platform::RECT ScrollingArea(int strip) const;
    void MakeBackBuffer(int width, int height);
    bool DeletingRefused() const;

    Role role;
    // Leave tracking requested.
    bool tracking = false;
    bool editable = true;
    std::int32_t hoverId = -1;
    int itemHeight = 141;
    int itemWidth = 140;
    int thumbWidth = 148;
    int thumbHeight = 120;
    int horizontalGap = 14;
    int verticalGap = 32;
    std::int32_t nextId = 0;
    Platform::COLORREF accentColor = 0xE9B454;
    Platform::COLORREF gridColor = 0xC5C5C5;
    std::vector<std::unique_ptr<ListViewItem>> items;
    ListSelection selection;
    Platform::RECT margins{4, 4, 4, 4};
    // Off-screen image of the list, of the window's size.
    Platform::HBITMAP backBuffer = nullptr;
    Platform::SIZE backBufferSize{};
    // Registered with the window; one reference held until the list goes.
    Platform::ComPtr<ListDropTarget> dropTarget;
    RemarkEditing remarks;
    // Tiles removed by a tile's own mouse handler wait here until it has returned.
    DeferredDelete<ListViewItem> graveyard;
    // Created by the first StartLoading, when the window exists.
    std::unique_ptr<ThumbnailLoader> loader;
    // A LoadingQueuedMessage is on its way.
    bool loadingQueued = false;
    // The sort to run again when the loader is done: it needed times that were not
    // read yet. Any other change of the order forgets it.
    std::optional<SortOrder> pendingSort;
};
