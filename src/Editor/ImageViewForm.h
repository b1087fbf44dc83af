#pragma once
// The preview: one picture of the upload list shown large in a borderless topmost
// window of its own, with a close button and arrows that step through the list. It
// is not modal; it deletes itself once its window is gone, which happens on Esc, on
// losing the keyboard focus and through its close button.
//
// The form keeps the record it shows and the id of its tile. The list may change
// under it (the end of an upload removes the sent tiles): the form finds its tile
// again by id, and when the tile has gone the arrows step from the place it had.

#include "Imaging/Picture.h"
#include "Platform/Signal.h"
#include "UI/Controls/Button.h"
#include "UI/FormBase.h"

#include <memory>

class ImageData;
class ListViewItem;
class TileList;

class ImageViewForm : public FormBase {
public:
    static constexpr int MinimumWidth = 613;
    static constexpr int MinimumHeight = 413;

    explicit ImageViewForm(ListViewItem* tile);
    ~ImageViewForm() override;

    // Opens a preview of the tile on the heap; it deletes itself when it closes.
    static ImageViewForm* Open(ListViewItem* tile);
    // Closes every preview stepping through list (the list is going away).
    static void CloseAllOf(const TileList* list);

    // Creates, sizes, shows and centres the window.
    void Show();
    void ShowPrevious();
    void ShowNext();
    void UpdateArrows();
    // The window size for the record's picture: fitted into the work area on both
    // sides, and at least the minimum size.
    Platform::SIZE ComputeWindowSize(const std::shared_ptr<ImageData>& shown) const;
    // Asks the window to close once the current message has been handled.
    void Close();

    bool ProcessWindowMessage(Platform::HWND window, Platform::UINT message, Platform::WPARAM wParam,
                              Platform::LPARAM lParam, Platform::LRESULT& result) override;
    void OnPaint(Zivoro::UI::CPaintEventArgs* args) override;

    std::int32_t index = 0;
    std::shared_ptr<ImageData> record;
    TileList* list = nullptr;
    Zivoro::UI::Controls::Button closeButton, previousButton, nextButton;

private:
    static Platform::LRESULT Procedure(Platform::HWND window, Platform::UINT message, Platform::WPARAM wParam,
                                       Platform::LPARAM lParam);
    // Where the shown tile stands in the list now; false when it has left the list,
    // with index then the place it had (at most the number of tiles).
    bool FindShownTile();
    int PreviousIndex();
    int NextIndex();
    void ShowAt(int position);
    // The picture at the size it is shown, made once per record.
    void PreparePicture();

    std::int32_t tileId = -1;
    // The window that was active, and the one with the focus, when the preview
    // opened: they get both back when it closes and nothing else took them.
    Platform::HWND returnActive = nullptr;
    Platform::HWND returnFocus = nullptr;
    // Made for the window's device pixels; it shows at shownSize logical pixels.
    PictureHandle shownPicture;
    Platform::SIZE shownSize{};
    // What shownPicture was made for.
    std::shared_ptr<ImageData> preparedRecord;
    Platform::SIZE preparedSize;
    double preparedScale = 1.0;
    Platform::ScopedConnection listChanged;
};
