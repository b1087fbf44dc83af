#pragma once
// The file-add dialog: the shell's folder tree on the left, the pictures of the chosen
// folder as picker tiles on the right, the count and size of the checked ones, and OK,
// which adds the checked pictures to the main upload list. Folders are read on threads
// of their own, so a large folder or a slow mount never freezes the dialog.

#include "Platform/Controls/TreeViewTypes.h"
#include "Shell/DesktopFolder.h"
#include "Shell/SystemIconList.h"
#include "UI/Controls/Button.h"
#include "UI/Controls/CheckBox.h"
#include "UI/ExtForm.h"
#include "UI/Label.h"
#include "Views/BackgroundRead.h"
#include "Views/ListView.h"

#include <map>
#include <memory>
#include <vector>

class ImageData;

class CFileAddDialog : public ExtForm {
public:
    CFileAddDialog();
    ~CFileAddDialog() override;

    // The main upload list that OK fills; not owned.
    void SetMainList(ListView* list) { mainList = list; }
    // Runs modally over owner: 1 for Enter, 2 for Esc (nothing added), 0 after OK,
    // Cancel or close; -1 when the dialog cannot be created.
    Platform::INT_PTR DoModal(Platform::HWND owner);

    void OnPaint(Zivoro::UI::CPaintEventArgs* args) override;

    // The tree node's record: whether its children were read, and its shell item.
    struct TreeNodeData {
        int populated = 0;
        Zivoro::Shell::Item* item = nullptr;
    };

    // The dialog whose window this is, while it runs; null for any other window.
    static CFileAddDialog* FromWindow(Platform::HWND window);

    Platform::HWND Tree() const { return tree; }
    // The text a node of the folder tree shows.
    std::wstring NodeText(Platform::HTREEITEM node) const;
    ListView& Grid() { return grid; }
    const Label& CountText() const { return countText; }
    const Label& SizeText() const { return sizeText; }
    const Zivoro::UI::Controls::CheckBox& SelectAllBox() const { return selectAllBox; }

    // Posted by the background reads when they end after the dialog stopped waiting.
    static constexpr Platform::UINT FolderReadMessage = Platform::WM_USER + 201;
    static constexpr Platform::UINT SubfoldersReadMessage = Platform::WM_USER + 202;

private:
    using PictureList = std::vector<std::shared_ptr<ImageData>>;
    using SubfolderList = std::vector<Zivoro::Shell::ItemRecord>;

    static Platform::INT_PTR DialogProc(Platform::HWND dialog, Platform::UINT message, Platform::WPARAM wParam,
                                        Platform::LPARAM lParam);
    Platform::INT_PTR OnInitDialog(Platform::HWND dialog);
    bool OnNotify(const Platform::NMTREEVIEWW& notice);
    void CreateControls();
    void CreateTree();

    // The tree.
    Platform::HTREEITEM InsertNode(Platform::HTREEITEM parent, Zivoro::Shell::Item* item, bool populated);
    void FillTree();
    void Populate(Platform::HTREEITEM node);
    void FillNode(Platform::HTREEITEM node, const SubfolderList& subfolders);
    void RestoreFolder(Platform::HTREEITEM computer);
    void Select(Platform::HTREEITEM node);
    bool Descend(Platform::HTREEITEM node, const std::wstring& folder);
    TreeNodeData* NodeData(Platform::HTREEITEM node) const;

    // The grid.
    void ShowFolder(Platform::HTREEITEM node);
    void ShowPictures(const PictureList& pictures);
    void OnFolderRead(Platform::WPARAM serial);
    void OnSubfoldersRead(Platform::WPARAM serial);
    void SelectAll();
    void UpdateCounts();
    void SetCountText(const std::wstring& text);
    void AddPictures();
    // Adds the first wanted checked tiles the list takes; returns how many were
    // handled before the list was full or the per-use limit came.
    std::size_t AddChecked(const std::vector<ListViewItem*>& checked, std::size_t wanted);
    void Cancel();
    void End(Platform::INT_PTR result);

    Zivoro::UI::Controls::Button cancelButton;
    Zivoro::UI::Controls::Button okButton;
    Zivoro::UI::Controls::Button closeButton;
    Platform::HWND tree = nullptr;
    Zivoro::UI::Controls::CheckBox selectAllBox;
    Label countText;
    Label sizeText;
    ListView grid{ListView::Role::PickerGrid};
    ListView* mainList = nullptr;
    Zivoro::Shell::SystemIconList iconList;
    Zivoro::Shell::DesktopFolder shellRoot;
    std::vector<std::unique_ptr<TreeNodeData>> nodeData;

    // The folder being read for the grid (its serial tells a late result from an old one).
    std::unique_ptr<BackgroundRead<PictureList>> folderRead;
    Platform::WPARAM folderSerial = 0;
    // Subfolder reads that outlasted their wait, by serial, with the node they fill.
    struct PendingSubfolders {
        Platform::HTREEITEM node;
        std::unique_ptr<BackgroundRead<SubfolderList>> read;
    };
    std::map<Platform::WPARAM, PendingSubfolders> pendingSubfolders;
    Platform::WPARAM subfolderSerial = 0;
    // The remembered folder being opened, and the computer node it is looked for
    // under; a read that ends late goes on with it. Cleared once the user chooses.
    std::wstring restoring;
    Platform::HTREEITEM computerNode = nullptr;
};
