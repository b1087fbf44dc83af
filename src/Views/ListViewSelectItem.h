#pragma once
// The picker tile of the file-add dialog's grid: the picture with the file name under
// it and a check mark that every click toggles.

#include "Views/ListViewItem.h"

class ListViewSelectItem : public ListViewItem {
public:
    // A tile for the record (which may be filled in later with SetData).
    explicit ListViewSelectItem(std::shared_ptr<ImageData> record = nullptr);

    void Draw(Zivoro::UI::CPaintEventArgs* args, Platform::RECT rect) override;
    // Toggles the check mark too.
    void Select(Platform::POINT point) override;
    // The list calls it for the tile under the point only: selects the tile, toggles
    // its check mark and makes it the list's selection anchor.
    void OnMouseDown(Platform::POINT point) override;
    void AddCheckedSize(std::int64_t& sum) override;
};
