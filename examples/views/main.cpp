// view-pictures: shows the control's main view on the headless screen in its states
// (empty at two sizes, a filled list, a tile under the pointer, an upload in
// progress) and writes one PNG per state.
//
//   view-pictures FOLDER
//   view-pictures --english FOLDER        the English interface: empty and filled at
//                                          800 and 640 pixels wide, and an upload
//   view-pictures --photos FOLDER COUNT    only writes COUNT sample photos (for the demo)

#include "SamplePhotos.h"
#include "SilentServer.h"

#include "Biz/ImageData.h"
#include "Biz/UploadManager.h"
#include "Control/CTrellan.h"
#include "Platform/Com/Bstr.h"
#include "Platform/Text/TextConv.h"
#include "Platform/Win/HeadlessBackend.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WindowGeometry.h"
#include "Views/ListViewItem.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

using namespace Platform;
using Action = Backend::MouseAction;

namespace {

HeadlessBackend* screen = nullptr;
std::string folder;
int written = 0;

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Runs the loop until done() holds; false when 30 seconds pass first.
bool PumpUntil(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    Pump();
    return true;
}

bool Shoot(HWND container, const std::string& name)
{
    Pump();
    const std::string path = folder + "/" + name + ".png";
    if (!screen->Screenshot(container, path)) {
        std::fprintf(stderr, "view-pictures: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    ++written;
    return true;
}

void Post(CTrellan& control, const std::string& json)
{
    ScopedBstr text(Utf8ToWide(json));
    control.postMessage(text.Get());
}

void Resize(HWND container, HWND window, int width, int height)
{
    SetWindowPos(container, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    MoveWindow(window, 0, 0, width, height, TRUE);
}

void Mouse(HWND window, Action action, POINT client)
{
    ClientToScreen(window, &client);
    screen->InjectMouse(action, client);
    Pump();
}

LRESULT ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateContainer(int width, int height)
{
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = &ContainerProc;
    windowClass.lpszClassName = L"ViewPicturesContainer";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, L"ViewPicturesContainer", L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width,
                           height, nullptr, nullptr, nullptr, nullptr);
}

bool AllLoaded(CTrellan& control)
{
    for (ListViewItem* tile : control.View().list.Items())
        if (!tile->Data() || !tile->Data()->IsLoaded())
            return false;
    return true;
}

// The number of files whose every byte has gone to the server.
int FullySent(CTrellan& control)
{
    int sent = 0;
    for (ListViewItem* tile : control.View().list.Items()) {
        const auto data = tile->Data();
        sent += data && data->uploadSize > 0 && data->sentBytes == data->uploadSize;
    }
    return sent;
}

POINT Centre(const RECT& rect)
{
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Adds the photos through the page's command and waits for their thumbnails.
bool AddPhotos(CTrellan& control, const std::filesystem::path& photos)
{
    const char* const names[] = {"海边日出.jpg", "DSC_0412.jpg",       "黄昏的湖.jpg", "IMG_2046.jpg",
                                 "山间晨雾.jpg", "family-trip-07.jpg", "远山.jpg"};
    int index = 0;
    for (const char* name : names) {
        const std::string path = (photos / name).string();
        if (!WriteSamplePhoto(path, index++, 1200, 800))
            return false;
        Post(control, R"({"name":"addFile","path":")" + path + "\"}");
    }
    return PumpUntil([&] { return AllLoaded(control); });
}

} // namespace

// Writes count sample photos of 1200 x 800 named photo-N.jpg into the folder.
int WritePhotos(const std::string& into, int count)
{
    for (int i = 1; i <= count; ++i) {
        const std::string path = into + "/photo-" + std::to_string(i) + ".jpg";
        if (!WriteSamplePhoto(path, i - 1, 1200, 800)) {
            std::fprintf(stderr, "view-pictures: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--photos")
        return WritePhotos(argv[2], std::atoi(argv[3]));
    const bool english = argc == 3 && std::string(argv[1]) == "--english";
    if (argc != 2 && !english) {
        std::fprintf(stderr, "usage: view-pictures [--english] FOLDER | view-pictures --photos FOLDER COUNT\n");
        return 2;
    }
    folder = argv[argc - 1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    char photos[] = "/tmp/view-pictures-XXXXXX";
    if (error || !mkdtemp(photos)) {
        std::fprintf(stderr, "view-pictures: cannot make the folders\n");
        return 1;
    }
    auto backend = std::make_unique<HeadlessBackend>(1024, 768);
    screen = backend.get();
    InstallBackend(std::move(backend));

    const HWND container = CreateContainer(800, 600);
    CTrellan* control = nullptr;
    if (CTrellan::CreateInstance(&control) != S_OK ||
        control->InPlaceActivate(container, RECT{0, 0, 800, 600}) != S_OK) {
        std::fprintf(stderr, "view-pictures: the control could not be made\n");
        return 1;
    }
    const HWND window = control->Window();
    MainView& view = control->View();
    // The page chooses the language after the view was built, as pages do.
    const std::string language = english ? R"(,"Language":"en")" : "";
    if (english)
        Post(*control, R"({"name":"init","config":{"Language":"en"}})");
    bool ok = Shoot(container, "01-empty-800x600");
    Resize(container, window, 640, 480);
    ok &= Shoot(container, "02-empty-640x480");
    Resize(container, window, 800, 600);

    ok &= AddPhotos(*control, photos);
    ok &= Shoot(container, "03-filled");
    if (english) {
        Resize(container, window, 640, 480);
        ok &= Shoot(container, "03-filled-640x480");
        Resize(container, window, 800, 600);
    }

    // The second tile selected, the third under the pointer with its buttons, the
    // add button lit as the pointer passed it.
    const HWND listWindow = view.list.GetHwnd();
    Mouse(window, Action::Move, Centre(view.addButton.bounds));
    Mouse(listWindow, Action::Move, Centre(view.list.Items()[1]->GetBounds()));
    Mouse(listWindow, Action::LeftDown, Centre(view.list.Items()[1]->GetBounds()));
    Mouse(listWindow, Action::LeftUp, Centre(view.list.Items()[1]->GetBounds()));
    Mouse(listWindow, Action::Move, Centre(view.list.Items()[2]->GetBounds()));
    ok &= Shoot(container, "04-hover");

    // A server that takes every byte and never answers: two files at a time are sent
    // in full and wait for the reply, the others wait for their turn.
    SilentServer server;
    Post(*control, R"({"name":"init","config":{"PostUrl":")" + server.Url() + R"(","ThreadCount":2)" + language + "}}");
    Mouse(listWindow, Action::Move, POINT{700, 400});
    Mouse(window, Action::Move, Centre(view.uploadButton.bounds));
    Mouse(window, Action::LeftDown, Centre(view.uploadButton.bounds));
    Mouse(window, Action::LeftUp, Centre(view.uploadButton.bounds));
    Mouse(window, Action::Move, POINT{400, 45});
    ok &= server.Listening() && PumpUntil([&] { return FullySent(*control) == 2; });
    // The last progress event may still be on its way; the picture shows the bytes sent.
    view.list.InvalidateAll();
    ok &= Shoot(container, "05-uploading");

    UploadManager::Instance().Stop();
    PumpUntil([] { return !UploadManager::Instance().IsRunning(); });
    control->InPlaceDeactivate();
    control->Release();
    DestroyWindow(container);
    std::filesystem::remove_all(photos, error);
    std::printf("%d pictures\n", written);
    return ok && written == (english ? 6 : 5) ? 0 : 1;
}
