#include "WinTestSupport.h"

#include "Platform/Controls/ImageList.h"
#include "Platform/Controls/TreeViewTypes.h"
#include "Platform/Gdi/Gdi.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/ScrollBar.h"

#include <cstring>
#include <string>

using namespace WinTest;

namespace {

struct Notice {
    UINT code;
    UINT action;
    HTREEITEM oldItem;
    HTREEITEM newItem;
    LPARAM newParam;
};

class TreeViewControlTest : public WindowTest {
protected:
    // A 200 x 120 tree at (10, 10) with buttons, lines and lines at the root in a
    // window at the origin; every notification is recorded, and answered with refuse
    // when it names that code.
    HWND Tree(std::uint32_t style = WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT)
    {
        parent = TopLevel(0, 0, 300, 300);
        tree = CreateWindowExW(0, L"SysTreeView32", L"", style, 10, 10, 200, 120, parent, reinterpret_cast<HMENU>(3),
                               nullptr, nullptr);
        Log().hook = [this](HWND, UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
            if (message != WM_NOTIFY)
                return false;
            const auto* notice = reinterpret_cast<const NMTREEVIEWW*>(lParam);
            notices.push_back(Notice{notice->hdr.code, notice->action, notice->itemOld.hItem, notice->itemNew.hItem,
                                     notice->itemNew.lParam});
            result = notice->hdr.code == refuse ? 1 : 0;
            if (onNotice)
                onNotice(*notice);
            return true;
        };
        return tree;
    }

    HTREEITEM Insert(HTREEITEM under, const wchar_t* text, LPARAM param = 0, HTREEITEM after = TVI_LAST)
    {
        TVINSERTSTRUCTW insert;
        insert.hParent = under;
        insert.hInsertAfter = after;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        insert.item.pszText = const_cast<wchar_t*>(text);
        insert.item.lParam = param;
        return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    }

    HTREEITEM Next(HTREEITEM item, UINT relation)
    {
        return reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }

    std::wstring Text(HTREEITEM item, int room = 64)
    {
        wchar_t buffer[64] = {};
        TVITEMW query;
        query.mask = TVIF_TEXT;
        query.hItem = item;
        query.pszText = buffer;
        query.cchTextMax = room;
        return SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query)) ? std::wstring(buffer) : L"<none>";
    }

    std::vector<UINT> Codes() const
    {
        std::vector<UINT> codes;
        for (const Notice& notice : notices)
            codes.push_back(notice.code);
        return codes;
    }

    // The rectangle of a visible item's row or label, in the tree's client area; the
    // message takes the item in the rectangle's first bytes.
    RECT ItemRect(HTREEITEM item, BOOL labelOnly)
    {
        RECT rect{};
        std::memcpy(static_cast<void*>(&rect), &item, sizeof item);
        EXPECT_TRUE(SendMessageW(tree, TVM_GETITEMRECT, labelOnly, reinterpret_cast<LPARAM>(&rect)));
        return rect;
    }

    // The centre of the label of the visible item, in screen coordinates.
    POINT LabelPoint(HTREEITEM item)
    {
        const RECT rect = ItemRect(item, TRUE);
        return POINT{10 + (rect.left + rect.right) / 2, 10 + (rect.top + rect.bottom) / 2};
    }

    void Key(UINT key)
    {
        CurrentBackend().InjectKey(key, true);
        CurrentBackend().InjectKey(key, false);
        PumpPending();
    }

    HWND parent = nullptr;
    HWND tree = nullptr;
    std::vector<Notice> notices;
    UINT refuse = 0;
    std::function<void(const NMTREEVIEWW&)> onNotice;
};

TEST_F(TreeViewControlTest, ItemsAreInsertedFoundByRelationAndDeletedWithTheirChildren)
{
    Tree();
    HTREEITEM a = Insert(TVI_ROOT, L"a");
    HTREEITEM c = Insert(TVI_ROOT, L"c");
    HTREEITEM b = Insert(TVI_ROOT, L"b", 0, a);
    HTREEITEM first = Insert(TVI_ROOT, L"first", 0, TVI_FIRST);
    HTREEITEM child = Insert(b, L"child", 7);
    HTREEITEM grandchild = Insert(child, L"grandchild", 8);
    EXPECT_EQ(Insert(reinterpret_cast<HTREEITEM>(9999), L"x"), nullptr);
    EXPECT_EQ(Insert(TVI_ROOT, L"x", 0, child), nullptr) << "after an item of another parent";

    EXPECT_EQ(Next(nullptr, TVGN_ROOT), first);
    EXPECT_EQ(Next(first, TVGN_NEXT), a);
    EXPECT_EQ(Next(a, TVGN_NEXT), b);
    EXPECT_EQ(Next(b, TVGN_NEXT), c);
    EXPECT_EQ(Next(c, TVGN_NEXT), nullptr);
    EXPECT_EQ(Next(b, TVGN_PREVIOUS), a);
    EXPECT_EQ(Next(b, TVGN_CHILD), child);
    EXPECT_EQ(Next(grandchild, TVGN_PARENT), child);
    EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 6);
    EXPECT_EQ(Text(child), L"child");
    EXPECT_EQ(Text(grandchild, 4), L"gra") << "the text is cut to the buffer";

    EXPECT_TRUE(SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(b)));
    EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(Next(a, TVGN_NEXT), c);
    // Deleted items are reported children first, with their data; their handles are dead.
    ASSERT_EQ(notices.size(), 3u);
    EXPECT_EQ(notices[0].code, TVN_DELETEITEMW);
    EXPECT_EQ(notices[0].oldItem, grandchild);
    EXPECT_EQ(notices[2].oldItem, b);
    EXPECT_EQ(Text(child), L"<none>");
    EXPECT_FALSE(SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(b)));
    EXPECT_TRUE(SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)));
    EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 0);
}

TEST_F(TreeViewControlTest, ExpandingAsksTheParentWhichMayFillTheItemThen)
{
    Tree();
    HTREEITEM folder = Insert(TVI_ROOT, L"folder");
    HTREEITEM placeholder = Insert(folder, L"加载中...");
    // The parent replaces the placeholder by the real children while it is asked.
    onNotice = [&](const NMTREEVIEWW& notice) {
        if (notice.hdr.code == TVN_ITEMEXPANDINGW && Next(notice.itemNew.hItem, TVGN_CHILD) == placeholder) {
            SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(placeholder));
            Insert(folder, L"one");
            Insert(folder, L"two");
        }
    };
    EXPECT_TRUE(SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(folder)));
    HTREEITEM one = Next(folder, TVGN_CHILD);
    EXPECT_EQ(Text(one), L"one");
    EXPECT_EQ(Next(folder, TVGN_NEXTVISIBLE), one);
    EXPECT_EQ(Codes(), (std::vector<UINT>{TVN_ITEMEXPANDINGW, TVN_DELETEITEMW, TVN_ITEMEXPANDEDW}));
    EXPECT_EQ(notices[0].action, TVE_EXPAND);

    // A message expands quietly once it has been expanded before; a click on the
    // button asks every time, and a refusal keeps the state.
    notices.clear();
    SendMessageW(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(folder));
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(folder));
    EXPECT_TRUE(notices.empty());
    PumpPending();
    const RECT row = ItemRect(folder, FALSE);
    refuse = TVN_ITEMEXPANDINGW;
    Click(10 + 9, 10 + (row.top + row.bottom) / 2); // the button column of a top-level item
    PumpPending();
    EXPECT_EQ(Codes(), (std::vector<UINT>{TVN_ITEMEXPANDINGW}));
    EXPECT_EQ(notices[0].action, TVE_COLLAPSE);
    EXPECT_EQ(Next(folder, TVGN_NEXTVISIBLE), one) << "still expanded";
}

TEST_F(TreeViewControlTest, AnItemWithoutChildrenDoesNotExpand)
{
    Tree();
    HTREEITEM leaf = Insert(TVI_ROOT, L"leaf");
    EXPECT_FALSE(SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(leaf)));
    EXPECT_TRUE(notices.empty());
    // A parent that takes the last child away while asked leaves the item collapsed.
    HTREEITEM folder = Insert(TVI_ROOT, L"folder");
    HTREEITEM only = Insert(folder, L"only");
    onNotice = [&](const NMTREEVIEWW& notice) {
        if (notice.hdr.code == TVN_ITEMEXPANDINGW)
            SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(only));
    };
    EXPECT_FALSE(SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(folder)));
    TVITEMW state;
    state.mask = TVIF_STATE;
    state.hItem = folder;
    state.stateMask = TVIS_EXPANDED;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(state.state, 0u);
}

TEST_F(TreeViewControlTest, ClicksAndKeysMoveTheSelectionAndTellTheParent)
{
    Tree();
    HTREEITEM top = Insert(TVI_ROOT, L"top", 1);
    HTREEITEM inner = Insert(top, L"inner", 2);
    HTREEITEM deep = Insert(inner, L"deep", 3);
    HTREEITEM second = Insert(TVI_ROOT, L"second", 4);
    PumpPending();

    CurrentBackend().InjectMouse(Backend::MouseAction::LeftDown, LabelPoint(top));
    CurrentBackend().InjectMouse(Backend::MouseAction::LeftUp, LabelPoint(top));
    PumpPending();
    EXPECT_EQ(GetFocus(), tree);
    ASSERT_EQ(Codes(), (std::vector<UINT>{TVN_SELCHANGINGW, TVN_SELCHANGEDW}));
    EXPECT_EQ(notices[1].action, TVC_BYMOUSE);
    EXPECT_EQ(notices[1].newItem, top);
    EXPECT_EQ(notices[1].newParam, 1);

    Key(VK_RIGHT); // expands
    EXPECT_EQ(Next(top, TVGN_NEXTVISIBLE), inner);
    Key(VK_RIGHT); // goes to the first child
    EXPECT_EQ(Next(nullptr, TVGN_CARET), inner);
    EXPECT_EQ(notices.back().action, TVC_BYKEYBOARD);
    Key(VK_END);
    EXPECT_EQ(Next(nullptr, TVGN_CARET), second);
    Key(VK_UP);
    EXPECT_EQ(Next(nullptr, TVGN_CARET), inner);
    Key(VK_LEFT); // collapsed already: goes to the parent
    EXPECT_EQ(Next(nullptr, TVGN_CARET), top);
    Key(VK_HOME);
    EXPECT_EQ(Next(nullptr, TVGN_CARET), top);

    // Selecting a hidden item shows it; collapsing its ancestor moves the selection up.
    EXPECT_TRUE(SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(deep)));
    EXPECT_EQ(Next(inner, TVGN_NEXTVISIBLE), deep);
    notices.clear();
    SendMessageW(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(top));
    EXPECT_EQ(Next(nullptr, TVGN_CARET), top);
    EXPECT_EQ(Codes(), (std::vector<UINT>{TVN_SELCHANGINGW, TVN_SELCHANGEDW}));

    // A refused change keeps the selection.
    refuse = TVN_SELCHANGINGW;
    Key(VK_DOWN);
    EXPECT_EQ(Next(nullptr, TVGN_CARET), top);
    refuse = 0;
    // Deleting the selected item moves the selection to its neighbour.
    SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(top));
    EXPECT_EQ(Next(nullptr, TVGN_CARET), second);
}

int CALLBACK_ByParamDescending(LPARAM first, LPARAM second, LPARAM)
{
    return first > second ? -1 : 0;
}

TEST_F(TreeViewControlTest, ChildrenSortByTheCallerComparisonKeepingTiesInOrder)
{
    Tree();
    HTREEITEM folder = Insert(TVI_ROOT, L"folder");
    HTREEITEM one = Insert(folder, L"one", 1);
    HTREEITEM threeA = Insert(folder, L"threeA", 3);
    HTREEITEM two = Insert(folder, L"two", 2);
    HTREEITEM threeB = Insert(folder, L"threeB", 3);
    TVSORTCB sort;
    sort.hParent = folder;
    sort.lpfnCompare = &CALLBACK_ByParamDescending;
    EXPECT_TRUE(SendMessageW(tree, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort)));
    EXPECT_EQ(Next(folder, TVGN_CHILD), threeA);
    EXPECT_EQ(Next(threeA, TVGN_NEXT), threeB);
    EXPECT_EQ(Next(threeB, TVGN_NEXT), two);
    EXPECT_EQ(Next(two, TVGN_NEXT), one);
    sort.hParent = reinterpret_cast<HTREEITEM>(12345);
    EXPECT_FALSE(SendMessageW(tree, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort)));
}

TEST_F(TreeViewControlTest, ManyRowsScrollByWheelBarAndSelection)
{
    Tree();
    std::vector<HTREEITEM> items;
    for (int i = 0; i < 40; ++i)
        items.push_back(Insert(TVI_ROOT, (L"folder " + std::to_wstring(i)).c_str()));
    PumpPending();
    EXPECT_TRUE(GetWindowStyle(tree) & WS_VSCROLL);
    const int visible = static_cast<int>(SendMessageW(tree, TVM_GETVISIBLECOUNT, 0, 0));
    ASSERT_GT(visible, 2);
    ASSERT_LT(visible, 40);

    CurrentBackend().InjectWheel(-WHEEL_DELTA, POINT{50, 50});
    PumpPending();
    EXPECT_EQ(Next(nullptr, TVGN_FIRSTVISIBLE), items[3]);
    SendMessageW(tree, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(Next(nullptr, TVGN_FIRSTVISIBLE), items[static_cast<std::size_t>(40 - visible)]);
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(items[1]));
    EXPECT_EQ(Next(nullptr, TVGN_FIRSTVISIBLE), items[1]) << "the selection is scrolled into view";
    EXPECT_EQ(GetScrollPos(tree, SB_VERT), 1);
}

TEST_F(TreeViewControlTest, RowsShowIconsButtonsAndTheHighlightedSelection)
{
    Tree();
    HIMAGELIST icons = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP strip = CreateCompatibleBitmap(screen, 32, 16);
    HGDIOBJ previous = SelectObject(memory, strip);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), green = CreateSolidBrush(RGB(0, 160, 0));
    RECT first{0, 0, 16, 16}, second{16, 0, 32, 16};
    FillRect(memory, &first, red);
    FillRect(memory, &second, green);
    SelectObject(memory, previous);
    EXPECT_EQ(ImageList_Add(icons, strip, nullptr), 0);
    EXPECT_EQ(ImageList_GetImageCount(icons), 2);
    SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(icons));

    TVINSERTSTRUCTW insert;
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<wchar_t*>(L"照片");
    insert.item.iImage = 0;
    insert.item.iSelectedImage = 1;
    auto folder =
        reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    Insert(folder, L"child");
    SetFocus(tree);
    PumpPending();

    const RECT label = ItemRect(folder, TRUE);
    const int middle = (label.top + label.bottom) / 2;
    HDC dc = GetDC(tree);
    EXPECT_EQ(GetPixel(dc, label.left - 10, middle), RGB(255, 0, 0)) << "the icon";
    EXPECT_EQ(GetPixel(dc, 9, middle - 2), RGB(0x40, 0x40, 0x40)) << "the plus sign's upright of a collapsed item";
    EXPECT_EQ(GetPixel(dc, label.right - 1, middle), RGB(255, 255, 255));
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(folder));
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(folder));
    PumpPending();
    EXPECT_EQ(GetPixel(dc, label.left - 10, middle), RGB(0, 160, 0)) << "the selected icon";
    EXPECT_EQ(GetPixel(dc, label.right - 1, middle), RGB(0, 120, 215)) << "the focused selection";
    EXPECT_EQ(GetPixel(dc, 9, middle - 2), RGB(255, 255, 255)) << "a minus sign only";
    ReleaseDC(tree, dc);

    DeleteObject(red);
    DeleteObject(green);
    DeleteObject(strip);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    ImageList_Destroy(icons);
    EXPECT_EQ(ImageList_GetImageCount(icons), 0);
}

} // namespace
