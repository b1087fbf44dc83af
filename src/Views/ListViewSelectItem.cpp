#include "Views/ListViewSelectItem.h"

#include "Biz/ImageData.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "UI/CombinBitmap.h"
#include "UI/EventArgs.h"
#include "UI/UiDrawing.h"
#include "Views/ListView.h"

using namespace Platform;

namespace {

constexpr COLORREF kCaptionColor = 0x333333;
constexpr int kCentred = 1;

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
            DrawPictureCentered(graphics, data->Thumbnail().get(), thumbArea);
            caption = data->fileName;
        }
    }
    if (IsHovered() || checked) {
        const COLORREF accent = list ? list->AccentColor() : 0xE9B454;
        DrawOutline(graphics, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, accent, 1.0f);
    }
    if (checked)
        CombinBitmap::Instance().DrawCell(graphics, L"Check", rect.left + 1, rect.top + 1);
    DrawCaption(graphics, caption, GetTextRect(rect), kCaptionColor, kCentred);
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
