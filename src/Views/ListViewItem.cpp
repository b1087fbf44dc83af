#include "Views/ListViewItem.h"

#include "Biz/ImageData.h"
#include "Biz/AppState.h"
#include "Platform/Win/Painting.h"
#include "UI/EventArgs.h"
#include "Views/ListView.h"

#include <cmath>

using namespace Platform;

namespace {

bool Overlaps(const RECT& rect, int top, int bottom)
{
    return rect.bottom > top && rect.top < bottom;
}

} // namespace

ListViewItem::ListViewItem() = default;

TileList* ListViewItem::Tiles() const
{
    return list;
}

ListViewItem::~ListViewItem() = default;

void ListViewItem::SetChecked(std::int32_t value)
{
    checked = value;
    Redraw();
}

void ListViewItem::SetState(std::int32_t value)
{
    GetState() = value;
    Redraw();
}

int ListViewItem::HitButton(POINT)
{
    return 0;
}

void ListViewItem::CommitRemark(const std::wstring&) {}

void ListViewItem::Paint(Zivoro::UI::CPaintEventArgs* args, int scrollPosition)
{
    RECT moved = GetBounds();
    moved.top -= scrollPosition;
    moved.bottom -= scrollPosition;
    Draw(args, moved);
}

bool ListViewItem::SameFile(ListViewItem* other)
{
    const std::shared_ptr<ImageData> mine = Data(), theirs = other ? other->Data() : nullptr;
    return mine && theirs && mine->path == theirs->path;
}

bool ListViewItem::HasPath(const std::wstring& path)
{
    const std::shared_ptr<ImageData> record = Data();
    return record && record->path == path;
}

void ListViewItem::Select(POINT)
{
    GetState() |= Selected;
    Redraw();
}

void ListViewItem::OnMouseDown(POINT point)
{
    if (HitTest(point))
        GetState() |= Selected;
    else
        GetState() = 0;
    Redraw();
}

void ListViewItem::OnMouseUp(POINT) {}

void ListViewItem::OnMouseMove(POINT point)
{
    if (HitTest(point)) {
        if (IsHovered())
            return;
        GetState() |= Hovered;
    } else {
        GetState() &= ~Hovered;
    }
    Redraw();
}

void ListViewItem::OnMouseLeave()
{
    if (!IsHovered())
        return;
    GetState() &= ~Hovered;
    Redraw();
}

RECT ListViewItem::GetThumbRect(RECT rect)
{
    const std::shared_ptr<ImageData> record = Data();
    if (!record || !record->Picture())
        return RECT{};
    return RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 30};
}

RECT ListViewItem::GetTextRect(RECT rect)
{
    const int boxHeight = list ? list->ThumbHeight() : 120;
    return RECT{rect.left + 1, rect.top + boxHeight + 1, rect.right - 1, rect.bottom - 1};
}

void ListViewItem::AddCheckedSize(std::int64_t&) {}

void ListViewItem::Deselect()
{
    GetState() &= ~Selected;
    Redraw();
}

void ListViewItem::Redraw()
{
    if (!IsVisible())
        return;
    const RECT moved = ViewRect();
    InvalidateRect(list->GetHwnd(), &moved, FALSE);
}

bool ListViewItem::IsVisible()
{
    if (!list)
        return false;
    const int top = list->ScrollPosition();
    return Overlaps(GetBounds(), top, top + list->ClientHeight());
}

void ListViewItem::LoadData(const std::wstring& path)
{
    auto record = std::make_shared<ImageData>(path);
    SetData(std::move(record));
}

void ListViewItem::SetPicture(const PictureHandle& picture)
{
    ReplacePicture(picture);
    Redraw();
}

void ListViewItem::RotateLeft()
{
    Rotate(Turn::Left);
}

void ListViewItem::RotateRight()
{
    Rotate(Turn::Right);
}

std::shared_ptr<ImageData> ListViewItem::Data() const
{
    std::lock_guard<std::mutex> guard(lock);
    return data;
}

void ListViewItem::SetData(std::shared_ptr<ImageData> record)
{
    std::shared_ptr<ImageData> old;
    {
        std::lock_guard<std::mutex> guard(lock);
        old = std::exchange(data, std::move(record));
    }
    // The old record, when this was its last holder, goes outside the lock.
}

RECT ListViewItem::ViewRect()
{
    RECT moved = GetBounds();
    const int position = list ? list->ScrollPosition() : 0;
    moved.top -= position;
    moved.bottom -= position;
    return moved;
}

void ListViewItem::ReplacePicture(const PictureHandle& picture)
{
    const std::shared_ptr<ImageData> record = Data();
    if (!record || !picture || AppState::Instance().IsUploading())
        return;
    const double scale = ImageData::ScreenScale();
    record->ReplacePicture(picture,
                           MakeFittedThumbnail(picture, static_cast<int>(std::lround(ThumbBoxWidth() * scale)),
                                               static_cast<int>(std::lround(ThumbBoxHeight() * scale))),
                           scale);
}

void ListViewItem::Rotate(Turn turn)
{
    // The upload threads read the pictures while a task runs.
    const std::shared_ptr<ImageData> record = Data();
    if (!record || AppState::Instance().IsUploading())
        return;
    record->Turn(turn == Turn::Left ? -1 : 1, ThumbBoxWidth(), ThumbBoxHeight());
    Redraw();
}

int ListViewItem::ThumbBoxWidth() const
{
    return list ? list->ThumbWidth() : 148;
}

int ListViewItem::ThumbBoxHeight() const
{
    return list ? list->ThumbHeight() : 120;
}
