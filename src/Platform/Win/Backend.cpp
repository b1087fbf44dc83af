#include "Platform/Win/Backend.h"

#include "Platform/Win/Clock.h"
#include "Platform/Win/HeadlessBackend.h"
#include "Platform/Win/MessageQueue.h"

#include <mutex>

namespace Platform {
namespace {

std::mutex backendLock;
std::unique_ptr<Backend>& InstalledBackend()
{
    static std::unique_ptr<Backend> backend = std::make_unique<HeadlessBackend>();
    return backend;
}

} // namespace

Backend& CurrentBackend()
{
    std::lock_guard lock(backendLock);
    return *InstalledBackend();
}

void InstallBackend(std::unique_ptr<Backend> backend)
{
    std::lock_guard lock(backendLock);
    InstalledBackend() = std::move(backend);
}

void Backend::InjectMouse(MouseAction action, POINT screen)
{
    static constexpr RawInput::Kind kinds[] = {RawInput::Kind::MouseMove, RawInput::Kind::LeftDown,
                                               RawInput::Kind::LeftUp, RawInput::Kind::RightDown,
                                               RawInput::Kind::RightUp};
    RawInput input;
    input.kind = kinds[static_cast<int>(action)];
    input.screen = screen;
    Inject(input);
}

void Backend::InjectWheel(int delta, POINT screen)
{
    RawInput input;
    input.kind = RawInput::Kind::Wheel;
    input.screen = screen;
    input.wheelDelta = delta;
    Inject(input);
}

void Backend::InjectKey(UINT virtualKey, bool down)
{
    RawInput input;
    input.kind = down ? RawInput::Kind::KeyDown : RawInput::Kind::KeyUp;
    input.virtualKey = virtualKey;
    Inject(input);
}

void Backend::InjectText(const std::wstring& text)
{
    for (wchar_t character : text) {
        RawInput input;
        input.kind = RawInput::Kind::Character;
        input.character = character;
        Inject(input);
    }
}

void Backend::InjectFocusLoss()
{
    RawInput input;
    input.kind = RawInput::Kind::FocusLoss;
    Inject(input);
}

void Backend::InjectFileDrop(const std::vector<std::wstring>& paths, POINT screen, DWORD keyState)
{
    RawInput input;
    input.kind = RawInput::Kind::FilesDropped;
    input.screen = screen;
    input.paths = paths;
    input.keyState = keyState;
    Inject(input);
}

void Backend::SetInputQueue(const std::shared_ptr<MessageQueue>& queue)
{
    std::lock_guard lock(inputLock);
    if (!inputQueue.lock())
        inputQueue = queue;
}

void Backend::Inject(const RawInput& event)
{
    RawInput input = event;
    input.time = GetTickCount64();
    std::shared_ptr<MessageQueue> queue;
    {
        std::lock_guard lock(inputLock);
        queue = inputQueue.lock();
    }
    if (queue)
        queue->PostInput(input);
}

} // namespace Platform
