// The web backend through its channel: what the page is told about windows, how
// pictures wait for acknowledgements and merge meanwhile, and page input reaching
// windows as window-system messages.

#include "Win/WinTestSupport.h"

#include "Platform/Gdi/Drawing.h"
#include "Platform/Gdi/GdiObjects.h"
#include "Platform/Text/TextConv.h"
#include "Platform/Web/FileSpool.h"
#include "Platform/Web/PageInput.h"
#include "Platform/Web/WebBackend.h"
#include "Platform/Web/WebChannel.h"
#include "Platform/Web/WebJson.h"
#include "Platform/Win/DroppedFiles.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Screen.h"
#include "Platform/Win/Surface.h"
#include "Platform/Win/WindowGeometry.h"

#include <poll.h>
#include <sys/socket.h>

#include <cstring>
#include <filesystem>

using namespace Platform;
using namespace Platform::Web;

namespace {

struct Sent {
    bool picture = false;
    Json::Value message; // text messages
    std::uint32_t window = 0, frame = 0; // frames
    std::vector<std::vector<int>> parts; // each picture of a frame: x, y, width, height
};

std::uint32_t Word(const std::string& bytes, std::size_t at)
{
    std::uint32_t value;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

using Parts = std::vector<std::vector<int>>;

std::uint32_t BigWord(const std::string& bytes, std::size_t at)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    return (std::uint32_t(b[0]) << 24) | (b[1] << 16) | (b[2] << 8) | b[3];
}

class WebBackendTest : public WinTest::WindowTest {
protected:
    static void SetUpTestSuite()
    {
        int sockets[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, sockets), 0);
        channel = new WebChannel(sockets[0]);
        page = new WebChannel(sockets[1]);
        pageDescriptor = sockets[1];
        auto installed = std::make_unique<WebBackend>(*channel, 1024, 700);
        backend = installed.get();
        InstallBackend(std::move(installed));
        spoolFolder = std::filesystem::temp_directory_path() / ("web-backend-test-" + std::to_string(getpid()));
        std::filesystem::create_directories(spoolFolder);
        spool = new FileSpool(spoolFolder);
        input = new PageInput(*backend, *spool);
    }

    static void TearDownTestSuite() { std::filesystem::remove_all(spoolFolder); }

    void SetUp() override
    {
        WindowTest::SetUp();
        // Windows paint what is invalid in a colour of its own each time, so that every
        // paint changes pixels.
        WinTest::Recorder::Instance().hook = [](HWND window, UINT message, WPARAM, LPARAM, LRESULT& result) {
            if (message != WM_PAINT)
                return false;
            static int paints = 0;
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(window, &paint);
            const HBRUSH brush = CreateSolidBrush(RGB(40 + ++paints % 200, 90, 160));
            FillRect(dc, &paint.rcPaint, brush);
            DeleteObject(brush);
            EndPaint(window, &paint);
            result = 0;
            return true;
        };
        Received();
    }

    // Everything the backend has sent so far.
    static std::vector<Sent> Received()
    {
        std::vector<Sent> sent;
        FrameKind kind;
        std::string payload;
        while (Available() && page->Receive(kind, payload)) {
            Sent item;
            if (kind == FrameKind::Binary) {
                item.picture = true;
                item.window = Word(payload, 1);
                item.frame = Word(payload, 5);
                std::size_t at = WebBackend::kFrameHeaderSize;
                for (std::uint32_t count = Word(payload, 29); count > 0; --count) {
                    const std::size_t png = at + WebBackend::kPictureHeaderSize;
                    item.parts.push_back({static_cast<int>(Word(payload, at)), static_cast<int>(Word(payload, at + 4)),
                                          static_cast<int>(BigWord(payload, png + 16)),
                                          static_cast<int>(BigWord(payload, png + 20))});
                    at = png + Word(payload, at + 8);
                }
            } else {
                ParseMessage(payload, item.message);
            }
            sent.push_back(item);
        }
        return sent;
    }

    static bool Available();

    static std::vector<Sent> Pictures(const std::vector<Sent>& sent)
    {
        std::vector<Sent> pictures;
        std::copy_if(sent.begin(), sent.end(), std::back_inserter(pictures), [](const Sent& s) { return s.picture; });
        return pictures;
    }

    static const Json::Value* Find(const std::vector<Sent>& sent, const std::string& kind)
    {
        for (const Sent& item : sent)
            if (!item.picture && item.message["t"] == kind)
                return &item.message;
        return nullptr;
    }

    void Settle()
    {
        WinTest::PumpPending();
        backend->Flush();
    }

    // Acknowledges every picture sent so far and returns what came meanwhile.
    std::vector<Sent> AcknowledgeAll(const std::vector<Sent>& sent)
    {
        for (const Sent& picture : Pictures(sent))
            backend->Acknowledge(picture.frame);
        Settle();
        return Received();
    }

    static inline WebChannel* channel = nullptr;
    static inline WebChannel* page = nullptr;
    static inline WebBackend* backend = nullptr;
    static inline FileSpool* spool = nullptr;
    static inline PageInput* input = nullptr;
    static inline std::filesystem::path spoolFolder;
    static inline int pageDescriptor = -1;
};

bool WebBackendTest::Available()
{
    pollfd ready{pageDescriptor, POLLIN, 0};
    return poll(&ready, 1, 0) == 1;
}

} // namespace

TEST_F(WebBackendTest, PicturesWaitForAcknowledgementsAndMergeMeanwhile)
{
    const HWND window = TopLevel(30, 40, 200, 100);
    Settle();
    std::vector<Sent> sent = Received();
    const Json::Value* shown = Find(sent, "window");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ((*shown)["id"].asUInt(), WebBackend::WindowId(window));
    EXPECT_EQ((*shown)["x"].asInt(), 30);
    EXPECT_EQ((*shown)["w"].asInt(), 200);
    EXPECT_TRUE((*shown)["visible"].asBool());
    ASSERT_NE(Find(sent, "order"), nullptr);
    std::vector<Sent> pictures = Pictures(sent);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].window, WebBackend::WindowId(window));
    EXPECT_EQ(pictures[0].parts, Parts({{0, 0, 200, 100}}));

    const RECT first{10, 10, 20, 20};
    InvalidateRect(window, &first, TRUE);
    Settle();
    pictures = Pictures(Received());
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].parts, Parts({{10, 10, 10, 10}}));
    const std::uint32_t secondFrame = pictures[0].frame;

    // Two pictures wait: new paints are kept back and merged.
    for (RECT area : {RECT{50, 50, 60, 60}, RECT{100, 20, 110, 30}}) {
        InvalidateRect(window, &area, TRUE);
        Settle();
    }
    EXPECT_TRUE(Pictures(Received()).empty());
    backend->Acknowledge(9999); // never sent: changes nothing
    Settle();
    EXPECT_TRUE(Pictures(Received()).empty());

    backend->Acknowledge(secondFrame);
    Settle();
    pictures = Pictures(Received());
    ASSERT_EQ(pictures.size(), 1u);
    // One frame for both areas, with only the pixels that changed.
    EXPECT_EQ(pictures[0].parts, Parts({{100, 20, 10, 10}, {50, 50, 10, 10}}));
    AcknowledgeAll(pictures);
}

TEST_F(WebBackendTest, ThePageLearnsOfPlacesCursorsAndTheEndOfWindows)
{
    const HWND window = TopLevel(0, 0, 120, 80);
    Settle();
    AcknowledgeAll(Received());

    MoveWindow(window, 15, 25, 140, 90, TRUE);
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    Settle();
    std::vector<Sent> sent = Received();
    const Json::Value* moved = Find(sent, "window");
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(
        std::vector<int>({(*moved)["x"].asInt(), (*moved)["y"].asInt(), (*moved)["w"].asInt(), (*moved)["h"].asInt()}),
        std::vector<int>({15, 25, 140, 90}));
    ASSERT_NE(Find(sent, "cursor"), nullptr);
    EXPECT_EQ((*Find(sent, "cursor"))["css"], "pointer");
    // A new surface is sent whole.
    const std::vector<Sent> pictures = Pictures(sent);
    ASSERT_FALSE(pictures.empty());
    ASSERT_EQ(pictures.back().parts.size(), 1u);
    EXPECT_EQ(pictures.back().parts[0][2], 140);
    AcknowledgeAll(sent);

    DestroyWindow(window);
    sent = Received();
    ASSERT_NE(Find(sent, "gone"), nullptr);
    EXPECT_EQ((*Find(sent, "gone"))["id"].asUInt(), WebBackend::WindowId(window));

    backend->SetViewport(640, 480);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
    backend->SetViewport(1024, 700);
}

TEST_F(WebBackendTest, PageInputBecomesWindowMessages)
{
    const HWND window = TopLevel(10, 10, 100, 100);
    Settle();
    AcknowledgeAll(Received());
    auto handle = [](const char* text) {
        Json::Value message;
        EXPECT_TRUE(ParseMessage(text, message)) << text;
        return input->Handle(message);
    };
    EXPECT_TRUE(handle(R"({"t":"mouse","a":"down","b":0,"x":15,"y":17})"));
    EXPECT_TRUE(handle(R"({"t":"mouse","a":"up","b":0,"x":15,"y":17})"));
    EXPECT_TRUE(handle(R"({"t":"wheel","d":-240,"x":20,"y":20})"));
    EXPECT_TRUE(handle(R"({"t":"key","vk":65,"down":true})"));
    EXPECT_TRUE(handle(R"({"t":"key","vk":65,"down":false})"));
    EXPECT_TRUE(handle(R"({"t":"text","s":"中文"})"));
    // Out of range or of the wrong type: dropped.
    EXPECT_TRUE(handle(R"({"t":"key","vk":9999,"down":true})"));
    EXPECT_TRUE(handle(R"({"t":"mouse","a":"down","b":0,"x":1e300,"y":0})"));
    EXPECT_TRUE(handle(R"({"t":"wheel","d":"lots","x":20,"y":20})"));
    EXPECT_FALSE(handle(R"({"t":"post","text":"{}"})"));
    SetFocus(window);
    WinTest::PumpPending();

    const auto& recorder = WinTest::Recorder::Instance();
    const auto downs = recorder.Of(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].lParam, MAKELPARAM(5, 7));
    EXPECT_EQ(recorder.Of(WM_LBUTTONUP).size(), 1u);
    const auto wheels = recorder.Of(WM_MOUSEWHEEL);
    ASSERT_EQ(wheels.size(), 1u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[0].wParam), -240);
    std::wstring typed;
    for (const auto& character : recorder.Of(WM_CHAR))
        typed += static_cast<wchar_t>(character.wParam);
    EXPECT_EQ(typed, L"a中文");
    EXPECT_EQ(recorder.Of(WM_KEYDOWN).size(), 1u);
}

struct DroppedFiles {
    std::vector<std::wstring> paths;
    POINT point{};
    DWORD keys = 0;
};
DroppedFiles lastDrop;

TEST_F(WebBackendTest, DroppedFilesArriveByPathAtThePoint)
{
    TopLevel(0, 0, 100, 100); // the thread that made the first window takes the input
    SetDroppedFilesHandler([](const std::vector<std::wstring>& paths, POINT screen, DWORD keyState) {
        lastDrop = DroppedFiles{paths, screen, keyState};
    });
    std::string refusal;
    ASSERT_TRUE(spool->Begin(7, "相片.jpg", 4, refusal));
    input->HandleChunk(std::string("\x07\0\0\0", 4) + "JPEG");
    ASSERT_TRUE(spool->Begin(8, "cut.jpg", 10, refusal));
    Json::Value drop;
    ASSERT_TRUE(ParseMessage(R"({"t":"drop","ids":[7,8,99],"x":40,"y":30,"keys":5})", drop));
    EXPECT_TRUE(input->Handle(drop));
    WinTest::PumpPending();
    SetDroppedFilesHandler(nullptr);
    // Only the finished file is dropped; of the keys only MK_SHIFT and MK_CONTROL count.
    ASSERT_EQ(lastDrop.paths.size(), 1u);
    EXPECT_EQ(WideToUtf8(lastDrop.paths[0]), (spoolFolder / "files" / "相片.jpg").string());
    EXPECT_EQ(lastDrop.point.x, 40);
    EXPECT_EQ(lastDrop.point.y, 30);
    EXPECT_EQ(lastDrop.keys, static_cast<DWORD>(MK_SHIFT));
}

TEST_F(WebBackendTest, SurfacesStayWithinTheSessionsLimits)
{
    auto size = [](HWND window) {
        RECT rect{};
        GetWindowRect(window, &rect);
        return SIZE{rect.right - rect.left, rect.bottom - rect.top};
    };
    auto bytes = [](SIZE side) {
        return 4ull * static_cast<std::uint64_t>(side.cx) * static_cast<std::uint64_t>(side.cy);
    };
    const HWND strip = TopLevel(0, 0, 20000, 100);
    EXPECT_EQ(size(strip), (SIZE{WebBackend::kMaxSide, 100})) << "each side is cut";
    const HWND large = TopLevel(0, 0, 8192, 6144);
    EXPECT_EQ(size(large), (SIZE{8192, 6144}));
    // The next window gets what is left of the session's surface memory, in its own shape.
    const HWND overlay = TopLevel(0, 0, 4000, 4000);
    const SIZE cut = size(overlay);
    EXPECT_LT(cut.cx, 4000);
    EXPECT_EQ(cut.cx, cut.cy);
    EXPECT_LE(bytes(size(strip)) + bytes(size(large)) + bytes(cut), WebBackend::kMaxSurfaceBytes);
    EXPECT_GT(bytes(size(strip)) + bytes(size(large)) + bytes(cut), WebBackend::kMaxSurfaceBytes - (1u << 20));
    MoveWindow(overlay, 0, 0, 8192, 8192, TRUE);
    EXPECT_LE(bytes(size(strip)) + bytes(size(large)) + bytes(size(overlay)), WebBackend::kMaxSurfaceBytes);
    // Memory given back is there for the others.
    DestroyWindow(large);
    MoveWindow(overlay, 0, 0, 4000, 4000, TRUE);
    EXPECT_EQ(size(overlay), (SIZE{4000, 4000}));
}

TEST_F(WebBackendTest, WindowsFollowThePagesDevicePixelRatioWithinTheSessionsLimits)
{
    const HWND window = TopLevel(0, 0, 140, 90);
    Settle();
    AcknowledgeAll(Received());

    backend->SetDeviceScale(2.0);
    FollowDeviceScale();
    Settle();
    std::vector<Sent> sent = Received();
    // The page is told the window's pixels, and sent them whole at the new ratio; the
    // window keeps its size in the page's pixels.
    const Json::Value* changed = Find(sent, "window");
    ASSERT_NE(changed, nullptr);
    EXPECT_EQ(std::vector<int>({(*changed)["w"].asInt(), (*changed)["h"].asInt(), (*changed)["dw"].asInt(),
                                (*changed)["dh"].asInt()}),
              std::vector<int>({140, 90, 280, 180}));
    const std::vector<Sent> pictures = Pictures(sent);
    ASSERT_FALSE(pictures.empty());
    EXPECT_EQ(pictures.back().parts[0][2], 280);
    EXPECT_EQ(pictures.back().parts[0][3], 180);
    AcknowledgeAll(sent);

    // A page cannot buy memory with a ratio: a large window shrinks to what the session
    // may hold, and ratios outside what surfaces support are kept within it.
    const HWND large = TopLevel(0, 0, 6000, 6000);
    backend->SetDeviceScale(100.0);
    EXPECT_EQ(backend->DeviceScale(), Surface::kMaximumScale);
    FollowDeviceScale();
    RECT rect{};
    GetWindowRect(large, &rect);
    const std::uint64_t side =
        static_cast<std::uint64_t>(Surface::DeviceSize(rect.right - rect.left, Surface::kMaximumScale));
    EXPECT_LE(4 * side * side, WebBackend::kMaxSurfaceBytes);
    DestroyWindow(large);
    DestroyWindow(window);
    backend->SetDeviceScale(1.0);
    FollowDeviceScale();
    Settle();
    AcknowledgeAll(Received());
}
