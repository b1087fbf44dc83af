#pragma once
// The upload tile of the main list: the picture with its editable remark under it;
// while the pointer is over the tile a delete button and a row of buttons (rotate
// left, rotate right, edit, view) on a dark strip; while an upload runs the file's
// progress instead. The upload engine sends the tile's record.

#include "Biz/UploadItem.h"
#include "Views/ListViewItem.h"

#include <cstdint>
#include <string>

class ListViewSelectItem;

class ListViewPostItem : public ListViewItem, public UploadItem {
public:
    // A tile of list for the file at path; the record's picture is read later by the
    // list's loader.
    ListViewPostItem(ListView* owner, const std::wstring& path);

    // Also places the buttons.
    void SetBounds(Platform::RECT rect) override;
    int HitButton(Platform::POINT point) override;
    void CommitRemark(const std::wstring& text) override;
    void Draw(Zivoro::UI::CPaintEventArgs* args, Platform::RECT rect) override;
    void OnMouseDown(Platform::POINT point) override;
    void OnMouseUp(Platform::POINT point) override;
    Platform::RECT GetThumbRect(Platform::RECT rect) override;
    Platform::RECT GetTextRect(Platform::RECT rect) override;

    // Takes the picker tile's id, list, check mark and record (shared from now on).
    void TakeFrom(const ListViewSelectItem& picker);
    void OpenEditor();
    void OpenViewer();
    // Opens the list's remark editor over the remark strip; nothing while an upload runs.
    void EditRemark();
    // Repaint the progress band after progress, and after the server accepted the file.
    void RefreshProgress();
    void MarkComplete();
    // The upload of the tile's file failed (code as the engine reports it, "cancelled"
    // for a stopped one) for the reason given whole. After the task the tile keeps a
    // band that says so until its picture or remark is changed or it is sent again.
    void MarkFailed(const std::string& code, const std::wstring& reason);
    // Another attempt at sending the file comes: attempt of most (the first is 1).
    void MarkRetry(int attempt, int most);
    // A new task sends the tile: what the last one said goes.
    void ForgetOutcome();
    // "waiting", "sent" or "failed", for the page.
    const char* OutcomeName() const;
    // True while the failure band shows.
    bool ShowsFailure() const;

    std::shared_ptr<ImageData> File() const override { return Data(); }

    // The progress band's text for a record and whether the server accepted it.
    static std::wstring ProgressText(const ImageData& record, bool accepted);
    // The share of the file sent, within 0 .. 1; 0 before an upload knows its size.
    static float ProgressFraction(const ImageData& record);

    // Button rectangles in content coordinates, set by SetBounds.
    Platform::RECT deleteButton{}, rotateLeftButton{}, rotateRightButton{}, editButton{}, viewButton{}, remarkStrip{};

private:
    bool ShowsProgress() const;
    void DrawProgress(Zivoro::UI::CPaintEventArgs* args, const Platform::RECT& rect, const ImageData* record);
    void DrawButtons(Zivoro::UI::CPaintEventArgs* args, const Platform::RECT& rect);
    void DrawFailure(Zivoro::UI::CPaintEventArgs* args, const Platform::RECT& rect);
    std::wstring FailureBandText() const;
    void InvalidateBand();

    // The server accepted this tile's file in the running task.
    bool accepted = false;
    // The last task's failure: its code (empty: none), the whole reason, and the
    // record's change count when it came.
    std::string failureCode;
    std::wstring failureReason;
    std::uint32_t failureChanges = 0;
    // The attempt being made at sending the file and the most there will be; 0: the first.
    int retryAttempt = 0, retryMost = 0;
    // The task running when the tile was made (0: none); such a tile is not part of it.
    std::uint32_t madeDuringTask = 0;
};
