// trellan-post: sends files exactly as the control's upload engine does and writes
// the page event "post_complete" to standard output.

#include "TrellanVersion.h"
#include "PostList.h"
#include "PostOptions.h"
#include "ProgressView.h"

#include "Biz/AppConfig.h"
#include "Biz/EventQueue.h"
#include "Platform/Text/JsonText.h"
#include "Biz/MsgMailbox.h"
#include "Biz/PostCompleteEvent.h"
#include "Biz/UploadManager.h"
#include "Http/TlsExceptions.h"
#include "Biz/WireText.h"
#include "Platform/Files/RegularFile.h"
#include "Platform/Text/TextConv.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Window.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <unistd.h>
#include <vector>

using namespace Platform;

namespace {

constexpr int kAllSent = 0;
constexpr int kSomeFailed = 1;
constexpr int kBadArguments = 2;

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int)
{
    interrupted = 1;
}

LRESULT EventWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == EventQueue::WakeMessage) {
        EventQueue::Instance().Drain();
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A hidden window on this thread receives the engine's wake-ups, as the control's does.
HWND CreateEventWindow()
{
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = &EventWindowProc;
    windowClass.lpszClassName = L"TrellanPostEvents";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, L"TrellanPostEvents", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

// Empty when the file can be read, else why it cannot. Only regular files are
// opened, so a FIFO named like a photo cannot block the program.
std::string ReadProblem(const std::string& path)
{
    const int fd = OpenRegularFileForReading(PathToWide(path));
    if (fd < 0)
        return FileProblemText(errno);
    char byte = 0;
    const int error = read(fd, &byte, 1) < 0 ? errno : 0;
    close(fd);
    return error ? FileProblemText(error) : "";
}

void InstallInterruptHandler()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = &OnInterrupt;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool CheckInputs(const PostOptions& options)
{
    if (!IsUtf8EncodeType(Utf8ToWide(options.encodeType)) && !SetAnsiCodePage(options.encodeType)) {
        std::cerr << "trellan-post: unknown encoding " << options.encodeType << "\n";
        return false;
    }
    for (const std::string& path : options.files) {
        const std::string problem = ReadProblem(path);
        if (!problem.empty()) {
            std::cerr << "trellan-post: cannot read " << path << ": " << problem << "\n";
            return false;
        }
    }
    return true;
}

void ConnectEvents(ProgressView& view, bool& ended, bool& completed)
{
    EventQueue& events = EventQueue::Instance();
    const auto perFile = [](void (ProgressView::*show)(const ImageData&), ProgressView& target) {
        return [show, &target](int id) {
            if (const auto record = MsgMailbox::Instance().Take(id))
                (target.*show)(*record->file);
        };
    };
    events.Connect("post_process", perFile(&ProgressView::Progress, view));
    events.Connect("post_complete", perFile(&ProgressView::Complete, view));
    events.Connect("post_error", [&view](int id) {
        if (const auto record = MsgMailbox::Instance().Take(id))
            view.Error(*record->file, record->reason);
    });
    events.Connect("task_end", [&ended](int) { ended = true; });
    events.Connect("task_complete", [&completed](int) { completed = true; });
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}

} // namespace

int main(int argc, char** argv)
{
    if (PrintedVersion(argc, argv, "trellan-post"))
        return 0;
    // First of all: reading the photos takes a while, and Ctrl-C then must stop the
    // program with its own status, not kill it.
    InstallInterruptHandler();
    const auto options = PostOptions::Parse(argc, argv);
    if (!options || !CheckInputs(*options))
        return kBadArguments;
    AppConfig::Instance() = options->MakeConfig();
    if (options->insecure)
        TlsExceptions::TolerateEveryHost();

    std::vector<std::wstring> paths;
    for (const std::string& path : options->files)
        paths.push_back(PathToWide(path));
    PostList list(paths);
    std::vector<ProgressView::File> shown;
    const std::vector<UploadItem*> items = list.UploadItems();
    for (std::size_t i = 0; i < items.size(); ++i)
        shown.push_back({items[i]->File().get(), options->files[i]});
    ProgressView view(std::move(shown));
    if (interrupted) {
        view.TaskEnd(true);
        return kSomeFailed;
    }
    bool ended = false;
    bool completed = false;
    EventQueue::Instance().SetTarget(CreateEventWindow());
    ConnectEvents(view, ended, completed);

    UploadManager& manager = UploadManager::Instance();
    manager.SetOwner(&list);
    manager.StartTask();
    bool stopped = false;
    while (!ended || manager.IsRunning()) {
        if (interrupted && !stopped) {
            manager.Stop();
            stopped = true;
        }
        WaitMessageTimeout(100);
        PumpMessages();
    }
    PumpMessages();
    view.TaskEnd(stopped);

    // A stopped task completes too when the server had accepted some of its files.
    if (completed)
        std::cout << WriteJson(MakePostCompleteEvent(manager.succeededFiles())) << std::flush;
    return !stopped && manager.succeededFiles().size() == list.Size() ? kAllSent : kSomeFailed;
}
