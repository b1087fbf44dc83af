#pragma once
// The container of a session's control: the window the page's element shows, the
// control activated in it, and the two threads of the session. The reader thread takes
// the page's messages off the channel: input goes straight to the backend, which queues
// it for the window system; page commands, placement and pings are handed to the
// control's thread through the inbox and a posted message, so the control only ever
// runs on its own thread. A ping is answered from the control's thread, so a control
// that hangs stops answering and the host can end it.

#include "ControlLoader.h"

#include "Platform/Web/FileSpool.h"
#include "Platform/Web/PageInput.h"
#include "Platform/Web/WebBackend.h"
#include "Platform/Web/WebChannel.h"

#include <json/value.h>

#include <deque>
#include <mutex>
#include <string>
#include <thread>

class SessionContainer {
public:
    SessionContainer(Platform::Web::WebChannel& channel, Platform::Web::WebBackend& backend,
                     Platform::Web::FileSpool& spool);
    ~SessionContainer();

    // Creates the container window and the control in it, for a page of pageOrigin
    // (an untrusted caller), installs the page's function and tells the page the
    // session is ready. False with the reason in error.
    bool Open(const std::string& modulePath, const std::string& pageOrigin, std::string& error);
    // Runs the control's thread until the host closes the channel.
    void Run();

private:
    static Platform::LRESULT ContainerProc(Platform::HWND window, Platform::UINT message, Platform::WPARAM wParam,
                                           Platform::LPARAM lParam);
    void ReadChannel();
    void Deliver(Json::Value message);
    void DrainInbox();
    void Place(const Json::Value& message);

    Platform::Web::WebChannel& channel;
    Platform::Web::WebBackend& backend;
    Platform::Web::PageInput input;
    ControlLoader loader;
    Platform::HWND container = nullptr;
    std::thread reader;
    std::mutex inboxLock;
    std::deque<Json::Value> inbox; // guarded by inboxLock
};
