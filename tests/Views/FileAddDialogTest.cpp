#include "ListViewSupport.h"
#include "PixelReference.h"

#include "Biz/AppConfig.h"
#include "Biz/FileAdmission.h"
#include "Gdiplus/TestPictures.h"
#include "Platform/Controls/TreeViewTypes.h"
#include "Platform/Text/TextConv.h"
#include "Platform/ShellApi/ByteSizeText.h"
#include "Platform/Win/Dialog.h"
#include "Platform/Win/HeadlessBackend.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/Timer.h"
#include "Platform/Win/Window.h"
#include "UI/Skin.h"
#include "Views/CFileAddDialog.h"
#include "Views/ListViewPostItem.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>

using namespace ListViewTest;

namespace {

// A soft two-colour photo-like picture of the hue, as JPEG or PNG bytes.
std::vector<std::uint8_t> Photo(int hue, std::uint32_t encoder)
{
    constexpr int width = 160, height = 120;
    std::vector<std::uint8_t> pixels(width * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = &pixels[(y * width + x) * 4];
            const double t = static_cast<double>(x + y) / (width + height);
            pixel[0] = static_cast<std::uint8_t>(120 + 100 * std::sin(hue + t * 3));
            pixel[1] = static_cast<std::uint8_t>(120 + 100 * std::sin(hue * 2 + t * 2));
            pixel[2] = static_cast<std::uint8_t>(120 + 100 * std::cos(hue + t));
            pixel[3] = 255;
        }
    auto bitmap = Platform::Gdiplus::Bitmap::FromPixels(width, height, width * 4, pixels.data());
    return TestPictures::Encode(*bitmap, encoder, 90);
}

// Steps run one after another from a timer inside the dialog's modal loop; a step
// that returns false is tried again at the next tick (it waits for a folder or the
// loader). A step that does not succeed within a minute ends the dialog with -5.
class ModalSteps {
public:
    explicit ModalSteps(std::vector<std::function<bool()>> steps) : steps(std::move(steps)) { current = this; }
    ~ModalSteps() { current = nullptr; }

    void StartOn(HWND owner)
    {
        since = std::chrono::steady_clock::now();
        SetTimer(owner, kTimer, 10, [](HWND window, UINT, UINT_PTR, DWORD) {
            ModalSteps* self = current;
            if (!self || self->next >= self->steps.size()) {
                KillTimer(window, kTimer);
                return;
            }
            if (std::chrono::steady_clock::now() - self->since > std::chrono::minutes(1)) {
                ADD_FAILURE() << "step " << self->next << " never succeeded";
                KillTimer(window, kTimer);
                EndDialog(GetActiveWindow(), -5);
                return;
            }
            // A step may run a nested loop (a message dialog) in which this timer fires.
            const std::size_t running = self->next;
            self->next = self->steps.size();
            const bool done = self->steps[running]();
            self->next = done ? running + 1 : running;
            if (done)
                self->since = std::chrono::steady_clock::now();
        });
    }

private:
    static constexpr UINT_PTR kTimer = 91;
    static inline ModalSteps* current = nullptr;
    std::vector<std::function<bool()>> steps;
    std::size_t next = 0;
    std::chrono::steady_clock::time_point since;
};

// A home folder with a folder of pictures (and files the dialog must not show), the
// folder remembered as the last one used, and a main upload list.
class FileAddDialogTest : public ListFixture {
protected:
    void SetUp() override
    {
        ListFixture::SetUp();
        SetUpSkin();
        std::string pattern = (std::filesystem::temp_directory_path() / "trellan-dialog-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        home = pattern;
        photos = home / "photos";
        std::filesystem::create_directories(photos / "sub.jpg");
        std::filesystem::create_directories(home / "home" / "photos2");
        Write(photos / "a.JPG", Photo(1, TestPictures::Jpeg));
        Write(photos / "b.jpeg", Photo(2, TestPictures::Jpeg));
        Write(photos / "c.tif", Photo(3, TestPictures::Png)); // named .tif, read by its content
        Write(photos / "d.tiff", Photo(4, TestPictures::Jpeg));
        Write(photos / "e.png", {});
        Write(photos / ".hidden.jpg", Photo(5, TestPictures::Jpeg));
        ASSERT_EQ(mkfifo((photos / "pipe.jpg").c_str(), 0600), 0);
        const char* old = std::getenv("HOME");
        savedHome = old ? old : "";
        setenv("HOME", home.c_str(), 1);
        savedFolder = AppConfig::Instance().GetFolderPath();
        AppConfig::Instance().SetFolderPath(photos.wstring());
        MakeList(640, 400);
    }

    void TearDown() override
    {
        ListFixture::TearDown();
        AppConfig::Instance().SetFolderPath(savedFolder);
        AppConfig::Instance().AllowedTypes.clear();
        AppConfig::Instance().MaxFileSize = 0;
        setenv("HOME", savedHome.c_str(), 1);
        std::filesystem::remove_all(home);
    }

    static void Write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
    {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    std::vector<std::wstring> GridNames()
    {
        std::vector<std::wstring> names;
        for (ListViewItem* tile : dialog.Grid().Items())
            names.push_back(tile->Data()->fileName);
        return names;
    }

    bool GridLoaded()
    {
        for (ListViewItem* tile : dialog.Grid().Items())
            if (!tile->Data()->IsLoaded())
                return false;
        return !dialog.Grid().IsEmpty();
    }

    // The tree's node after node as how says (TVGN_ROOT, TVGN_CHILD, TVGN_NEXT).
    static HTREEITEM Next(HWND tree, HTREEITEM node, WPARAM how)
    {
        return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(node)));
    }

    std::wstring SelectedFolder()
    {
        const HWND tree = dialog.Tree();
        auto node = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        const auto* data = node ? reinterpret_cast<CFileAddDialog::TreeNodeData*>([&] {
            TVITEMW query;
            query.mask = TVIF_PARAM;
            query.hItem = node;
            SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
            return query.lParam;
        }())
                                : nullptr;
        return data ? data->item->path : L"";
    }

    // Runs the dialog: checks its grid's two tiles, runs inspect, presses OK.
    Platform::INT_PTR CheckBothAndAdd(const std::function<void()>& inspect)
    {
        ModalSteps steps({
            [&] { return dialog.Grid().Count() == 2; },
            [&] {
                ClickTile(0);
                ClickTile(1);
                return true;
            },
            [&] { return dialog.Grid().CheckedCount() == 2; },
            [&] {
                inspect();
                ClickDialog(820 - 73 - 25, 520 - 6 - 12); // OK
                return true;
            },
        });
        steps.StartOn(owner);
        return dialog.DoModal(owner);
    }

    // Clicks the grid's tile at index (picker tiles are 140 x 141 with gaps of 14 and 32).
    void ClickTile(int index) { ClickTile(index, dialog); }
    void ClickTile(int index, CFileAddDialog& target)
    {
        const int columns = target.Grid().Columns();
        POINT point{4 + (index % columns) * 154 + 70, 4 + (index / columns) * 173 + 60};
        ClientToScreen(target.Grid().GetHwnd(), &point);
        CurrentBackend().InjectMouse(Backend::MouseAction::Move, point);
        CurrentBackend().InjectMouse(Backend::MouseAction::LeftDown, point);
        CurrentBackend().InjectMouse(Backend::MouseAction::LeftUp, point);
    }

    void ClickDialog(int x, int y)
    {
        RECT rect;
        GetWindowRect(dialog.GetHwnd(), &rect);
        const POINT point{rect.left + x, rect.top + y};
        CurrentBackend().InjectMouse(Backend::MouseAction::Move, point);
        CurrentBackend().InjectMouse(Backend::MouseAction::LeftDown, point);
        CurrentBackend().InjectMouse(Backend::MouseAction::LeftUp, point);
    }

    static void Key(UINT key)
    {
        CurrentBackend().InjectKey(key, true);
        CurrentBackend().InjectKey(key, false);
    }

    std::filesystem::path home, photos;
    std::string savedHome;
    std::wstring savedFolder;
    CFileAddDialog dialog;
};

TEST_F(FileAddDialogTest, OpensAtTheLastFolderAndShowsItsPicturesOnly)
{
    dialog.SetMainList(list.get());
    RECT windowRect{};
    ModalSteps steps({
        [&] { return dialog.Grid().Count() == 2; },
        [&] {
            GetWindowRect(dialog.GetHwnd(), &windowRect);
            EXPECT_EQ(GridNames(), (std::vector<std::wstring>{L"a.JPG", L"c.tif"}));
            EXPECT_EQ(SelectedFolder(), photos.wstring());
            EXPECT_EQ(dialog.CountText().text, L"当前选择：0/2 张照片") << "the count is right from the start";
            return true;
        },
        [&] { return GridLoaded(); },
        [&] {
            PumpPending();
            // The tree shows the machine's own folders; the reference holds the rest.
            EXPECT_TRUE(
                Headless().Screenshot(dialog.GetHwnd(), PixelReference::OutputPath("Views/file-add-dialog-whole.png")));
            const RECT grid{191, 0, 820, 520};
            EXPECT_TRUE(Headless().Screenshot(dialog.GetHwnd(), PixelReference::OutputPath("Views/file-add-dialog.png"),
                                              &grid));
            EXPECT_LT(dialog.CountText().bounds.right, dialog.SizeText().bounds.left) << "the texts never overlap";
            Key(VK_ESCAPE);
            return true;
        },
    });
    steps.StartOn(owner);
    EXPECT_EQ(dialog.DoModal(owner), 2);
    EXPECT_EQ(windowRect.right - windowRect.left, 820);
    EXPECT_EQ(windowRect.bottom - windowRect.top, 520);
    EXPECT_TRUE(list->IsEmpty()) << "Esc adds nothing";
    const auto compared = PixelReference::CompareWithReference("Views/file-add-dialog.png");
    EXPECT_TRUE(compared.matches) << compared.message;
}

TEST_F(FileAddDialogTest, CheckedPicturesJoinTheMainListOnceAndTheTextsCountThem)
{
    dialog.SetMainList(list.get());
    list->makeDroppedTile = nullptr;
    list->AddItem(std::make_unique<ListViewPostItem>(list.get(), (photos / "a.JPG").wstring()));
    const std::int64_t sizeA = static_cast<std::int64_t>(std::filesystem::file_size(photos / "a.JPG"));
    const std::int64_t sizeC = static_cast<std::int64_t>(std::filesystem::file_size(photos / "c.tif"));
    wchar_t expectedSize[19];
    StrFormatByteSizeW(sizeA + sizeC, expectedSize, 19);
    EXPECT_EQ(CheckBothAndAdd([&] {
                  EXPECT_EQ(dialog.CountText().text, L"当前选择：2/2 张照片");
                  EXPECT_EQ(dialog.SizeText().text, (sizeA + sizeC < 1024 ? std::to_wstring(sizeA + sizeC) + L"bytes"
                                                                          : std::wstring(expectedSize)));
              }),
              0);
    ASSERT_EQ(list->Count(), 2) << "a.JPG was in the list already";
    EXPECT_EQ(list->Items()[0]->Data()->path, (photos / "a.JPG").wstring());
    EXPECT_EQ(list->Items()[1]->Data()->path, (photos / "c.tif").wstring());
}

TEST_F(FileAddDialogTest, TheLastFolderIsFollowedByWholeComponents)
{
    // The path holds "/home" (a folder of the root on most systems) inside a component
    // chain of its own, and ends with a slash.
    const std::wstring folder = (home / "home" / "photos2").wstring();
    AppConfig::Instance().SetFolderPath(folder + L"/");
    bool homeFolderRead = false;
    ModalSteps steps({
        [&] { return !SelectedFolder().empty(); },
        [&] {
            EXPECT_EQ(SelectedFolder(), folder);
            EXPECT_EQ(AppConfig::Instance().GetFolderPath(), folder) << "kept without the slash";
            // "/home" was not read on the way: it is not one of the path's components.
            const HWND tree = dialog.Tree();
            for (auto node = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)); node;
                 node = reinterpret_cast<HTREEITEM>(
                     SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(node)))) {
                TVITEMW query;
                query.mask = TVIF_PARAM;
                query.hItem = node;
                SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
                const auto* data = reinterpret_cast<CFileAddDialog::TreeNodeData*>(query.lParam);
                if (data && data->item->path == L"/home" && data->populated)
                    homeFolderRead = true;
            }
            // The computer has no path: the grid empties and the folder is kept.
            auto computer = reinterpret_cast<HTREEITEM>(
                SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD,
                             static_cast<LPARAM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0))));
            SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(computer));
            EXPECT_TRUE(dialog.Grid().IsEmpty());
            EXPECT_EQ(AppConfig::Instance().GetFolderPath(), folder);
            Key(VK_RETURN);
            return true;
        },
    });
    steps.StartOn(owner);
    EXPECT_EQ(dialog.DoModal(owner), 1) << "Enter ends the dialog";
    EXPECT_FALSE(homeFolderRead);
    EXPECT_TRUE(list->IsEmpty());
}

} // namespace

namespace {

TEST_F(FileAddDialogTest, AFolderOfTheHomeFolderOpensFromTheDesktop)
{
    // A home folder as a person has it; nothing remembered yet.
    const std::filesystem::path pictures = home / "图片";
    std::filesystem::create_directories(pictures / "2024 旅行");
    std::filesystem::create_directories(home / "Documents");
    std::filesystem::create_directories(home / "Music");
    const char* names[] = {"海边.jpg",   "IMG_0042.JPG", "IMG_0043.jpg", "山顶日出.jpg",
                           "family.png", "garden.jpg",   "夜景.jpg"};
    for (int i = 0; i < 7; ++i)
        Write(pictures / names[i], Photo(10 + i * 3, i == 4 ? TestPictures::Png : TestPictures::Jpeg));
    AppConfig::Instance().SetFolderPath(L"");
    ModalSteps steps({
        [&] {
            const HWND tree = dialog.Tree();
            const HTREEITEM desktop = Next(tree, nullptr, TVGN_ROOT);
            for (HTREEITEM node = Next(tree, desktop, TVGN_CHILD); node; node = Next(tree, node, TVGN_NEXT)) {
                if (dialog.NodeText(node) == L"图片") {
                    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node));
                    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
                }
            }
            return true;
        },
        [&] { return dialog.Grid().Count() == 7 && GridLoaded(); },
        [&] {
            ClickTile(1);
            ClickTile(3);
            return true;
        },
        [&] {
            PumpPending();
            EXPECT_EQ(AppConfig::Instance().GetFolderPath(), PathToWide(pictures.string()));
            EXPECT_TRUE(
                Headless().Screenshot(dialog.GetHwnd(), PixelReference::OutputPath("Views/file-add-dialog-home.png")));
            Key(VK_ESCAPE);
            return true;
        },
    });
    steps.StartOn(owner);
    EXPECT_EQ(dialog.DoModal(owner), 2);
    const auto compared = PixelReference::CompareWithReference("Views/file-add-dialog-home.png");
    EXPECT_TRUE(compared.matches) << compared.message;
}

} // namespace

namespace {

TEST_F(FileAddDialogTest, AtMostAHundredPicturesAreAddedPerUseWithANotice)
{
    const std::filesystem::path many = home / "many";
    std::filesystem::create_directories(many);
    const std::vector<std::uint8_t> bytes = Photo(7, TestPictures::Png);
    for (int i = 0; i < 120; ++i)
        Write(many / ("p" + std::to_string(1000 + i) + ".png"), bytes);
    AppConfig::Instance().SetFolderPath(many.wstring());
    dialog.SetMainList(list.get());
    std::vector<std::string> refusals;
    const Platform::ScopedConnection watching = FileAdmission::Instance().refused.connect(
        [&](const std::wstring&, const std::string& reason) { refusals.push_back(reason); });
    std::wstring notice;
    ModalSteps steps({
        [&] { return dialog.Grid().Count() == 120; },
        [&] {
            ClickDialog(208 + 5, 496 + 6); // select all
            return true;
        },
        [&] { return dialog.Grid().CheckedCount() == 120; },
        [&] {
            ClickDialog(820 - 73 - 25, 520 - 6 - 12); // OK
            return true;
        },
        [&] {
            // The notice runs its own modal loop over the dialog.
            const HWND active = GetActiveWindow();
            if (active == dialog.GetHwnd() || !active)
                return false;
            notice = L"shown";
            Key(VK_RETURN);
            return true;
        },
    });
    steps.StartOn(owner);
    EXPECT_EQ(dialog.DoModal(owner), 0);
    EXPECT_EQ(notice, L"shown");
    EXPECT_EQ(list->Count(), 100);
    EXPECT_EQ(list->Items().back()->Data()->fileName, L"p1099.png");
    // Every checked picture left out is reported, for the page's events.
    EXPECT_EQ(refusals, std::vector<std::string>(20, "too_many"));
}

TEST_F(FileAddDialogTest, ThePagesAllowedTypesAndSizeLimitHoldForCheckedPictures)
{
    AppConfig::Instance().AllowedTypes = {L".jpg"};
    // A file of the limit's size is still taken.
    AppConfig::Instance().MaxFileSize = static_cast<std::int64_t>(std::filesystem::file_size(photos / "a.JPG"));
    dialog.SetMainList(list.get());
    std::vector<std::string> refusals;
    const Platform::ScopedConnection watching =
        FileAdmission::Instance().refused.connect([&](const std::wstring& path, const std::string& reason) {
            refusals.push_back(std::filesystem::path(path).filename().string() + " " + reason);
        });
    EXPECT_EQ(CheckBothAndAdd([] {}), 0);
    ASSERT_EQ(list->Count(), 1);
    EXPECT_EQ(list->Items()[0]->Data()->path, (photos / "a.JPG").wstring());
    EXPECT_EQ(refusals, std::vector<std::string>{"c.tif type"});
}

TEST_F(FileAddDialogTest, CancelAndCloseAddNothing)
{
    for (const POINT button : {POINT{820 - 16 - 25, 520 - 6 - 12}, POINT{820 - 6 - 7, 5 + 7}}) {
        CFileAddDialog another;
        another.SetMainList(list.get());
        ModalSteps steps({
            [&] { return another.Grid().Count() == 2; },
            [&] {
                ClickTile(0, another);
                RECT rect;
                GetWindowRect(another.GetHwnd(), &rect);
                const POINT at{rect.left + button.x, rect.top + button.y};
                CurrentBackend().InjectMouse(Backend::MouseAction::Move, at);
                CurrentBackend().InjectMouse(Backend::MouseAction::LeftDown, at);
                CurrentBackend().InjectMouse(Backend::MouseAction::LeftUp, at);
                return true;
            },
        });
        steps.StartOn(owner);
        EXPECT_EQ(another.DoModal(owner), 0) << button.x;
        EXPECT_TRUE(list->IsEmpty()) << button.x;
    }
}

// In English every text of the dialog is English, the desktop and the computer head
// the tree in English, and the longer texts at the bottom keep apart.
TEST_F(FileAddDialogTest, InEnglishTheDialogAndItsTreeSpeakEnglish)
{
    AppConfig::Instance().Language = UiLanguage::English;
    AppConfig::Instance().SetFolderPath(L"");
    CFileAddDialog english;
    english.SetMainList(list.get());
    const auto nodeText = [&](HTREEITEM node) { return english.NodeText(node); };
    const auto next = [&](HTREEITEM node, WPARAM how) { return Next(english.Tree(), node, how); };
    ModalSteps steps({
        [&] {
            const HTREEITEM desktop = next(nullptr, TVGN_ROOT);
            EXPECT_EQ(nodeText(desktop), L"Desktop");
            EXPECT_EQ(nodeText(next(desktop, TVGN_CHILD)), L"Computer");
            EXPECT_EQ(english.CountText().text, L"Selected 0/0 photos");
            EXPECT_EQ(english.SizeText().text, L"Total 0.00KB");
            for (HTREEITEM node = next(desktop, TVGN_CHILD); node; node = next(node, TVGN_NEXT))
                if (nodeText(node) == L"photos")
                    SendMessageW(english.Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
            return true;
        },
        [&] {
            for (ListViewItem* tile : english.Grid().Items())
                if (!tile->Data()->IsLoaded())
                    return false;
            return english.Grid().Count() == 2;
        },
        [&] {
            ClickTile(1, english);
            return true;
        },
        [&] {
            PumpPending();
            EXPECT_EQ(english.CountText().text, L"Selected: 1/2 photos");
            const auto& selectAll = english.SelectAllBox();
            EXPECT_LT(selectAll.bounds.right + selectAll.TextOverhang(), english.CountText().bounds.left);
            EXPECT_LT(english.CountText().bounds.right, english.SizeText().bounds.left);
            EXPECT_TRUE(
                Headless().Screenshot(english.GetHwnd(), PixelReference::OutputPath("Views/file-add-dialog-en.png")));
            Key(VK_ESCAPE);
            return true;
        },
    });
    steps.StartOn(owner);
    EXPECT_EQ(english.DoModal(owner), 2);
    AppConfig::Instance().Language = UiLanguage::Chinese;
    const auto compared = PixelReference::CompareWithReference("Views/file-add-dialog-en.png");
    EXPECT_TRUE(compared.matches) << compared.message;
}

} // namespace
