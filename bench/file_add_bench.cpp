// Opens the file-add dialog on a folder and reports, as one JSON line: how long until
// the grid showed every picture's name and until every thumbnail was read, the
// longest time the window thread was busy without returning to its loop, and the
// peak resident memory.
//
//     file-add-bench FOLDER

#include "Biz/AppConfig.h"
#include "Biz/ImageData.h"
#include "Platform/Text/TextConv.h"
#include "Platform/Win/Dialog.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Timer.h"
#include "Platform/Win/Window.h"
#include "UI/Skin.h"
#include "Views/CFileAddDialog.h"
#include "Views/ListViewItem.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sys/resource.h>

using namespace Platform;
using Clock = std::chrono::steady_clock;

namespace {

struct Run {
    CFileAddDialog* dialog = nullptr;
    Clock::time_point start;
    double namesMs = -1;
    double thumbnailsMs = -1;
    int pictures = 0;
};

Run run;

double Since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool AllLoaded(ListView& grid)
{
    for (ListViewItem* tile : grid.Items())
        if (!tile->Data()->IsLoaded())
            return false;
    return true;
}

// Looks at the grid every few milliseconds from inside the dialog's modal loop.
void Watch(HWND, UINT, UINT_PTR, DWORD)
{
    ListView& grid = run.dialog->Grid();
    if (run.namesMs < 0 && !grid.IsEmpty())
        run.namesMs = Since(run.start);
    if (run.namesMs >= 0 && AllLoaded(grid)) {
        run.thumbnailsMs = Since(run.start);
        run.pictures = grid.Count();
        EndDialog(run.dialog->GetHwnd(), 0);
    } else if (Since(run.start) > 600000) {
        EndDialog(run.dialog->GetHwnd(), 0);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: file-add-bench FOLDER\n");
        return 2;
    }
    SetUpSkin();
    AppConfig::Instance().SetFolderPath(PathToWide(std::filesystem::absolute(argv[1]).string()));
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = &DefWindowProcW;
    windowClass.lpszClassName = L"FileAddBenchOwner";
    RegisterClassW(&windowClass);
    HWND owner = CreateWindowExW(0, L"FileAddBenchOwner", L"", WS_POPUP | WS_VISIBLE, 0, 0, 900, 600, nullptr, nullptr,
                                 nullptr, nullptr);
    CFileAddDialog dialog;
    run.dialog = &dialog;
    SetTimer(owner, 1, 5, &Watch);
    run.start = Clock::now();
    dialog.DoModal(owner);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("{\"pictures\":%d,\"names_ms\":%.1f,\"thumbnails_ms\":%.1f,\"longest_busy_ms\":%.1f,"
                "\"peak_rss_mb\":%.1f}\n",
                run.pictures, run.namesMs, run.thumbnailsMs, static_cast<double>(LongestBusyMicroseconds()) / 1000.0,
                static_cast<double>(usage.ru_maxrss) / 1024.0);
    DestroyWindow(owner);
    return run.thumbnailsMs < 0 ? 1 : 0;
}
