#include "SessionContainer.h"

#include "ChannelFunction.h"

#include "Platform/Com/Bstr.h"
#include "Platform/Text/TextConv.h"
#include "Platform/Web/WebJson.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Surface.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WindowGeometry.h"

#include <algorithm>
#include <iostream>

using namespace Platform;
using Platform::Web::FrameKind;

namespace {

// Messages of the container window only, clear of the control's own (WM_USER + 100).
constexpr UINT WM_SESSION_INBOX = WM_USER + 0x700;
constexpr UINT WM_SESSION_END = WM_USER + 0x701;
constexpr int kInitialWidth = 800;
constexpr int kInitialHeight = 600;

SessionContainer* theContainer = nullptr;

void SendJson(Web::WebChannel& channel, const char* kind)
{
    Json::Value message;
    message["t"] = kind;
    channel.Send(FrameKind::Text, Web::CompactJson(message));
}

} // namespace

SessionContainer::SessionContainer(Web::WebChannel& webChannel, Web::WebBackend& webBackend, Web::FileSpool& spool)
    : channel(webChannel), backend(webBackend), input(webBackend, spool)
{
    theContainer = this;
}

SessionContainer::~SessionContainer()
{
    channel.Shutdown();
    if (reader.joinable())
        reader.join();
    loader.Close();
    if (container)
        DestroyWindow(container);
    theContainer = nullptr;
}

LRESULT SessionContainer::ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SESSION_INBOX && theContainer) {
        theContainer->DrainInbox();
        return 0;
    }
    if (message == WM_SESSION_END) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool SessionContainer::Open(const std::string& modulePath, const std::string& pageOrigin, std::string& error)
{
    if (!loader.Load(modulePath, error))
        return false;
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = &ContainerProc;
    windowClass.lpszClassName = L"TrellanSessionContainer";
    RegisterClassW(&windowClass);
    container = CreateWindowExW(0, L"TrellanSessionContainer", L"trellan", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                                0, kInitialWidth, kInitialHeight, nullptr, nullptr, nullptr, nullptr);
    if (!container) {
        error = "the container window could not be created";
        return false;
    }
    if (!loader.Activate(container, RECT{0, 0, kInitialWidth, kInitialHeight}, pageOrigin, error))
        return false;
    backend.SetMainWindow(container);
    auto* function = new ChannelFunction(channel);
    loader.Control().put_recvMessage(function);
    function->Release();
    SendJson(channel, "ready");
    return true;
}

void SessionContainer::Run()
{
    reader = std::thread([this] { ReadChannel(); });
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    loader.Control().put_recvMessage(nullptr);
}

void SessionContainer::ReadChannel()
{
    FrameKind kind;
    std::string payload;
    while (channel.Receive(kind, payload)) {
        Json::Value message;
        if (kind == FrameKind::Binary)
            input.HandleChunk(payload);
        else if (kind == FrameKind::Ping)
            Deliver(Json::Value("ping"));
        else if (kind == FrameKind::Text && Web::ParseMessage(payload, message) && !input.Handle(message))
            Deliver(std::move(message));
    }
    PostMessageW(container, WM_SESSION_END, 0, 0);
}

void SessionContainer::Deliver(Json::Value message)
{
    {
        std::lock_guard guard(inboxLock);
        inbox.push_back(std::move(message));
    }
    PostMessageW(container, WM_SESSION_INBOX, 0, 0);
}

void SessionContainer::DrainInbox()
{
    while (true) {
        Json::Value message;
        {
            std::lock_guard guard(inboxLock);
            if (inbox.empty())
                return;
            message = std::move(inbox.front());
            inbox.pop_front();
        }
        if (message == "ping") {
            channel.Send(FrameKind::Pong, {});
            continue;
        }
        const std::string kind = message["t"].isString() ? message["t"].asString() : "";
        if (kind == "post" && message["text"].isString()) {
            ScopedBstr text(Utf8ToWide(message["text"].asString()));
            loader.Control().postMessage(text.Get());
        } else if (kind == "place") {
            Place(message);
        }
    }
}

void SessionContainer::Place(const Json::Value& message)
{
    // Larger sizes are taken as the largest surface a session may have.
    constexpr int kMaxAsked = 1 << 20;
    constexpr int kMaxSide = Web::WebBackend::kMaxSide;
    const int viewportWidth = Web::IntMember(message, "vw", 1, kMaxAsked, 0);
    const int viewportHeight = Web::IntMember(message, "vh", 1, kMaxAsked, 0);
    const int width = Web::IntMember(message, "w", 1, kMaxAsked, 0);
    const int height = Web::IntMember(message, "h", 1, kMaxAsked, 0);
    if (viewportWidth == 0 || viewportHeight == 0 || width == 0 || height == 0)
        return;
    if (std::max({viewportWidth, viewportHeight, width, height}) > kMaxSide)
        std::cerr << "trellan-session: the page asked for an element of " << width << " x " << height
                  << " in a viewport of " << viewportWidth << " x " << viewportHeight << "; each side is cut to "
                  << kMaxSide << "\n";
    backend.SetViewport(std::min(viewportWidth, kMaxSide), std::min(viewportHeight, kMaxSide));
    // The page's device pixel ratio; a page that sends none is drawn at 1.
    backend.SetDeviceScale(Web::NumberMember(message, "dpr", Surface::kMinimumScale, Surface::kMaximumScale, 1.0));
    FollowDeviceScale();
    constexpr int kMaxPosition = 16384;
    const int x = Web::IntMember(message, "x", -kMaxPosition, kMaxPosition, 0);
    const int y = Web::IntMember(message, "y", -kMaxPosition, kMaxPosition, 0);
    MoveWindow(container, x, y, std::min(width, kMaxSide), std::min(height, kMaxSide), TRUE);
    // The control fills what the container was given, which may be less again.
    RECT client{};
    GetClientRect(container, &client);
    MoveWindow(loader.Window(), 0, 0, client.right, client.bottom, TRUE);
}
