#include "Control/MainView.h"

#include "Biz/AppConfig.h"
#include "Biz/AppState.h"
#include "Biz/FileAdmission.h"
#include "Biz/ImageData.h"
#include "Biz/UiText.h"
#include "Biz/UploadItem.h"
#include "Biz/UploadManager.h"
#include "Control/ControlDropTarget.h"
#include "Editor/ImageEditForm.h"
#include "Editor/ImageViewForm.h"
#include "Imaging/PictureTypes.h"
#include "Imaging/ImageLister.h"
#include "Platform/Controls/ControlMessages.h"
#include "Platform/Ole/DragDrop.h"
#include "Platform/Win/Clock.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Window.h"
#include "UI/CMessageDialog.h"
#include "Views/CFileAddDialog.h"
#include "UI/EventArgs.h"
#include "UI/HostPainting.h"
#include "UI/Skin.h"
#include "UI/UiDrawing.h"
#include "UI/UiFontSet.h"
#include "Views/ListViewItem.h"
#include "Views/ListViewPostItem.h"
#include "Views/FormatRegistry.h"

#include <algorithm>
#include <iterator>

using namespace Platform;

namespace {

constexpr COLORREF kBandBorder = 0xE1C5A6;
constexpr COLORREF kTopBandFill = 0xFDF2E6;
constexpr COLORREF kSecondBandFill = 0xFEF6F0;
constexpr COLORREF kListAreaFill = 0xF3F3F3;
constexpr int kTopBandBottom = 32;
constexpr int kSecondBandTop = 31;
constexpr int kListTop = 57;

constexpr TextId kSortOrders[] = {TextId::SortDefault, TextId::SortByName, TextId::SortByCreated, TextId::SortByTaken};
// The sort box is at least this wide, and wide enough for its longest order and arrow.
constexpr int kSortBoxWidth = 86;
constexpr int kSortBoxChrome = 24;
// The empty-state hint is centred as a box at least this wide.
constexpr int kDropHintWidth = 227;
// Space kept between the measured controls placed from the toolbar's right end.
constexpr int kToolbarGap = 7;
// The band's progress text changes at most this often, in milliseconds.
constexpr std::uint64_t kOverallInterval = 250;

// The box lists the orders in the list's numbering; an index it does not have keeps
// the order the tiles came in.
ListView::SortOrder SortOrderAt(int index)
{
    const bool listed = index >= 0 && index < static_cast<int>(std::size(kSortOrders));
    return listed ? static_cast<ListView::SortOrder>(index) : ListView::SortOrder::ById;
}

} // namespace

MainView::MainView() = default;

MainView::~MainView()
{
    // A preview open on the list would step through a list that is gone.
    ImageViewForm::CloseAllOf(&list);
    DisconnectAll();
    if (dropTarget) {
        dropTarget->Detach();
        dropTarget->Release();
    }
}

void MainView::DisconnectAll()
{
    for (const Platform::Connection& connection : connections)
        connection.disconnect();
    connections.clear();
}

void MainView::OnCreate(HWND controlWindow)
{
    for (ControlBase* child : children)
        child->parent = nullptr;
    children.clear();
    DisconnectAll();
    SetUpSkin();
    window = controlWindow;
    hwnd = controlWindow;
    sortIndex = 0;

    BuildList();
    BuildToolbar();
    BuildEmptyState();
    BuildLinks();
    BuildSortBox();
    hintLabel.Create(this, L"");
    hintLabel.SetMargins(8, 39, 0, 0);
    ApplyTexts();
    ShowListState();

    FormatRegistry::Instance().RegisterFormat(L"ListViewItem");
    if (!dropTarget)
        dropTarget = new ControlDropTarget(this);
    dropTarget->SetEnabled(true);
    RegisterDragDrop(window, dropTarget);
}

void MainView::BuildList()
{
    list.Attach(this);
    list.SetItemWidth(150);
    list.SetItemHeight(151);
    list.SetAnchors(AnchorTop | AnchorBottom | AnchorLeft | AnchorRight);
    list.SetMargins(1, kListTop, 1, 1);
    list.SetEditable(1);
    connections.push_back(list.SelectionChanged.connect([this](int value) { OnSelectionChanged(value); }));
    connections.push_back(list.ItemsRemoved.connect([this](int id) { OnItemsRemoved(id); }));
    connections.push_back(list.ItemActivated.connect([this](ListViewItem* tile) { OnItemActivated(tile); }));
    connections.push_back(list.FilesDropped.connect([this] { OnFilesDropped(); }));
    connections.push_back(
        list.EditRequested.connect([](ListViewItem* tile) { ImageEditForm::Edit(tile, GetActiveWindow()); }));
    connections.push_back(list.ViewRequested.connect([](ListViewItem* tile) { ImageViewForm::Open(tile); }));
    // Files dropped on the shown list become upload tiles too.
    list.makeDroppedTile = [this](const std::wstring& path) -> std::unique_ptr<ListViewItem> {
        return std::make_unique<ListViewPostItem>(&list, path);
    };
    list.SetVisible(0);
}

void MainView::BuildToolbar()
{
    struct ToolbarButton {
        Zivoro::UI::Controls::Button& button;
        int left;
        void (MainView::*handler)();
    };
    const ToolbarButton buttons[] = {
        {addButton, 6, &MainView::OnAddClicked},
        {uploadButton, 94, &MainView::OnUploadClicked},
        {cancelButton, 94, &MainView::OnCancelClicked},
    };
    for (const ToolbarButton& entry : buttons) {
        entry.button.Create(this, L"");
        entry.button.SetMargins(entry.left, 4, 0, 0);
        entry.button.SetSize(84, 24);
        entry.button.SetDisabled(0);
        entry.button.SetVisible(1);
        connections.push_back(entry.button.clicked.connect([this, handler = entry.handler] { (this->*handler)(); }));
    }
    cancelButton.SetVisible(0);

    selectAllBox.Create(this, L"");
    selectAllBox.SetAnchors(AnchorTop | AnchorRight);
    selectAllBox.SetMargins(0, 7, 0, 0);
    selectAllBox.SetChecked(0);
    selectAllBox.SetDisabled(0);
    connections.push_back(selectAllBox.changed.connect([this] { OnSelectAllChanged(); }));
}

void MainView::BuildEmptyState()
{
    bigAddButton.Create(this, L"");
    bigAddButton.SetAnchors(AnchorTop | CenterHorizontal);
    bigAddButton.SetMargins(268, 228, 0, 0);
    bigAddButton.SetSize(203, 51);
    connections.push_back(bigAddButton.clicked.connect([this] { OnAddClicked(); }));

    dropHint.Create(this, L"");
    dropHint.SetFormat(32);
    dropHint.SetAnchors(AnchorTop | CenterHorizontal);
    dropHint.SetMargins(0, 298, 0, 0);
}

void MainView::BuildLinks()
{
    struct Link {
        Zivoro::UI::Controls::IconLabel& label;
        const char* image;
        void (MainView::*handler)(ControlBase*);
    };
    const Link links[] = {
        {editIcon, "IcoEdit", &MainView::OnEditClicked},
        {rotateLeftIcon, "RotatioLeft", &MainView::OnRotateLeftClicked},
        {rotateRightIcon, "RotatioRight", &MainView::OnRotateRightClicked},
        {deleteIcon, "Btn_Delete", &MainView::OnDeleteClicked},
    };
    for (const Link& link : links) {
        link.label.Create(this, L"", link.image);
        link.label.SetAnchors(AnchorTop | AnchorRight);
        link.label.SetMargins(0, 7, 0, 0);
        link.label.SetDisabled(1);
        connections.push_back(link.label.clicked.connect(
            [this, handler = link.handler](ControlBase* sender) { (this->*handler)(sender); }));
    }
}

void MainView::BuildSortBox()
{
    sortBox.Attach(this);
    sortBox.SetAnchors(AnchorTop | AnchorRight);
    sortBox.SetMargins(0, 4, 0, 0);
    connections.push_back(sortBox.selectionChanged.connect([this](int index) { OnSortChanged(index); }));
}

void MainView::ApplyTexts()
{
    addButton.SetImages(CaptionedSkin("BtnAdd-Normal"), CaptionedSkin("BtnAdd-Hover"), CaptionedSkin("BtnAdd-Hover"),
                        CaptionedSkin("BtnAdd-Disable"));
    uploadButton.SetImages(CaptionedSkin("BtnPost-Normal"), CaptionedSkin("BtnPost-Hover"),
                           CaptionedSkin("BtnPost-Hover"), CaptionedSkin("BtnPost-Disable"));
    const std::string cancelFace = CaptionedSkin("BtnPost-Cancel");
    cancelButton.SetImages(cancelFace, cancelFace, cancelFace, cancelFace);
    bigAddButton.SetImages(CaptionedSkin("BtnAdd2-Normal"), CaptionedSkin("BtnAdd2-Hover"),
                           CaptionedSkin("BtnAdd2-Hover"), "");

    selectAllBox.SetText(UiText::Get(TextId::SelectAll));
    editIcon.SetText(UiText::Get(TextId::Edit));
    rotateLeftIcon.SetText(UiText::Get(TextId::TurnLeft));
    rotateRightIcon.SetText(UiText::Get(TextId::TurnRight));
    deleteIcon.SetText(UiText::Get(TextId::Delete));
    hintLabel.SetText(UiText::Get(TextId::ToolbarHint));
    dropHint.SetText(UiText::Get(TextId::DropHint));
    dropHint.SetSize(std::max(kDropHintWidth, static_cast<int>(dropHint.bounds.right - dropHint.bounds.left)), 0);
    FillSortBox();
    PlaceToolbarFromRight();
}

void MainView::FillSortBox()
{
    const HWND box = sortBox.GetHwnd();
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    int widest = 0;
    const HDC dc = GetDC(hwnd);
    for (TextId order : kSortOrders) {
        const std::wstring text = UiText::Get(order);
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        widest = std::max(
            widest,
            static_cast<int>(MeasureText(dc, text, static_cast<int>(text.size()), UiFontSet::Instance().font).cx));
    }
    ReleaseDC(hwnd, dc);
    SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(sortIndex), 0);
    sortBox.SetSize(std::max(kSortBoxWidth, widest + kSortBoxChrome), 70);
}

// The links and select all keep the design's right margins while their texts fit;
// a longer text pushes everything left of it further left, so nothing overlaps.
void MainView::PlaceToolbarFromRight()
{
    struct Placed {
        ControlBase& control;
        int designMargin;
        int width;
        // How far the control draws right of its bounds.
        int overhang;
    };
    const Placed row[] = {
        {sortBox, 10, sortBox.size.cx, 0},
        {deleteIcon, 103, deleteIcon.size.cx, 0},
        {rotateRightIcon, 157, rotateRightIcon.size.cx, 0},
        {rotateLeftIcon, 211, rotateLeftIcon.size.cx, 0},
        {editIcon, 266, editIcon.size.cx, 0},
        {selectAllBox, 326, selectAllBox.size.cx + selectAllBox.boxWidth, selectAllBox.TextOverhang()},
    };
    int reached = 0;
    for (const Placed& placed : row) {
        const int margin = std::max(placed.designMargin, reached + placed.overhang);
        placed.control.SetMargins(0, placed.control.margins.top, margin, 0);
        reached = margin + placed.width + kToolbarGap;
    }
}

void MainView::OnLanguageChanged()
{
    ApplyTexts();
    LayoutChildren();
    list.InvalidateAll();
}

void MainView::OnDestroy()
{
    DestroyWindows();
    if (window)
        RevokeDragDrop(window);
    ImageLister::Instance().Clear();
    window = nullptr;
}

void MainView::PaintWindow()
{
    PAINTSTRUCT paint;
    const HDC target = BeginPaint(window, &paint);
    Zivoro::UI::PaintControlWindowTree(*this, target, paint.rcPaint);
    EndPaint(window, &paint);
}

void MainView::OnPaint(Zivoro::UI::CPaintEventArgs* args)
{
    PaintBox(args->dc, bounds, kBandBorder, kTopBandFill);
    PaintBox(args->dc, RECT{bounds.left, bounds.top, bounds.right, kTopBandBottom}, kBandBorder, kTopBandFill);
    PaintBox(args->dc, RECT{bounds.left, kSecondBandTop, bounds.right, kListTop}, kBandBorder, kSecondBandFill);
    PaintFill(args->dc, RECT{1, kListTop, bounds.right - 1, bounds.bottom - 1}, kListAreaFill);
    ControlBase::OnPaint(args);
}

void MainView::LayoutChildren()
{
    bounds = RECT{};
    if (window)
        GetClientRect(window, &bounds);
    ControlBase::LayoutChildren();
    Invalidate();
}

bool MainView::ListIsEmpty() const
{
    return list.IsEmpty();
}

void MainView::ShowListState()
{
    const bool empty = ListIsEmpty();
    if (list.visible == empty)
        list.SetVisible(!empty);
    bigAddButton.SetVisible(empty);
    dropHint.SetVisible(empty);
    uploadButton.SetDisabled(empty);
}

void MainView::UpdateLinks()
{
    const bool enabled = !list.GetSelection().empty() && !AppState::Instance().IsUploading();
    for (ControlBase* link : {&editIcon, &rotateLeftIcon, &rotateRightIcon, &deleteIcon})
        if (link->disabled == enabled)
            link->SetDisabled(!enabled);
}

void MainView::OnFilesAdded()
{
    list.Layout();
    list.UpdateScrollBar();
    InvalidateRect(list.GetHwnd(), nullptr, FALSE);
    ShowListState();
}

void MainView::AddPicture(const std::wstring& path)
{
    if (!list.ContainsPath(path))
        list.AddItem(std::make_unique<ListViewPostItem>(&list, path));
}

void MainView::OnDropFiles(HDROP drop)
{
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    if (count < 1)
        return;
    for (UINT i = 0; i < count; ++i) {
        // Read whole: a path cut to a buffer could name another file. A full list
        // refuses each file, so that every refused file is reported.
        const std::wstring path = DragQueryFilePath(drop, i);
        if (!list.ContainsPath(path) && FileAdmission::Instance().Admit(path, PictureRule::WindowDrop, list.Count()))
            AddPicture(path);
    }
    OnFilesAdded();
}

void MainView::RefreshProgress(const UploadItem* item)
{
    if (auto* tile = dynamic_cast<ListViewPostItem*>(TileOf(item)))
        tile->RefreshProgress();
}

void MainView::MarkComplete(const UploadItem* item)
{
    if (auto* tile = dynamic_cast<ListViewPostItem*>(TileOf(item)))
        tile->MarkComplete();
}

void MainView::MarkFailed(const UploadItem* item, const std::string& code, const std::wstring& reason)
{
    if (auto* tile = dynamic_cast<ListViewPostItem*>(TileOf(item)))
        tile->MarkFailed(code, reason);
}

void MainView::MarkRetry(const UploadItem* item, int attempt, int most)
{
    if (auto* tile = dynamic_cast<ListViewPostItem*>(TileOf(item)))
        tile->MarkRetry(attempt, most);
}

void MainView::ShowOverallProgress(bool forced)
{
    if (!overall.Running() || !AppConfig::Instance().ShowUploadFeedback)
        return;
    const std::uint64_t now = GetTickCount64();
    if (!forced && now - overallShown < kOverallInterval)
        return;
    overallShown = now;
    hintLabel.SetText(overall.Text(now));
}

LRESULT MainView::OnMouseWheel(WPARAM wParam, LPARAM lParam)
{
    SendMessageW(list.GetHwnd(), WM_MOUSEWHEEL, wParam, lParam);
    return 1;
}

ListViewItem* MainView::TileOf(const UploadItem* item) const
{
    if (!item)
        return nullptr;
    for (ListViewItem* tile : list.Items())
        if (dynamic_cast<const UploadItem*>(tile) == item)
            return tile;
    return nullptr;
}

void MainView::OnAddClicked()
{
    CFileAddDialog dialog;
    dialog.SetMainList(&list);
    dialog.DoModal(GetActiveWindow());
    OnFilesAdded();
}

void MainView::OnUploadClicked()
{
    if (ListIsEmpty()) {
        CMessageDialog dialog;
        dialog.SetMessage(UiText::Get(TextId::EmptyList));
        dialog.DoModal(GetActiveWindow());
        return;
    }
    // A remark being typed belongs to the upload that starts now.
    list.CommitEditing();
    list.SetEditable(0);
    std::vector<std::shared_ptr<ImageData>> files;
    for (ListViewItem* tile : list.Items()) {
        if (auto* post = dynamic_cast<ListViewPostItem*>(tile)) {
            post->ForgetOutcome();
            if (std::shared_ptr<ImageData> file = post->File())
                files.push_back(std::move(file));
        }
    }
    AppState::Instance().SetUploading();
    uploadButton.SetVisible(0);
    cancelButton.SetVisible(1);
    addButton.SetDisabled(1);
    selectAllBox.SetDisabled(1);
    // The links act on tiles the upload threads are reading.
    UpdateLinks();
    list.InvalidateAll();
    overall.Start(std::move(files), GetTickCount64());
    ShowOverallProgress(true);
    uploadStarted();
    // A task that cannot start (one of an earlier control still runs) would leave the
    // view waiting for an end that never comes.
    if (!UploadManager::Instance().StartTask())
        OnTaskEnd();
}

void MainView::OnCancelClicked()
{
    UploadManager::Instance().Stop();
}

void MainView::OnTaskEnd()
{
    // The list deletes nothing while an upload runs, so the state ends first.
    AppState::Instance().SetEnded();
    for (UploadItem* item : UploadManager::Instance().succeededItems())
        if (ListViewItem* tile = TileOf(item))
            list.RemoveItem(tile->Id());
    RestoreToolbar();
    if (overall.Running() && AppConfig::Instance().ShowUploadFeedback)
        hintLabel.SetText(UiText::Get(TextId::ToolbarHint));
    overall.Stop();
    list.SetEditable(1);
    UpdateLinks();
    list.InvalidateAll();
    ShowListState();
}

void MainView::RestoreToolbar()
{
    uploadButton.SetVisible(1);
    cancelButton.SetVisible(0);
    addButton.SetDisabled(0);
    selectAllBox.SetDisabled(0);
}

void MainView::OnSelectAllChanged()
{
    list.SelectAll(selectAllBox.IsChecked());
    OnSelectionChanged(0);
}

void MainView::OnSelectionChanged(int)
{
    if (list.GetSelection().empty())
        selectAllBox.SetChecked(0);
    UpdateLinks();
}

void MainView::OnItemsRemoved(int)
{
    if (ListIsEmpty())
        ShowListState();
    // Removed tiles leave the selection: select all and the links follow it.
    OnSelectionChanged(0);
}

void MainView::OnItemActivated(ListViewItem* tile)
{
    ImageViewForm::Open(tile);
}

void MainView::OnFilesDropped()
{
    if (!ListIsEmpty() && !IsWindowVisible(list.GetHwnd()))
        ShowListState();
}

void MainView::OnSortChanged(int index)
{
    if (AppState::Instance().IsUploading()) {
        // The list keeps its order while it is sent; the box says so again.
        SendMessageW(sortBox.GetHwnd(), CB_SETCURSEL, static_cast<WPARAM>(sortIndex), 0);
        return;
    }
    sortIndex = index;
    if (!ListIsEmpty())
        list.Sort(SortOrderAt(index));
}

void MainView::OnEditClicked(ControlBase*)
{
    // The first selected tile is edited; the editor refuses while an upload runs.
    const std::vector<ListViewItem*>& selected = list.GetSelection();
    if (!selected.empty())
        ImageEditForm::Edit(selected.front(), GetActiveWindow());
}

void MainView::OnRotateLeftClicked(ControlBase*)
{
    for (ListViewItem* tile : list.GetSelection())
        tile->RotateLeft();
}

void MainView::OnRotateRightClicked(ControlBase*)
{
    for (ListViewItem* tile : list.GetSelection())
        tile->RotateRight();
}

void MainView::OnDeleteClicked(ControlBase*)
{
    list.DeleteSelected();
}
