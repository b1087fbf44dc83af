// Measures the image editor and the preview on large photos and reports one JSON
// line: the time from the edit button to the editor's first view, to the whole
// picture read (large photos are first shown from a reduced decode), the longest time the window thread is busy
// over one brightness move (the move and the paint it causes) during a 2-second
// slider drag, the time OK takes to store an edited picture, the preview's time to
// show and to step to the next photo, and the peak resident memory.
//
//     editor-bench PHOTO NEXT_PHOTO

#include "Biz/ImageData.h"
#include "Editor/ImageEditForm.h"
#include "Editor/ImageViewForm.h"
#include "Platform/Win/Dialog.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Timer.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WinConstants.h"
#include "UI/Skin.h"
#include "Views/ListView.h"
#include "Views/ListViewSelectItem.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sys/resource.h>

using namespace Platform;
using Clock = std::chrono::steady_clock;

namespace {

double Since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}

struct Results {
    double openMs = 0;
    double fullMs = 0;
    double longestMoveMs = 0;
    int moves = 0;
    double okMs = 0;
    double previewShowMs = 0;
    double previewStepMs = 0;
};

Results results;
ImageEditForm* editor = nullptr;
Clock::time_point started;

// Runs inside the editor's loop once it is up: a slider drag, then OK.
void WhileEditorUp()
{
    UpdateWindow(editor->canvas.hwnd);
    results.openMs = Since(started);
    MSG message;
    while (!editor->canvas.HasFullPicture() && GetMessageW(&message, nullptr, 0, 0))
        DispatchMessageW(&message);
    UpdateWindow(editor->canvas.hwnd);
    results.fullMs = Since(started);
    const auto dragStart = Clock::now();
    for (int v = 0; Since(dragStart) < 2000; v = (v + 7) % 255) {
        const auto move = Clock::now();
        editor->brightnessSlider.valueChanged(v);
        UpdateWindow(editor->canvas.hwnd);
        Pump();
        results.longestMoveMs = std::max(results.longestMoveMs, Since(move));
        ++results.moves;
    }
    const auto ok = Clock::now();
    editor->okButton.clicked();
    results.okMs = Since(ok);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: editor-bench PHOTO NEXT_PHOTO\n");
        return 2;
    }
    SetUpSkin();
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = &DefWindowProcW;
    windowClass.lpszClassName = L"EditorBenchOwner";
    RegisterClassW(&windowClass);
    HWND owner = CreateWindowExW(0, L"EditorBenchOwner", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 700, nullptr, nullptr,
                                 nullptr, nullptr);
    ListView list;
    list.Create(owner, RECT{10, 10, 500, 400});
    ListViewItem* tiles[2];
    for (int i = 0; i < 2; ++i) {
        tiles[i] = list.AddItem(std::make_unique<ListViewSelectItem>(
            std::make_shared<ImageData>(std::filesystem::path(argv[1 + i]).wstring())));
        tiles[i]->Data()->Load();
    }
    Pump();

    {
        ImageEditForm form(tiles[0]);
        editor = &form;
        started = Clock::now();
        SetTimer(owner, 1, 0, [](HWND window, UINT, UINT_PTR id, DWORD) {
            KillTimer(window, id);
            WhileEditorUp();
        });
        form.DoModal(owner);
    }

    auto show = Clock::now();
    ImageViewForm* preview = ImageViewForm::Open(tiles[1]);
    UpdateWindow(preview->hwnd);
    results.previewShowMs = Since(show);
    preview->ShowPrevious();
    Pump();
    show = Clock::now();
    preview->ShowNext();
    UpdateWindow(preview->hwnd);
    results.previewStepMs = Since(show);
    delete preview;

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("{\"editor_open_ms\": %.1f, \"editor_full_ms\": %.1f, \"longest_move_ms\": %.1f, \"moves\": %d, "
                "\"ok_ms\": %.1f, "
                "\"preview_show_ms\": %.1f, \"preview_step_ms\": %.1f, \"peak_rss_mb\": %.1f}\n",
                results.openMs, results.fullMs, results.longestMoveMs, results.moves, results.okMs,
                results.previewShowMs, results.previewStepMs, static_cast<double>(usage.ru_maxrss) / 1024.0);
    DestroyWindow(owner);
    return 0;
}
