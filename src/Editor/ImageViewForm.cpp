#include "Editor/ImageViewForm.h"

#include "Biz/ImageData.h"
#include "Platform/Gdi/DeviceContext.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Gdiplus/Graphics.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Screen.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WinConstants.h"
#include "Platform/Win/WindowGeometry.h"
#include "UI/EventArgs.h"
#include "UI/UiDrawing.h"
#include "Views/ListViewItem.h"
#include "Views/TileList.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

using namespace Platform;

namespace {

constexpr wchar_t kClassName[] = L"TrellanImageView";

// The previews open on the control's thread, which alone reads and writes this.
std::vector<ImageViewForm*>& OpenForms()
{
    static std::vector<ImageViewForm*> forms;
    return forms;
}

PictureHandle PictureOf(const std::shared_ptr<ImageData>& record)
{
    if (!record)
        return nullptr;
    // A tile the list's loader has not reached yet is read now.
    record->Load();
    return record->Picture();
}

// The preview has no owner, so closing it leaves no window active: the window that
// was active gets the activation back, and its focus, unless a click on another
// window (which closed the preview) took them already.
void GiveActivationBack(HWND active, HWND focus)
{
    if (GetActiveWindow() || !IsWindow(active))
        return;
    SetActiveWindow(active);
    if (IsWindow(focus) && (focus == active || IsChild(active, focus)))
        SetFocus(focus);
}

} // namespace

ImageViewForm::ImageViewForm(ListViewItem* tile)
{
    if (tile) {
        record = tile->Data();
        list = tile->Tiles();
        tileId = tile->Id();
    }
    OpenForms().push_back(this);
}

ImageViewForm::~ImageViewForm()
{
    std::erase(OpenForms(), this);
    if (IsWindow(hwnd)) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
    }
}

ImageViewForm* ImageViewForm::Open(ListViewItem* tile)
{
    if (!tile)
        return nullptr;
    auto* form = new ImageViewForm(tile);
    form->Show();
    return form;
}

void ImageViewForm::CloseAllOf(const TileList* closing)
{
    const std::vector<ImageViewForm*> forms = OpenForms();
    for (ImageViewForm* form : forms)
        if (form->list == closing)
            delete form;
}

SIZE ImageViewForm::ComputeWindowSize(const std::shared_ptr<ImageData>& shown) const
{
    const PictureHandle picture = PictureOf(shown);
    const int width = picture ? static_cast<int>(picture->GetWidth()) : 0;
    const int height = picture ? static_cast<int>(picture->GetHeight()) : 0;
    const RECT work = WorkAreaOf(hwnd);
    const FittedSize fitted = FitInside(width, height, work.right - work.left, work.bottom - work.top);
    return SIZE{std::max(fitted.width, MinimumWidth), std::max(fitted.height, MinimumHeight)};
}

void ImageViewForm::PreparePicture()
{
    const SIZE size{bounds.right, bounds.bottom};
    HDC screen = GetDC(hwnd);
    const double scale = GetDeviceScale(screen);
    ReleaseDC(hwnd, screen);
    if (preparedRecord == record && preparedSize == size && preparedScale == scale)
        return;
    preparedRecord = record;
    preparedSize = size;
    preparedScale = scale;
    const PictureHandle picture = PictureOf(record);
    shownPicture = nullptr;
    if (!picture || picture->GetWidth() == 0)
        return;
    const int width = static_cast<int>(picture->GetWidth()), height = static_cast<int>(picture->GetHeight());
    const FittedSize fitted = FitInside(width, height, bounds.right, bounds.bottom);
    shownSize = SIZE{fitted.width, fitted.height};
    // Scaled once here, for the device pixels (never above the picture's own), so a
    // paint only copies pixels.
    const int deviceWidth = std::min(width, static_cast<int>(std::lround(fitted.width * scale)));
    const int deviceHeight = std::min(height, static_cast<int>(std::lround(fitted.height * scale)));
    shownPicture = deviceWidth == width && deviceHeight == height
                       ? picture
                       : picture->GetThumbnailImage(static_cast<UINT>(deviceWidth), static_cast<UINT>(deviceHeight));
}

void ImageViewForm::Show()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        WNDCLASSW windowClass;
        windowClass.lpfnWndProc = &ImageViewForm::Procedure;
        windowClass.lpszClassName = kClassName;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        RegisterClassW(&windowClass);
    });
    const SIZE size = ComputeWindowSize(record);
    returnActive = GetActiveWindow();
    returnFocus = GetFocus();
    hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, size.cx, size.cy, nullptr, nullptr,
                           nullptr, this);
    AttachWindow(hwnd, 0, 0, size.cx, size.cy);
    closeButton.Create(this, L"");
    closeButton.SetImages("BtnCloseVNormal", "BtnCloseVHover", "BtnCloseVHover", "BtnCloseVNormal");
    closeButton.clicked.connect([this] { Close(); });
    closeButton.SetSize(25, 25);
    closeButton.SetMargins(0, 0, 0, 0);
    closeButton.SetAnchors(AnchorTop | AnchorRight);
    previousButton.Create(this, L"");
    previousButton.SetImages("ico-left", "ico-left", "ico-left", "ico-left");
    previousButton.clicked.connect([this] { ShowPrevious(); });
    previousButton.SetSize(48, 48);
    previousButton.SetMargins(0, 0, 0, 0);
    previousButton.SetAnchors(AnchorLeft | CenterVertical);
    nextButton.Create(this, L"");
    nextButton.SetImages("ico-right", "ico-right", "ico-right", "ico-right");
    nextButton.clicked.connect([this] { ShowNext(); });
    nextButton.SetSize(48, 48);
    nextButton.SetMargins(0, 0, 0, 0);
    nextButton.SetAnchors(AnchorRight | CenterVertical);
    LayoutChildren();
    PreparePicture();
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetFocus(hwnd);
    CenterWindow(hwnd);
    if (list)
        listChanged = list->WatchRemovals([this] { UpdateArrows(); });
    FindShownTile();
    UpdateArrows();
}

bool ImageViewForm::FindShownTile()
{
    const int count = list ? list->Count() : 0;
    const int found = list ? list->IndexOf(tileId) : -1;
    if (found >= 0) {
        index = found;
        return true;
    }
    index = std::clamp(index, 0, count);
    return false;
}

int ImageViewForm::PreviousIndex()
{
    FindShownTile();
    return index - 1;
}

int ImageViewForm::NextIndex()
{
    // Where the shown tile has gone, the tile now at its place comes next.
    return FindShownTile() ? index + 1 : index;
}

void ImageViewForm::ShowPrevious()
{
    ShowAt(PreviousIndex());
}

void ImageViewForm::ShowNext()
{
    ShowAt(NextIndex());
}

void ImageViewForm::ShowAt(int position)
{
    if (!list || position < 0 || position >= list->Count())
        return;
    ListViewItem* tile = list->ItemAtIndex(position);
    index = position;
    tileId = tile->Id();
    record = tile->Data();
    const SIZE size = ComputeWindowSize(record);
    SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    CenterWindow(hwnd);
    PreparePicture();
    Invalidate();
    UpdateArrows();
}

void ImageViewForm::UpdateArrows()
{
    const int count = list ? list->Count() : 0;
    previousButton.SetVisible(PreviousIndex() >= 0 ? 1 : 0);
    nextButton.SetVisible(NextIndex() < count ? 1 : 0);
}

void ImageViewForm::Close()
{
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
}

void ImageViewForm::OnPaint(Zivoro::UI::CPaintEventArgs* args)
{
    const RECT client{0, 0, bounds.right, bounds.bottom};
    PaintFill(args->dc, client, 0xFFFFFF);
    if (shownPicture && args->graphics)
        args->graphics->DrawImage(shownPicture.get(), (client.right - shownSize.cx) / 2,
                                  (client.bottom - shownSize.cy) / 2, shownSize.cx, shownSize.cy);
    ControlBase::OnPaint(args);
}

bool ImageViewForm::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_KILLFOCUS:
        Close();
        return true;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            Close();
        return true;
    case WM_SIZE:
        FormBase::ProcessWindowMessage(window, message, wParam, lParam, result);
        PreparePicture();
        return true;
    default:
        return FormBase::ProcessWindowMessage(window, message, wParam, lParam, result);
    }
}

LRESULT ImageViewForm::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* form = reinterpret_cast<ImageViewForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_CLOSE) {
        // Posted by the form's own handlers, so none of them is still running. The
        // form is gone once the window is.
        const HWND active = form ? form->returnActive : nullptr;
        const HWND focus = form ? form->returnFocus : nullptr;
        DestroyWindow(window);
        GiveActivationBack(active, focus);
        return 0;
    }
    if (message == WM_NCDESTROY && form) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->hwnd = nullptr;
        delete form;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (form && form->ProcessWindowMessage(window, message, wParam, lParam, result))
        return result;
    return DefWindowProcW(window, message, wParam, lParam);
}
