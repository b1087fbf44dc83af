// gallery: opens a form with every toolkit control on the headless screen, drives the
// controls through their states with injected input, and writes one PNG per state.
//
//   gallery FOLDER

#include "GalleryForm.h"

#include "Platform/Controls/ControlMessages.h"
#include "Platform/Win/Dialog.h"
#include "Platform/Win/HeadlessBackend.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Timer.h"
#include "Platform/Win/WinConstants.h"
#include "UI/CMessageDialog.h"
#include "UI/Skin.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

using namespace Platform;
using Action = Backend::MouseAction;

namespace {

constexpr POINT kFormAt{20, 20};

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

// Runs the loop until painting is done, then writes the whole screen.
bool Shoot(const std::string& name)
{
    Pump();
    const std::string path = folder + "/" + name + ".png";
    if (!screen->ScreenshotAll(path)) {
        std::fprintf(stderr, "gallery: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    ++written;
    return true;
}

POINT OnScreen(const ControlBase& control, int dx, int dy)
{
    return POINT{kFormAt.x + control.bounds.left + dx, kFormAt.y + control.bounds.top + dy};
}

void Mouse(Action action, POINT at)
{
    screen->InjectMouse(action, at);
    Pump();
}

void Key(UINT key)
{
    screen->InjectKey(key, true);
    screen->InjectKey(key, false);
    Pump();
}

// The message dialog over the form, photographed from inside its modal loop.
void ShootMessageDialog(GalleryForm& form)
{
    static std::function<void(HWND)> whileRunning;
    whileRunning = [](HWND dialog) {
        UpdateWindow(dialog);
        Shoot("09-message-dialog");
        EndDialog(dialog, IDOK);
    };
    SetTimer(form.window, 1, 1, [](HWND window, UINT, UINT_PTR, DWORD) {
        KillTimer(window, 1);
        whileRunning(GetActiveWindow());
    });
    CMessageDialog dialog;
    dialog.SetMessage(L"上传列表为空，请选择文件");
    dialog.DoModal(form.window);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: gallery FOLDER\n");
        return 2;
    }
    folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "gallery: cannot make %s: %s\n", folder.c_str(), error.message().c_str());
        return 1;
    }
    auto backend = std::make_unique<HeadlessBackend>(460, 300);
    screen = backend.get();
    InstallBackend(std::move(backend));
    SetUpSkin();

    GalleryForm form(kFormAt.x, kFormAt.y, 420, 260);
    bool ok = Shoot("01-normal");

    Mouse(Action::Move, OnScreen(form.button, 30, 10));
    ok &= Shoot("02-button-hover");
    Mouse(Action::LeftDown, OnScreen(form.button, 30, 10));
    ok &= Shoot("03-button-pressed");
    Mouse(Action::LeftUp, OnScreen(form.button, 30, 10));
    Mouse(Action::Move, POINT{400, 280});

    form.button.SetDisabled(1);
    form.uploadButton.SetDisabled(1);
    form.deleteLink.SetDisabled(1);
    ok &= Shoot("04-disabled");
    form.button.SetDisabled(0);
    form.uploadButton.SetDisabled(0);
    form.deleteLink.SetDisabled(0);

    Mouse(Action::Move, OnScreen(form.checkBox, 5, 5));
    Mouse(Action::LeftDown, OnScreen(form.checkBox, 5, 5));
    Mouse(Action::LeftUp, OnScreen(form.checkBox, 5, 5));
    ok &= Shoot("05-checked");

    const POINT thumb{kFormAt.x + 20 + form.slider.thumbX + 7, kFormAt.y + 187};
    Mouse(Action::Move, thumb);
    Mouse(Action::LeftDown, thumb);
    Mouse(Action::Move, POINT{thumb.x + 60, thumb.y});
    Mouse(Action::LeftUp, POINT{thumb.x + 60, thumb.y});
    ok &= Shoot("06-slider-dragged");

    SetFocus(form.editor.hwnd);
    SendMessageW(form.editor.hwnd, EM_SETSEL, 0, -1);
    screen->InjectText(L"1024");
    ok &= Shoot("07-text-typed");

    Mouse(Action::Move, OnScreen(form.combo, 40, 10));
    Mouse(Action::LeftDown, OnScreen(form.combo, 40, 10));
    Mouse(Action::LeftUp, OnScreen(form.combo, 40, 10));
    ok &= Shoot("08-combo-dropped");
    Key(VK_ESCAPE);

    ShootMessageDialog(form);
    std::printf("%d pictures\n", written);
    return ok && written == 9 ? 0 : 1;
}
