#include "Views/CFileAddDialog.h"

#include "Biz/AppConfig.h"
#include "Biz/FileAdmission.h"
#include "Biz/ImageData.h"
#include "Biz/UiText.h"
#include "Platform/ShellApi/ByteSizeText.h"
#include "Platform/ShellApi/PathFunctions.h"
#include "Platform/ShellApi/ShellIcons.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/Screen.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WinConstants.h"
#include "UI/CMessageDialog.h"
#include "UI/FormTemplate.h"
#include "UI/Skin.h"
#include "Views/FolderPictures.h"
#include "Views/ListViewPostItem.h"
#include "Views/ListViewSelectItem.h"

#include <boost/format.hpp>

#include <algorithm>
#include <string>

using namespace Platform;
using Zivoro::Shell::Item;
using Zivoro::Shell::ItemRecord;

namespace {

constexpr int kTreeId = 3;
constexpr std::uint32_t kTreeStyle = 0x50000023;
// How long the window thread waits for a folder before it lets the read finish later.
constexpr std::chrono::milliseconds kReadWait{300};
// The shell's own names of the computer, which the tree's rules look for.
constexpr const wchar_t* kMyComputer = L"我的电脑";
constexpr const wchar_t* kComputer = L"计算机";
// At most this many checked pictures are added per use of the dialog.
constexpr int kAddLimit = 100;
// Where the size text stands, unless the count text reaches further.
constexpr int kSizeTextLeft = 371;
constexpr int kCountTextLeft = 259;
constexpr int kCountGap = 4;
constexpr int kTextTop = 496;
constexpr int kTextGap = 8;

// The desktop and the computer are named in the interface's language; every other
// item by its name in the shell.
std::wstring ShownName(const Item& item)
{
    switch (item.iconIndex) {
    case ShellIconDesktop:
        return UiText::Get(TextId::Desktop);
    case ShellIconComputer:
        return UiText::Get(TextId::Computer);
    default:
        return item.displayName;
    }
}

std::wstring FormatByteSize(std::int64_t size)
{
    if (size <= 0)
        return L"0byte";
    if (size < 1024)
        return std::to_wstring(size) + L"bytes";
    wchar_t text[19];
    return StrFormatByteSizeW(size, text, 19);
}

std::wstring CountFormat(int checked, int total)
{
    return (boost::wformat(UiText::Get(TextId::CountFormat)) % checked % total).str();
}

// A folder path without trailing slashes (the root stays "/").
std::wstring Normalized(std::wstring path)
{
    while (path.size() > 1 && path.back() == L'/')
        path.pop_back();
    return path;
}

// True when folder is inside (or is) the folder at path, component by component.
bool IsWithin(const std::wstring& folder, const std::wstring& path)
{
    const std::wstring base = Normalized(path);
    if (base.empty())
        return false;
    if (base == L"/")
        return !folder.empty() && folder.front() == L'/';
    return folder.compare(0, base.size(), base) == 0 && (folder.size() == base.size() || folder[base.size()] == L'/');
}

// The tree's children by path, folders without one last.
int ComparePaths(LPARAM first, LPARAM second, LPARAM)
{
    const auto* a = reinterpret_cast<const CFileAddDialog::TreeNodeData*>(first);
    const auto* b = reinterpret_cast<const CFileAddDialog::TreeNodeData*>(second);
    const std::wstring& left = a ? a->item->path : std::wstring();
    const std::wstring& right = b ? b->item->path : std::wstring();
    if (left.empty() != right.empty())
        return left.empty() ? 1 : -1;
    return left < right ? -1 : (right < left ? 1 : 0);
}

// The running dialogs by window, for FromWindow. Window thread only.
std::map<HWND, CFileAddDialog*>& RunningDialogs()
{
    static std::map<HWND, CFileAddDialog*> dialogs;
    return dialogs;
}

} // namespace

CFileAddDialog* CFileAddDialog::FromWindow(HWND window)
{
    auto it = RunningDialogs().find(window);
    return it == RunningDialogs().end() ? nullptr : it->second;
}

CFileAddDialog::CFileAddDialog()
{
    iconName = "IcoAdd";
    title = UiText::Get(TextId::AddPictures);
}

CFileAddDialog::~CFileAddDialog() = default;

INT_PTR CFileAddDialog::DoModal(HWND owner)
{
    return DialogBoxIndirectParamW(nullptr, &FormTemplate(), owner, &CFileAddDialog::DialogProc,
                                   reinterpret_cast<LPARAM>(this));
}

INT_PTR CFileAddDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
        return reinterpret_cast<CFileAddDialog*>(lParam)->OnInitDialog(dialog);
    }
    auto* form = reinterpret_cast<CFileAddDialog*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    if (!form)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)
            break;
        form->grid.StopLoading();
        form->End(LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        const auto* notice = reinterpret_cast<const NMTREEVIEWW*>(lParam);
        if (notice && notice->hdr.idFrom == kTreeId)
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, form->OnNotify(*notice) ? 1 : 0);
        return TRUE;
    }
    case FolderReadMessage:
        form->OnFolderRead(wParam);
        return TRUE;
    case SubfoldersReadMessage:
        form->OnSubfoldersRead(wParam);
        return TRUE;
    case WM_DESTROY:
        RunningDialogs().erase(dialog);
        form->folderRead.reset();
        form->pendingSubfolders.clear();
        form->grid.StopLoading();
        break;
    default:
        break;
    }
    return form->DialogMessage(dialog, message, wParam, lParam);
}

INT_PTR CFileAddDialog::OnInitDialog(HWND dialog)
{
    hwnd = dialog;
    RunningDialogs()[dialog] = this;
    CreateControls();
    CreateTree();
    FillTree();
    SetWindowPos(dialog, nullptr, 0, 0, 820, 520, SWP_NOMOVE | SWP_NOZORDER);
    CenterWindow(dialog);
    return TRUE;
}

void CFileAddDialog::CreateControls()
{
    selectAllBox.Create(this, UiText::Get(TextId::SelectAll));
    selectAllBox.SetMargins(208, 496, 0, 0);
    selectAllBox.changed.connect([this] { SelectAll(); });
    countText.Create(this, UiText::Get(TextId::CountNone));
    // A longer select-all text moves the count text right.
    const int selectAllEnd = 208 + selectAllBox.size.cx + selectAllBox.boxWidth + selectAllBox.TextOverhang();
    countText.SetMargins(std::max(kCountTextLeft, selectAllEnd + kCountGap), kTextTop, 0, 0);
    sizeText.Create(this, UiText::Get(TextId::SizeNone));
    sizeText.SetMargins(kSizeTextLeft, kTextTop, 0, 0);

    struct ButtonPlace {
        Zivoro::UI::Controls::Button& button;
        std::string images[4]; // normal, hover, down, disabled
        SIZE size;
        RECT margins;
        int anchors;
        void (CFileAddDialog::*clicked)();
    };
    const std::string okFace = CaptionedSkin("BtnOk");
    const std::string cancelFace = CaptionedSkin("BtnCancel");
    const ButtonPlace buttons[] = {
        {okButton,
         {okFace, okFace, okFace, okFace},
         {51, 24},
         {0, 0, 73, 6},
         AnchorBottom | AnchorRight,
         &CFileAddDialog::AddPictures},
        {cancelButton,
         {cancelFace, cancelFace, cancelFace, cancelFace},
         {51, 24},
         {0, 0, 16, 6},
         AnchorBottom | AnchorRight,
         &CFileAddDialog::Cancel},
        {closeButton,
         {"BtnCloseNormal", "BtnCloseHover", "BtnCloseHover", ""},
         {15, 15},
         {0, 5, 6, 0},
         AnchorTop | AnchorRight,
         &CFileAddDialog::Cancel},
    };
    for (const ButtonPlace& place : buttons) {
        place.button.Create(this, L"");
        place.button.SetImages(place.images[0], place.images[1], place.images[2], place.images[3]);
        place.button.SetSize(place.size.cx, place.size.cy);
        place.button.SetMargins(place.margins.left, place.margins.top, place.margins.right, place.margins.bottom);
        place.button.SetAnchors(place.anchors);
        place.button.clicked.connect([this, clicked = place.clicked] { (this->*clicked)(); });
    }

    grid.Create(hwnd, RECT{191, 33, 191 + 628, 33 + 451});
    grid.SelectionChanged.connect([this](int) { UpdateCounts(); });
}

void CFileAddDialog::CreateTree()
{
    tree = CreateWindowExW(0, L"SysTreeView32", L"", kTreeStyle, 1, 33, 189, 450, hwnd,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTreeId)), nullptr, nullptr);
    SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(iconList.Handle()));
}

bool CFileAddDialog::OnNotify(const NMTREEVIEWW& notice)
{
    if (notice.hdr.code == TVN_ITEMEXPANDINGW && (notice.action & TVE_EXPAND) &&
        SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(notice.itemNew.hItem)))
        Populate(notice.itemNew.hItem);
    else if (notice.hdr.code == TVN_SELCHANGEDW) {
        if (notice.action != TVC_UNKNOWN)
            restoring.clear();
        ShowFolder(notice.itemNew.hItem);
    }
    return false;
}

HTREEITEM CFileAddDialog::InsertNode(HTREEITEM parent, Item* item, bool populated)
{
    nodeData.push_back(std::make_unique<TreeNodeData>(TreeNodeData{populated ? 1 : 0, item}));
    TVINSERTSTRUCTW insert;
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    std::wstring text = ShownName(*item);
    insert.item.pszText = text.data();
    insert.item.iImage = insert.item.iSelectedImage = item->iconIndex;
    insert.item.lParam = reinterpret_cast<LPARAM>(nodeData.back().get());
    auto node = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    if (!populated) {
        // A placeholder child gives the node its expand button until it is read.
        std::wstring placeholder = UiText::Get(TextId::Loading);
        insert.hParent = node;
        insert.item.pszText = placeholder.data();
        insert.item.lParam = 0;
        SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
    }
    return node;
}

void CFileAddDialog::FillTree()
{
    const HTREEITEM root = InsertNode(TVI_ROOT, shellRoot.RootItem(), true);
    HTREEITEM computer = nullptr;
    std::vector<Item*> items;
    shellRoot.EnumDesktop(items);
    for (Item* item : items) {
        const HTREEITEM node = InsertNode(root, item, false);
        if (item->displayName == kMyComputer || item->displayName == kComputer)
            computer = node;
    }
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    computerNode = computer;
    restoring = Normalized(AppConfig::Instance().GetFolderPath());
    RestoreFolder(computer);
}

CFileAddDialog::TreeNodeData* CFileAddDialog::NodeData(HTREEITEM node) const
{
    TVITEMW query;
    query.mask = TVIF_PARAM;
    query.hItem = node;
    if (!node || !SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query)))
        return nullptr;
    return reinterpret_cast<TreeNodeData*>(query.lParam);
}

std::wstring CFileAddDialog::NodeText(HTREEITEM node) const
{
    wchar_t text[260] = {};
    TVITEMW query;
    query.mask = TVIF_TEXT;
    query.hItem = node;
    query.pszText = text;
    query.cchTextMax = 260;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    return text;
}

// Reads the node's subfolders once. A read that takes longer than a moment (a slow
// mount) leaves the placeholder and fills the node when it ends.
void CFileAddDialog::Populate(HTREEITEM node)
{
    TreeNodeData* data = NodeData(node);
    if (!data || data->populated)
        return;
    for (const auto& [serial, pending] : pendingSubfolders)
        if (pending.node == node)
            return;
    const WPARAM serial = ++subfolderSerial;
    auto read = std::make_unique<BackgroundRead<SubfolderList>>(
        [list = Zivoro::Shell::DesktopFolder::IdListBytes(data->item->itemIdList)](const std::atomic<bool>&) {
            return Zivoro::Shell::DesktopFolder::ReadSubfolders(list);
        },
        hwnd, SubfoldersReadMessage, serial);
    if (std::optional<SubfolderList> subfolders = read->Wait(kReadWait))
        FillNode(node, *subfolders);
    else
        pendingSubfolders.emplace(serial, PendingSubfolders{node, std::move(read)});
}

void CFileAddDialog::OnSubfoldersRead(WPARAM serial)
{
    auto it = pendingSubfolders.find(serial);
    if (it == pendingSubfolders.end())
        return;
    const HTREEITEM node = it->second.node;
    std::optional<SubfolderList> subfolders = it->second.read->Take();
    pendingSubfolders.erase(it);
    TreeNodeData* data = NodeData(node);
    if (!subfolders || !data || data->populated)
        return;
    FillNode(node, *subfolders);
    // A slow folder on the way to the remembered one: go on from the top.
    if (!restoring.empty())
        RestoreFolder(computerNode);
}

void CFileAddDialog::FillNode(HTREEITEM node, const SubfolderList& subfolders)
{
    TreeNodeData* data = NodeData(node);
    const auto first =
        reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(node)));
    if (first && !NodeData(first))
        SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(first));
    const bool myComputer = NodeText(node) == kMyComputer;
    for (const ItemRecord& record : subfolders) {
        if (myComputer && record.path == L"本地磁盘")
            continue;
        InsertNode(node, shellRoot.Adopt(record), false);
    }
    data->populated = 1;
    if (!myComputer) {
        TVSORTCB sort;
        sort.hParent = node;
        sort.lpfnCompare = &ComparePaths;
        SendMessageW(tree, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
    }
}

// Opens the tree at the folder of the last use, following it from its volume down,
// component by component.
void CFileAddDialog::RestoreFolder(HTREEITEM computer)
{
    const std::wstring folder = restoring;
    if (!computer || folder.empty() || folder.front() != L'/')
        return;
    Populate(computer);
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(computer));
    std::vector<wchar_t> root(folder.begin(), folder.end());
    root.push_back(L'\0');
    PathStripToRootW(root.data());
    for (auto child = reinterpret_cast<HTREEITEM>(
             SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(computer)));
         child; child = reinterpret_cast<HTREEITEM>(
                    SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)))) {
        const TreeNodeData* data = NodeData(child);
        if (data && data->item->path == root.data()) {
            if (data->item->path == folder)
                Select(child);
            else
                Descend(child, folder);
            return;
        }
    }
}

bool CFileAddDialog::Descend(HTREEITEM node, const std::wstring& folder)
{
    Populate(node);
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node));
    for (auto child = reinterpret_cast<HTREEITEM>(
             SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(node)));
         child; child = reinterpret_cast<HTREEITEM>(
                    SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)))) {
        const TreeNodeData* data = NodeData(child);
        if (!data)
            continue;
        if (Normalized(data->item->path) == folder) {
            Select(child);
            return true;
        }
        if (IsWithin(folder, data->item->path) && Descend(child, folder))
            return true;
    }
    return false;
}

// The remembered folder is found: the tree selects it and the restoring ends.
void CFileAddDialog::Select(HTREEITEM node)
{
    restoring.clear();
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
}

// Shows the node's folder in the grid. The pictures are listed on a thread of their
// own; tiles appear with their names and fill in as the grid's loader reads them.
void CFileAddDialog::ShowFolder(HTREEITEM node)
{
    selectAllBox.SetChecked(0);
    grid.Clear();
    sizeText.SetText(UiText::Get(TextId::SizeNone));
    SetCountText(UiText::Get(TextId::CountNone));
    folderRead.reset();
    const TreeNodeData* data = NodeData(node);
    if (!data || data->item->path.empty())
        return;
    const std::wstring folder = Normalized(data->item->path);
    AppConfig::Instance().SetFolderPath(folder);
    const WPARAM serial = ++folderSerial;
    folderRead = std::make_unique<BackgroundRead<PictureList>>(
        [folder](const std::atomic<bool>& stop) { return ListFolderPictures(folder, stop); }, hwnd, FolderReadMessage,
        serial);
    if (std::optional<PictureList> pictures = folderRead->Wait(kReadWait))
        ShowPictures(*pictures);
}

void CFileAddDialog::OnFolderRead(WPARAM serial)
{
    if (!folderRead || serial != folderSerial)
        return;
    if (std::optional<PictureList> pictures = folderRead->Take())
        ShowPictures(*pictures);
}

void CFileAddDialog::ShowPictures(const PictureList& pictures)
{
    for (const std::shared_ptr<ImageData>& record : pictures)
        grid.AddItem(std::make_unique<ListViewSelectItem>(record));
    grid.Layout();
    grid.UpdateScrollBar();
    grid.InvalidateAll();
    SetCountText(CountFormat(0, grid.Count()));
    grid.StartLoading();
}

void CFileAddDialog::SelectAll()
{
    grid.SetAllChecked(selectAllBox.IsChecked());
    UpdateCounts();
}

void CFileAddDialog::UpdateCounts()
{
    sizeText.SetText(FormatByteSize(grid.SumCheckedSizes()));
    SetCountText(CountFormat(grid.CheckedCount(), grid.Count()));
}

// The count text grows with its numbers; the size text moves right so that the two
// never overlap.
void CFileAddDialog::SetCountText(const std::wstring& text)
{
    countText.SetText(text);
    const int width = countText.bounds.right - countText.bounds.left;
    const int left = std::max(kSizeTextLeft, countText.margins.left + width + kTextGap);
    if (left == sizeText.margins.left)
        return;
    sizeText.Invalidate();
    sizeText.SetMargins(left, kTextTop, 0, 0);
    sizeText.UpdateLayout();
    sizeText.Invalidate();
}

void CFileAddDialog::AddPictures()
{
    grid.StopLoading();
    const int wanted = std::min<int>(AppConfig::Instance().MaxFiles, grid.CheckedCount());
    if (mainList && grid.CheckedCount() > 0) {
        std::vector<ListViewItem*> checked;
        grid.GetChecked(checked);
        const std::size_t taken = AddChecked(checked, static_cast<std::size_t>(std::max(wanted, 0)));
        // What the list could not take is refused, so that a page hears of every file.
        for (std::size_t i = taken; i < checked.size(); ++i)
            FileAdmission::Instance().Refuse(checked[i]->Data()->path, "too_many");
        if (wanted > 0)
            mainList->StartLoading();
    }
    End(0);
}

std::size_t CFileAddDialog::AddChecked(const std::vector<ListViewItem*>& checked, std::size_t wanted)
{
    FileAdmission& admission = FileAdmission::Instance();
    const std::size_t count = std::min(checked.size(), wanted);
    for (std::size_t i = 0; i < count; ++i) {
        const ImageData& record = *checked[i]->Data();
        const std::string refusal =
            admission.Refusal(record.path, PictureRule::FolderListing, mainList->Count(), record.fileSize);
        if (refusal == "too_many")
            return i;
        if (mainList->ContainsFile(checked[i]))
            continue;
        if (!refusal.empty()) {
            admission.Refuse(record.path, refusal);
            continue;
        }
        if (i >= kAddLimit) {
            CMessageDialog notice;
            notice.SetTitle(UiText::Get(TextId::InformationTitle));
            notice.SetMessage(UiText::Get(TextId::TooManyFiles));
            notice.DoModal(GetActiveWindow());
            return i;
        }
        auto tile = std::make_unique<ListViewPostItem>(mainList, record.path);
        tile->TakeFrom(static_cast<const ListViewSelectItem&>(*checked[i]));
        mainList->AddItem(std::move(tile));
    }
    return count;
}

void CFileAddDialog::Cancel()
{
    grid.StopLoading();
    End(0);
}

void CFileAddDialog::End(INT_PTR result)
{
    folderRead.reset();
    EndDialog(hwnd, result);
}

void CFileAddDialog::OnPaint(Zivoro::UI::CPaintEventArgs* args)
{
    ExtForm::OnPaint(args);
    ControlBase::OnPaint(args);
}
