#include "ControlFixture.h"

#include "Biz/AppState.h"
#include "Biz/ImageData.h"
#include "Editor/EditorTestSupport.h"
#include "Imaging/RasterConversion.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Win/Backend.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/Timer.h"
#include "Platform/Win/WindowGeometry.h"
#include "Views/ListViewPostItem.h"
#include "support/ChildProcess.h"
#include "support/TestReceiver.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <unistd.h>

using namespace Platform;
using Action = Backend::MouseAction;

namespace {

// A person's whole way through the editor in the control: a photo added, its tile's
// edit button, the tabs, a slider, a crop and OK, then the upload; and the same
// photo confirmed without edits.
class EditorScenario : public ControlFixture {
protected:
    void SetUp() override
    {
        ControlFixture::SetUp();
        ShowWindow(container, SW_SHOW);
        Pump();
    }
    void TearDown() override
    {
        AppState::Instance().SetEnded();
        ControlFixture::TearDown();
        std::filesystem::remove_all(store);
    }

    ListViewPostItem* AddPhoto(const std::string& name)
    {
        const std::wstring path = EditorTest::WritePhoto(EditorTest::PatternPicture(1600, 1200), name);
        ListView& list = control->View().list;
        auto* tile = static_cast<ListViewPostItem*>(list.AddItem(std::make_unique<ListViewPostItem>(&list, path)));
        control->View().OnFilesAdded();
        tile->Data()->Load();
        Pump();
        return tile;
    }

    // A press and release at a point of a window's client area.
    static void ClickIn(HWND window, POINT point)
    {
        EditorTest::Mouse(window, Action::Move, point);
        EditorTest::Mouse(window, Action::LeftDown, point);
        EditorTest::Mouse(window, Action::LeftUp, point);
        EditorTest::Pump();
    }

    // Selects the tile, then presses its edit button; whileUp runs inside the editor.
    void EditThroughTheTile(ListViewPostItem* tile, std::function<void(HWND)> whileUp)
    {
        const HWND listWindow = control->View().list.GetHwnd();
        const RECT button = tile->editButton;
        const POINT centre{(tile->GetBounds().left + tile->GetBounds().right) / 2, tile->GetBounds().top + 40};
        ClickIn(listWindow, centre);
        EditorTest::WhenUp(container, std::move(whileUp));
        ClickIn(listWindow, POINT{(button.left + button.right) / 2, (button.top + button.bottom) / 2});
    }

    static SIZE StoredSize(const std::filesystem::path& file)
    {
        const auto bitmap = Gdiplus::Bitmap::FromFile(file.wstring());
        return SIZE{static_cast<int>(bitmap->GetWidth()), static_cast<int>(bitmap->GetHeight())};
    }

    const std::filesystem::path store =
        std::filesystem::temp_directory_path() / ("trellan-editor-scenario-" + std::to_string(getpid()));
};

TEST_F(EditorScenario, TheEditedPhotoIsUploadedAtItsEditedSizeAndAnUneditedOneAtItsOwn)
{
    std::filesystem::create_directories(store);
    TestSupport::TestReceiver receiver({"--store", store.string()});
    AppConfig::Instance().PostUrl = receiver.WideUrl();
    ListViewPostItem* edited = AddPhoto("scenario-edited");
    ListViewPostItem* confirmed = AddPhoto("scenario-confirmed");

    bool editorSeen = false;
    EditThroughTheTile(edited, [&](HWND dialog) {
        editorSeen = GetClassNameW(dialog) != GetClassNameW(container);
        ClickIn(dialog, POINT{40, 91}); // "调整亮度"
        // The brightness slider's thumb sits in the middle of (119, 31, 241, 46).
        const POINT thumb{119 + 61, 38};
        EditorTest::Mouse(dialog, Action::Move, thumb);
        EditorTest::Mouse(dialog, Action::LeftDown, thumb);
        EditorTest::Mouse(dialog, Action::Move, POINT{thumb.x + 20, thumb.y});
        EditorTest::Mouse(dialog, Action::LeftUp, POINT{thumb.x + 20, thumb.y});
        EditorTest::Pump();
        ClickIn(dialog, POINT{40, 199}); // "裁剪图片"
        // The canvas's client area starts at (79, 52); the picture shows at 664 x 498 from (16, 0).
        POINT from{79 + 100, 52 + 100}, to{79 + 300, 52 + 250};
        EditorTest::Mouse(dialog, Action::Move, from);
        EditorTest::Mouse(dialog, Action::LeftDown, from);
        EditorTest::Mouse(dialog, Action::Move, to);
        EditorTest::Mouse(dialog, Action::LeftUp, to);
        EditorTest::Pump();
        ClickIn(dialog, POINT{368, 38}); // "裁剪"
        ClickIn(dialog, POINT{679, 583}); // "确定"
    });
    EXPECT_TRUE(editorSeen);
    EditThroughTheTile(confirmed, [&](HWND dialog) { ClickIn(dialog, POINT{679, 583}); });

    control->View().OnUploadClicked();
    MSG message;
    while (AppState::Instance().IsUploading() && GetMessageW(&message, nullptr, 0, 0))
        DispatchMessageW(&message);
    ASSERT_TRUE(receiver.WaitForRecorded(2));
    // The receiver stores each file under the name it was sent with.
    const std::string prefix = "trellan-editor-" + std::to_string(getpid()) + "-scenario-";
    const SIZE editedSize = StoredSize(store / (prefix + "edited.png"));
    ASSERT_EQ(editedSize.cx, 501);
    ASSERT_EQ(editedSize.cy, 381);
    EXPECT_EQ(StoredSize(store / (prefix + "confirmed.png")), (SIZE{1600, 1200}));
    // Brighter than the photo at the same place: the crop starts at (193, 231).
    const auto bitmap = Gdiplus::Bitmap::FromFile((store / (prefix + "edited.png")).wstring());
    const RasterImage stored = PictureToRaster(bitmap);
    const RasterImage::Color original = EditorTest::Pattern(193 + 10, 231 + 10);
    EXPECT_GT(EditorTest::At(stored, 10, 10).green, original.green);
}

} // namespace

namespace {

TEST_F(EditorScenario, ADoubleClickOnATileAndItsViewButtonOpenThePreview)
{
    ListViewPostItem* tile = AddPhoto("scenario-view");
    const HWND listWindow = control->View().list.GetHwnd();
    POINT centre{(tile->GetBounds().left + tile->GetBounds().right) / 2, tile->GetBounds().top + 40};
    ClientToScreen(listWindow, &centre);
    CurrentBackend().InjectMouse(Action::Move, centre);
    CurrentBackend().InjectMouse(Action::LeftDown, centre);
    CurrentBackend().InjectMouse(Action::LeftUp, centre);
    CurrentBackend().InjectMouse(Action::LeftDown, centre);
    CurrentBackend().InjectMouse(Action::LeftUp, centre);
    Pump();
    HWND preview = GetActiveWindow();
    ASSERT_EQ(GetClassNameW(preview), L"TrellanImageView");
    EXPECT_TRUE(IsWindowVisible(preview));
    EditorTest::Key(VK_ESCAPE);
    Pump();
    EXPECT_FALSE(IsWindow(preview));

    const RECT button = tile->viewButton;
    ClickIn(listWindow, POINT{(button.left + button.right) / 2, (button.top + button.bottom) / 2});
    preview = GetActiveWindow();
    EXPECT_EQ(GetClassNameW(preview), L"TrellanImageView");
    // A click back on the control takes the focus away, which closes it.
    ClickIn(listWindow, POINT{5, 5});
    EXPECT_FALSE(IsWindow(preview));
}

} // namespace

namespace {

// Mean green of a square of the picture, top-left corner (x, y) counted from the top.
double MeanGreen(const PictureHandle& picture, int x, int y, int side)
{
    const RasterImage raster = PictureToRaster(picture);
    double sum = 0;
    for (int dy = 0; dy < side; ++dy)
        for (int dx = 0; dx < side; ++dx)
            sum += EditorTest::At(raster, x + dx, y + dy).green;
    return sum / (side * side);
}

// Phone photos of 12 MP in the formats phones and sites keep: HEIC, AVIF and WebP,
// made by Debian's encoders from one camera JPEG. The page adds them, the user brightens
// the HEIC in the editor, and the server receives three JPEG files named .jpg.
TEST_F(EditorScenario, HeicAvifAndWebpPhotosAreAddedEditedAndSentAsJpegNamedJpg)
{
    std::filesystem::create_directories(store);
    const std::filesystem::path camera = store / "camera.jpg";
    const EncodedPicture jpeg = EncodePicture(EditorTest::PatternPicture(4032, 3024), L"jpg", 92);
    std::ofstream(camera, std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.bytes.get()), static_cast<std::streamsize>(jpeg.length));
    const std::filesystem::path heic = store / "IMG_0001.HEIC", avif = store / "IMG_0002.avif",
                                webp = store / "IMG_0003.webp";
    const std::vector<std::vector<std::string>> encoders = {
        {"heif-enc", "-q", "80", "-p", "preset=ultrafast", camera.string(), "-o", heic.string()},
        {"avifenc", "-s", "10", camera.string(), avif.string()},
        {"cwebp", "-quiet", "-q", "85", camera.string(), "-o", webp.string()},
    };
    for (const auto& command : encoders) {
        TestSupport::ChildProcess encoder(command);
        ASSERT_EQ(encoder.WaitExit(std::chrono::seconds(120)), 0) << command[0];
    }
    for (const auto& made : {heic, avif, webp})
        ASSERT_GT(std::filesystem::file_size(made), 500u << 10) << made;

    const std::filesystem::path received = store / "received";
    std::filesystem::create_directories(received);
    TestSupport::TestReceiver receiver({"--store", received.string()});
    AppConfig::Instance().PostUrl = receiver.WideUrl();
    // A name sent as it is keeps its dot, so its part is typed by its extension.
    AppConfig::Instance().EncodeType = L"gbk";
    for (const auto& path : {heic, avif, webp})
        ASSERT_EQ(Post(R"({"name":"addFile","path":")" + path.string() + R"("})"), S_OK);
    Pump();
    auto& items = control->View().list;
    ASSERT_EQ(items.Items().size(), 3u);
    auto* heicTile = static_cast<ListViewPostItem*>(items.ItemAtIndex(0));
    heicTile->Data()->Load();
    ASSERT_EQ(heicTile->Data()->Picture()->GetWidth(), 4032u);
    const double before = MeanGreen(heicTile->Data()->Picture(), 1000, 1000, 64);
    Pump();

    EditThroughTheTile(heicTile, [&](HWND dialog) {
        ClickIn(dialog, POINT{40, 91}); // "调整亮度"
        const POINT thumb{119 + 61, 38};
        EditorTest::Mouse(dialog, Action::Move, thumb);
        EditorTest::Mouse(dialog, Action::LeftDown, thumb);
        EditorTest::Mouse(dialog, Action::Move, POINT{thumb.x + 30, thumb.y});
        EditorTest::Mouse(dialog, Action::LeftUp, POINT{thumb.x + 30, thumb.y});
        EditorTest::Pump();
        ClickIn(dialog, POINT{679, 583}); // "确定"
    });
    EXPECT_FALSE(heicTile->Data()->IsUnchanged());

    control->View().OnUploadClicked();
    MSG message;
    while (AppState::Instance().IsUploading() && GetMessageW(&message, nullptr, 0, 0))
        DispatchMessageW(&message);
    ASSERT_TRUE(receiver.WaitForRecorded(3));
    std::set<std::string> names;
    for (int i = 0; i < 3; ++i) {
        const Json::Value parsed = receiver.Parsed(i);
        for (const Json::Value& part : parsed["parts"]) {
            if (part["filename"].isNull())
                continue;
            names.insert(part["filename"].asString());
            EXPECT_EQ(part["content_type"].asString(), "image/jpeg") << part["filename"].asString();
        }
    }
    EXPECT_EQ(names, (std::set<std::string>{"IMG_0001.jpg", "IMG_0002.jpg", "IMG_0003.jpg"}));
    for (const std::string& name : names) {
        const std::filesystem::path file = received / name;
        std::ifstream in(file, std::ios::binary);
        char head[3] = {};
        in.read(head, 3);
        EXPECT_EQ(std::string(head, 3), "\xFF\xD8\xFF") << name;
        const auto sent = Gdiplus::Bitmap::FromFile(file.wstring());
        EXPECT_EQ(sent->GetRawFormat(), Gdiplus::ImageFormat::Jpeg) << name;
        EXPECT_EQ(sent->GetWidth(), 4032u) << name;
        EXPECT_EQ(sent->GetHeight(), 3024u) << name;
    }
    EXPECT_GT(MeanGreen(Gdiplus::Bitmap::FromFile((received / "IMG_0001.jpg").wstring()), 1000, 1000, 64), before + 5);
}

} // namespace
