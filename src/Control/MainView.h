#pragma once
// The control window's main view: the root of its control tree. A toolbar (add,
// upload or cancel, select all, the edit, rotate and delete links, the sort box), an
// instruction band, and below them the upload list, or, while the list is empty, a
// large add button with a hint. It also reacts to the start and the end of an upload
// task and takes files dropped on the control window.

#include "Control/OverallProgress.h"
#include "Platform/Ole/DropFiles.h"
#include "Platform/Signal.h"
#include "UI/ComboBox.h"
#include "UI/ControlBase.h"
#include "UI/Controls/Button.h"
#include "UI/Controls/CheckBox.h"
#include "UI/Controls/IconLabel.h"
#include "UI/Label.h"
#include "Views/ListView.h"

#include <string>
#include <vector>

class ControlDropTarget;
class ListViewItem;
class UploadItem;

class MainView : public ControlBase {
public:
    MainView();
    ~MainView() override;

    // WM_CREATE of the control window: a fresh view in window, its drop target
    // registered. A window created again after one was destroyed gets a new view.
    void OnCreate(Platform::HWND window);
    // WM_DESTROY: the native child windows go and the drop target is revoked.
    void OnDestroy();
    // The page chose another language: every text and captioned image is set again and
    // the toolbar laid out for the new widths.
    void OnLanguageChanged();
    // WM_PAINT: the whole tree paints off screen and the update area is copied.
    void PaintWindow();

    // The background bands, then the children.
    void OnPaint(Zivoro::UI::CPaintEventArgs* args) override;
    // bounds become the window's client area; the children are laid out and repainted.
    void LayoutChildren() override;
    // The root has no layout of its own.
    void UpdateLayout() override {}

    // Files dropped on the control window outside the list.
    void OnDropFiles(Platform::HDROP drop);
    // After tiles were added: the list is laid out and the view shows it.
    void OnFilesAdded();
    // Appends an upload tile for the path unless the list has one for it; the picture
    // is read off the control's thread. The caller checked the path.
    void AddPicture(const std::wstring& path);
    // Repaint a tile's progress band: after progress, and once the server accepted its file.
    void RefreshProgress(const UploadItem* item);
    void MarkComplete(const UploadItem* item);
    // A tile's upload failed (code, the whole reason); a retry of it comes.
    void MarkFailed(const UploadItem* item, const std::string& code, const std::wstring& reason);
    void MarkRetry(const UploadItem* item, int attempt, int most);
    // The second band shows the whole upload's progress; forced: now, else at most
    // a few times a second.
    void ShowOverallProgress(bool forced);
    // The end of an upload task: the tiles the server accepted leave the list and the
    // toolbar comes back.
    void OnTaskEnd();
    // WM_MOUSEWHEEL of the control window, handed to the list.
    Platform::LRESULT OnMouseWheel(Platform::WPARAM wParam, Platform::LPARAM lParam);
    // The list's tile that shows an upload item, or null when it has left the list.
    ListViewItem* TileOf(const UploadItem* item) const;

    // Toolbar handlers, also driven by tests.
    void OnAddClicked();
    void OnUploadClicked();
    void OnCancelClicked();
    void OnSelectAllChanged();
    void OnSortChanged(int index);
    void OnEditClicked(ControlBase* link);
    void OnRotateLeftClicked(ControlBase* link);
    void OnRotateRightClicked(ControlBase* link);
    void OnDeleteClicked(ControlBase* link);
    // The list's signals.
    void OnSelectionChanged(int value);
    void OnItemsRemoved(int id);
    void OnItemActivated(ListViewItem* tile);
    void OnFilesDropped();

    ListView list;
    Zivoro::UI::Controls::Button addButton;
    Zivoro::UI::Controls::Button uploadButton;
    Zivoro::UI::Controls::Button cancelButton;
    Zivoro::UI::Controls::Button bigAddButton;
    Zivoro::UI::Controls::CheckBox selectAllBox;
    ComboBox sortBox;
    Zivoro::UI::Controls::IconLabel editIcon;
    Zivoro::UI::Controls::IconLabel rotateLeftIcon;
    Zivoro::UI::Controls::IconLabel rotateRightIcon;
    Zivoro::UI::Controls::IconLabel deleteIcon;
    Label hintLabel;
    Label dropHint;
    OverallProgress overall;

    // Raised when the user starts an upload, before the task runs.
    Platform::Signal<void()> uploadStarted;

private:
    void BuildList();
    void BuildToolbar();
    void BuildEmptyState();
    void BuildLinks();
    void BuildSortBox();
    // Texts and captioned images in the configured language.
    void ApplyTexts();
    void FillSortBox();
    void PlaceToolbarFromRight();
    void DisconnectAll();
    bool ListIsEmpty() const;
    // Shows the empty-list or the filled state, as the list's content says.
    void ShowListState();
    // The four links act on the selected tiles: usable only with a selection and no upload.
    void UpdateLinks();
    // Back from the uploading look to the toolbar of an idle list.
    void RestoreToolbar();

    Platform::HWND window = nullptr;
    // When the band's progress text was last set.
    std::uint64_t overallShown = 0;
    ControlDropTarget* dropTarget = nullptr; // one reference, held from OnCreate to OnDestroy
    // The order the sort box shows; put back when a sort is refused during an upload.
    int sortIndex = 0;
    std::vector<Platform::Connection> connections;
};
