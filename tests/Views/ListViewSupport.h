#pragma once
// A thumbnail list in a top-level window for the tests, filled with picker tiles whose
// files need not exist (their records then carry no picture), and input through the
// headless backend at points of the list window.

#include "Win/WinTestSupport.h"

#include "Biz/ImageData.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/ScrollBar.h"
#include "Platform/Win/WindowGeometry.h"
#include "Views/ListView.h"
#include "Views/ListViewSelectItem.h"

#include <memory>
#include <string>
#include <vector>

namespace ListViewTest {

using namespace WinTest;

// The list window sits at (10, 20) inside a top-level window at (100, 100).
class ListFixture : public WindowTest {
protected:
    void MakeList(int width, int height, ListView::Role role = ListView::Role::UploadList)
    {
        owner = TopLevel(100, 100, width + 40, height + 40);
        list = std::make_unique<ListView>(role);
        list->Create(owner, RECT{10, 20, 10 + width, 20 + height});
        PumpPending();
    }

    void TearDown() override
    {
        list.reset();
        WindowTest::TearDown();
    }

    static std::wstring PathOf(const std::wstring& name) { return L"/nonexistent-trellan/" + name; }

    ListViewItem* AddTile(const std::wstring& name)
    {
        return list->AddItem(std::make_unique<ListViewSelectItem>(std::make_shared<ImageData>(PathOf(name))));
    }

    // n tiles named 0.jpg, 1.jpg, ..., laid out and shown.
    void Fill(int n)
    {
        for (int i = 0; i < n; ++i)
            AddTile(std::to_wstring(i) + L".jpg");
        Refresh();
    }

    void Refresh()
    {
        list->Layout();
        list->UpdateScrollBar();
        list->InvalidateAll();
        PumpPending();
    }

    // A point of the list window's client area in screen coordinates.
    POINT Screen(int x, int y) const
    {
        POINT point{x, y};
        ClientToScreen(list->GetHwnd(), &point);
        return point;
    }

    void Press(int x, int y, std::initializer_list<UINT> keys = {})
    {
        for (UINT key : keys)
            CurrentBackend().InjectKey(key, true);
        const POINT at = Screen(x, y);
        CurrentBackend().InjectMouse(Backend::MouseAction::Move, at);
        CurrentBackend().InjectMouse(Backend::MouseAction::LeftDown, at);
        CurrentBackend().InjectMouse(Backend::MouseAction::LeftUp, at);
        for (UINT key : keys)
            CurrentBackend().InjectKey(key, false);
        PumpPending();
    }

    void Key(UINT key, std::initializer_list<UINT> held = {})
    {
        for (UINT down : held)
            CurrentBackend().InjectKey(down, true);
        CurrentBackend().InjectKey(key, true);
        CurrentBackend().InjectKey(key, false);
        for (UINT down : held)
            CurrentBackend().InjectKey(down, false);
        PumpPending();
    }

    // The file names of the tiles in display order.
    std::vector<std::wstring> Order() const
    {
        std::vector<std::wstring> names;
        for (ListViewItem* tile : list->Items())
            names.push_back(tile->Data()->fileName);
        return names;
    }

    std::vector<std::wstring> SelectedNames() const
    {
        std::vector<std::wstring> names;
        for (ListViewItem* tile : list->GetSelection())
            names.push_back(tile->Data()->fileName);
        return names;
    }

    HWND owner = nullptr;
    std::unique_ptr<ListView> list;
};

} // namespace ListViewTest
