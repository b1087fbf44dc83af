#include "Views/ListViewSelectItem.h"

#include "Biz/ImageData.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Gdiplus/Graphics.h"
#include "UI/CombinBitmap.h"
#include "UI/EventArgs.h"
#include "UI/UiDrawing.h"
#include "Views/ListView.h"

#include <algorithm>
#include <cmath>

using namespace Platform;

namespace {

constexpr COLORREF kCaptionColor = 0x333333;

// The thumbnail at its own size (its pixels over the density it was made at), centred,
// or scaled down to fit when it is larger than the area, so that a tall picture does
// not spill over the tile's edge.
void DrawThumbnailInside(Gdiplus::Graphics& graphics, const Gdiplus::Bitmap* thumbnail, double density,
                         const RECT& area)
{
    if (!thumbnail || !(density > 0))
        return;
    const double width = thumbnail->GetWidth() / density, height = thumbnail->GetHeight() / density;
    const int areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
    if (std::lround(width) <= areaWidth && std::lround(height) <= areaHeight) {
        DrawPictureCentered(graphics, thumbnail, area, density);
        return;
    }
    const double scale = std::min(areaWidth / width, areaHeight / height);
    const int fittedWidth = std::max(1, static_cast<int>(width * scale));
    const int fittedHeight = std::max(1, static_cast<int>(height * scale));
    const int left = (area.left + area.right) / 2 - fittedWidth / 2;
    const int top = (area.top + area.bottom) / 2 - fittedHeight / 2;
    DrawPictureStretched(graphics, thumbnail, RECT{left, top, left + fittedWidth, top + fittedHeight});
}

} // namespace

ListViewSelectItem::ListViewSelectItem(std::shared_ptr<ImageData> record)
{
    SetData(std::move(record));
}

void ListViewSelectItem::Draw(Zivoro::UI::CPaintEventArgs* args, RECT rect)
{
    Gdiplus::Graphics& graphics = *args->graphics;
    const RECT thumbArea = GetThumbRect(rect);
    std::wstring caption;
    {
        std::lock_guard<std::mutex> guard(lock);
        if (data) {
            DrawThumbnailInside(graphics, data->Thumbnail().get(), data->ThumbnailScale(), thumbArea);
            caption = data->fileName;
        }
    }
    if (IsHovered() || checked) {
        const COLORREF accent = list ? list->AccentColor() : 0xE9B454;
        DrawOutline(graphics, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, accent, 1.0f);
    }
    if (checked)
        CombinBitmap::Instance().DrawCell(graphics, L"Check", rect.left + 1, rect.top + 1);
    DrawCaption(graphics, caption, GetTextRect(rect), kCaptionColor, TextAlignment::Centre);
}

void ListViewSelectItem::Select(POINT)
{
    checked = !checked;
    GetState() |= Selected;
    Redraw();
}

void ListViewSelectItem::OnMouseDown(POINT)
{
    GetState() |= Selected;
    checked = !checked;
    Redraw();
    if (!list)
        return;
    list->AddToSelection(this);
    list->SetAnchor(Id());
}

void ListViewSelectItem::AddCheckedSize(std::int64_t& sum)
{
    const std::shared_ptr<ImageData> record = Data();
    if (checked && record)
        sum += record->fileSize;
}
