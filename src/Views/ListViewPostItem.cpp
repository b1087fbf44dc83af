#include "Views/ListViewPostItem.h"

#include "Biz/AppConfig.h"
#include "Biz/AppState.h"
#include "Biz/ImageData.h"
#include "Biz/UiText.h"
#include "Platform/Controls/ControlMessages.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Gdiplus/Graphics.h"
#include "Platform/Gdiplus/GraphicsTypes.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Window.h"
#include "UI/CombinBitmap.h"
#include "UI/EventArgs.h"
#include "UI/UiDrawing.h"
#include "UI/UiFontSet.h"
#include "Views/ListView.h"
#include "Views/ListViewSelectItem.h"

#include <boost/format.hpp>

#include <algorithm>
#include <cmath>

using namespace Platform;

namespace {

constexpr COLORREF kOutlineColor = 0xE1E1E1;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr std::uint32_t kButtonStrip = 0xAA000000;
constexpr std::uint32_t kBandShade = 0x5A000000;
constexpr std::uint32_t kBandFill = 0xD2ABD369;
constexpr std::uint32_t kFailureFill = 0xE0C8372D;
constexpr std::uint32_t kCancelledFill = 0xD2707070;
constexpr UINT kReasonFormat = DT_WORDBREAK | DT_NOPREFIX;
// The caption is the user's text as it is: an "&" is no mnemonic prefix.
constexpr UINT kRemarkFormat = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;

bool Contains(const RECT& rect, POINT point)
{
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

RECT Square(int left, int top)
{
    return RECT{left, top, left + 16, top + 16};
}

void Fill(Gdiplus::Graphics& graphics, std::uint32_t argb, const RECT& rect)
{
    const Gdiplus::SolidBrush brush{Gdiplus::Color(argb)};
    graphics.FillRectangle(&brush, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

// The band a tile shows its progress in.
RECT Band(const RECT& rect)
{
    return RECT{rect.left + 1, rect.top + 96, rect.right - 1, rect.bottom - 30};
}

} // namespace

ListViewPostItem::ListViewPostItem(ListView* owner, const std::wstring& path)
    : madeDuringTask(AppState::Instance().IsUploading() ? AppState::Instance().TaskNumber() : 0)
{
    list = owner;
    LoadData(path);
}

void ListViewPostItem::SetBounds(RECT rect)
{
    ListViewItem::SetBounds(rect);
    const int L = rect.left, T = rect.top, R = rect.right, B = rect.bottom;
    deleteButton = RECT{R - 16, T, R, T + 16};
    rotateLeftButton = Square(L + 13, B - 53);
    rotateRightButton = Square(L + 41, B - 53);
    editButton = Square(L + 69, B - 53);
    viewButton = Square(L + 126, B - 53);
    remarkStrip = RECT{L, B - 30, R, B};
}

int ListViewPostItem::HitButton(POINT point)
{
    for (const RECT& button :
         {deleteButton, rotateLeftButton, rotateRightButton, editButton, viewButton, remarkStrip}) {
        if (Contains(button, point))
            return 1;
    }
    return 0;
}

RECT ListViewPostItem::GetThumbRect(RECT rect)
{
    return RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 30};
}

RECT ListViewPostItem::GetTextRect(RECT rect)
{
    return RECT{rect.left + 3, rect.top + 120, rect.right, rect.bottom};
}

void ListViewPostItem::OnMouseDown(POINT point)
{
    if (AppState::Instance().IsUploading())
        return;
    if (!HitTest(point)) {
        GetState() = 0;
        Redraw();
        return;
    }
    GetState() |= Selected;
    if (list) {
        list->AddToSelection(this);
        list->SetAnchor(Id());
    }
    Redraw();
}

void ListViewPostItem::OnMouseUp(POINT point)
{
    if (!IsSelected() || !list || !list->IsEditable())
        return;
    // The first button that contains the point decides, in this order.
    if (Contains(deleteButton, point))
        list->RemoveItem(Id());
    else if (Contains(editButton, point))
        OpenEditor();
    else if (Contains(rotateLeftButton, point))
        RotateLeft();
    else if (Contains(rotateRightButton, point))
        RotateRight();
    else if (Contains(remarkStrip, point))
        EditRemark();
    else if (Contains(viewButton, point))
        OpenViewer();
}

void ListViewPostItem::TakeFrom(const ListViewSelectItem& picker)
{
    GetState() = 0;
    listData = picker.Id();
    list = picker.List();
    checked = picker.checked;
    SetData(picker.Data());
}

void ListViewPostItem::OpenEditor()
{
    // The editor is modal: this tile may leave the list meanwhile, so nothing of it
    // is used after the request.
    if (list)
        list->EditRequested(this);
}

void ListViewPostItem::OpenViewer()
{
    if (list)
        list->ViewRequested(this);
}

void ListViewPostItem::EditRemark()
{
    const std::shared_ptr<ImageData> record = Data();
    if (list && record && !AppState::Instance().IsUploading())
        list->EditRemark(this, record->remark);
}

void ListViewPostItem::CommitRemark(const std::wstring& text)
{
    // An empty text keeps the remark as it was.
    const std::shared_ptr<ImageData> record = Data();
    if (record && !text.empty() && !AppState::Instance().IsUploading() && text != record->remark) {
        record->remark = text;
        failureCode.clear();
    }
    Redraw();
}

float ListViewPostItem::ProgressFraction(const ImageData& record)
{
    const std::int64_t size = record.uploadSize;
    const std::int64_t sent = record.sentBytes;
    if (size <= 0 || sent <= 0)
        return 0.0f;
    return std::clamp(static_cast<float>(sent) / static_cast<float>(size), 0.0f, 1.0f);
}

std::wstring ListViewPostItem::ProgressText(const ImageData& record, bool accepted)
{
    if (accepted)
        return UiText::Get(TextId::Uploaded);
    return std::to_wstring(static_cast<int>(ProgressFraction(record) * 100.0f)) + L"%";
}

void ListViewPostItem::MarkFailed(const std::string& code, const std::wstring& reason)
{
    const std::shared_ptr<ImageData> record = Data();
    failureCode = code;
    failureReason = reason;
    failureChanges = record ? record->ChangeCount() : 0;
    retryAttempt = 0;
    InvalidateBand();
}

void ListViewPostItem::MarkRetry(int attempt, int most)
{
    retryAttempt = attempt;
    retryMost = most;
    InvalidateBand();
}

void ListViewPostItem::ForgetOutcome()
{
    failureCode.clear();
    failureReason.clear();
    retryAttempt = 0;
}

const char* ListViewPostItem::OutcomeName() const
{
    if (accepted)
        return "sent";
    return failureCode.empty() ? "waiting" : "failed";
}

bool ListViewPostItem::ShowsFailure() const
{
    const std::shared_ptr<ImageData> record = Data();
    return AppConfig::Instance().ShowUploadFeedback && !failureCode.empty() && record &&
           record->ChangeCount() == failureChanges;
}

std::wstring ListViewPostItem::FailureBandText() const
{
    if (failureCode == "cancelled")
        return UiText::Get(TextId::UploadCancelled);
    return (boost::wformat(UiText::Get(TextId::UploadFailed)) % UiText::ReasonText(failureCode)).str();
}

bool ListViewPostItem::ShowsProgress() const
{
    const AppState& state = AppState::Instance();
    return state.IsUploading() && madeDuringTask != state.TaskNumber();
}

void ListViewPostItem::Draw(Zivoro::UI::CPaintEventArgs* args, RECT rect)
{
    Gdiplus::Graphics& graphics = *args->graphics;
    const std::shared_ptr<ImageData> record = Data();
    if (record) {
        const PictureHandle thumbnail = record->Thumbnail();
        if (record->Picture())
            DrawPictureCentered(graphics, thumbnail.get(), GetThumbRect(rect), record->ThumbnailScale());
    }
    const COLORREF outline = IsSelected() && list ? list->AccentColor() : kOutlineColor;
    DrawOutline(graphics, rect, outline, 1.0f);
    if (AppState::Instance().IsUploading()) {
        // A file that failed in the running task says so at once.
        if (ShowsProgress() && ShowsFailure())
            DrawFailure(args, rect);
        else if (ShowsProgress())
            DrawProgress(args, rect, record.get());
    } else {
        if (ShowsFailure())
            DrawFailure(args, rect);
        DrawButtons(args, rect);
    }
    if (record) {
        const UiFontSet& fonts = UiFontSet::Instance();
        PaintText(args->dc, GetTextRect(rect), record->remark, fonts.textColor, fonts.font, kRemarkFormat);
    }
}

void ListViewPostItem::DrawButtons(Zivoro::UI::CPaintEventArgs* args, const RECT& rect)
{
    if (!IsHovered())
        return;
    Gdiplus::Graphics& graphics = *args->graphics;
    const CombinBitmap& icons = CombinBitmap::Instance();
    const int L = rect.left, T = rect.top, R = rect.right, B = rect.bottom;
    icons.DrawCellStretched(graphics, L"Del", RECT{R - 17, T + 1, R - 1, T + 17});
    if (!list || !list->IsEditable())
        return;
    Fill(graphics, kButtonStrip, RECT{L + 1, T + 90, R - 1, B - 30});
    icons.DrawCellStretched(graphics, L"LeftCirc", Square(L + 12, B - 53));
    icons.DrawCellStretched(graphics, L"RightCirc", Square(L + 40, B - 53));
    icons.DrawCellStretched(graphics, L"Editor", Square(L + 68, B - 53));
    icons.DrawCellStretched(graphics, L"Search", Square(L + 125, B - 53));
}

void ListViewPostItem::DrawProgress(Zivoro::UI::CPaintEventArgs* args, const RECT& rect, const ImageData* record)
{
    Gdiplus::Graphics& graphics = *args->graphics;
    const RECT band = Band(rect);
    Fill(graphics, kBandShade, band);
    if (!record)
        return;
    const float fraction = ProgressFraction(*record);
    const int filled = static_cast<int>(static_cast<float>(band.right - band.left) * fraction);
    Fill(graphics, kBandFill, RECT{band.left, band.top, band.left + filled, band.bottom});
    std::wstring caption = ProgressText(*record, accepted);
    if (retryAttempt > 1 && !accepted)
        caption = (boost::wformat(UiText::Get(TextId::RetryFormat)) % (retryAttempt - 1) % (retryMost - 1)).str() +
                  L" " + caption;
    DrawCaption(graphics, caption, band, kWhite, TextAlignment::Centre);
}

void ListViewPostItem::DrawFailure(Zivoro::UI::CPaintEventArgs* args, const RECT& rect)
{
    Gdiplus::Graphics& graphics = *args->graphics;
    const std::uint32_t fill = failureCode == "cancelled" ? kCancelledFill : kFailureFill;
    if (!IsHovered() || failureReason.empty()) {
        const RECT band = Band(rect);
        Fill(graphics, fill, band);
        DrawCaption(graphics, FailureBandText(), band, kWhite, TextAlignment::Centre);
        return;
    }
    // Pointing at the tile shows the whole reason above its buttons, under the band's text.
    const RECT box{rect.left + 1, rect.top + 18, rect.right - 1, rect.top + 90};
    Fill(graphics, fill, box);
    const RECT heading{box.left + 4, box.top, box.right - 4, box.top + 20};
    DrawCaption(graphics, FailureBandText(), heading, kWhite, TextAlignment::Centre);
    const RECT reason{box.left + 4, heading.bottom, box.right - 4, box.bottom - 2};
    PaintText(args->dc, reason, failureReason, kWhite, UiFontSet::Instance().font, kReasonFormat);
}

void ListViewPostItem::RefreshProgress()
{
    InvalidateBand();
}

void ListViewPostItem::MarkComplete()
{
    accepted = true;
    InvalidateBand();
}

void ListViewPostItem::InvalidateBand()
{
    if (!IsVisible())
        return;
    const RECT band = Band(ViewRect());
    InvalidateRect(list->GetHwnd(), &band, FALSE);
}
