#pragma once
// The common base of the thumbnail list's tiles: a rectangle in content coordinates
// (the list's scroll position not applied), a state word, a check mark and the shared
// file record. Tiles get no window messages: the list calls their virtual operations
// with content points. Derived tiles replace Draw and whatever else they do
// differently.

#include "Imaging/Picture.h"
#include "UI/ControlBase.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

class ImageData;
class ListView;
class TileList;

namespace Zivoro::UI {
class CPaintEventArgs;
}

class ListViewItem : public IElement {
public:
    // State bits of GetState().
    static constexpr std::int32_t Hovered = 1;
    static constexpr std::int32_t Selected = 2;

    ListViewItem();
    ~ListViewItem() override;
    ListViewItem(const ListViewItem&) = delete;
    ListViewItem& operator=(const ListViewItem&) = delete;

    virtual void SetChecked(std::int32_t value);
    virtual void SetState(std::int32_t value);
    // Non-zero when the point lies on one of the tile's buttons.
    virtual int HitButton(Platform::POINT point);
    // Takes the text typed in the list's remark editor, already made one line.
    virtual void CommitRemark(const std::wstring& text);
    // Draw at the rectangle moved up by the scroll position.
    virtual void Paint(Zivoro::UI::CPaintEventArgs* args, int scrollPosition);
    // rect is in drawing coordinates.
    virtual void Draw(Zivoro::UI::CPaintEventArgs* args, Platform::RECT rect) = 0;
    // Exact comparisons of the records' paths.
    virtual bool SameFile(ListViewItem* other);
    virtual bool HasPath(const std::wstring& path);
    virtual void Select(Platform::POINT point);
    virtual void OnMouseDown(Platform::POINT point);
    virtual void OnMouseUp(Platform::POINT point);
    virtual void OnMouseMove(Platform::POINT point);
    virtual void OnMouseLeave();
    // Where the thumbnail goes: the rectangle less its 30-pixel caption, or an empty
    // rectangle when the record has no picture.
    virtual Platform::RECT GetThumbRect(Platform::RECT rect);
    virtual Platform::RECT GetTextRect(Platform::RECT rect);
    // Adds the record's file size to sum when the tile counts for it.
    virtual void AddCheckedSize(std::int64_t& sum);

    void Deselect();
    // Repaints the tile when it shows in the list's window.
    void Redraw();
    // True when the tile's rectangle lies at least partly in the list's visible band.
    bool IsVisible();
    // A new record read from the path replaces the current one. The file is read
    // before the lock is taken, so a paint never waits for a disk.
    void LoadData(const std::wstring& path);
    // The record's picture becomes picture (platform bitmaps never change, so it is
    // shared, not copied) and its thumbnail is made anew for the list's thumbnail box.
    void SetPicture(const PictureHandle& picture);
    // A quarter turn of the record's picture and its thumbnail; nothing without one.
    void RotateLeft();
    void RotateRight();

    // The id the list gave the tile.
    std::int32_t Id() const { return listData; }
    ListView* List() const { return list; }
    // The owning list as the forms above the list see it; null before a list took it.
    TileList* Tiles() const;
    // Called by the list that takes the tile.
    void SetList(ListView* owner) { list = owner; }
    // The record; a copy of the handle, taken under the tile's lock.
    std::shared_ptr<ImageData> Data() const;
    // Replaces the record under the tile's lock.
    void SetData(std::shared_ptr<ImageData> record);
    bool IsHovered() { return (GetState() & Hovered) != 0; }
    bool IsSelected() { return (GetState() & Selected) != 0; }

    // Check mark of picker tiles (non-zero: checked).
    std::int32_t checked = 0;

protected:
    // The rectangle moved up by the list's scroll position (window coordinates).
    Platform::RECT ViewRect();
    // The user's edited picture replaces the record's, with a thumbnail that fits the
    // list's thumbnail box; nothing while an upload runs.
    void ReplacePicture(const PictureHandle& picture);
    enum class Turn { Left, Right };
    // Turns the record's picture (a record not read yet turns once it is); nothing
    // while an upload runs.
    void Rotate(Turn turn);
    int ThumbBoxWidth() const;
    int ThumbBoxHeight() const;

    // Owning list; not owned. Set by the list's AddItem.
    ListView* list = nullptr;
    // Orders drawing the thumbnail with every replacement of the record or of its
    // picture and thumbnail; the loader thread takes it from outside the window thread.
    mutable std::mutex lock;
    // Guarded by lock when written; read on the window thread.
    std::shared_ptr<ImageData> data;
};
