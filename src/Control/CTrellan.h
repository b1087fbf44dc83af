#pragma once
// The control object the page creates: the dispatch interface, the command table,
// the channel back to the page's function, and the control window.

#include "Control/MainView.h"
#include "Control/PageEvents.h"
#include "Control/TrellanObject.h"
#include "UI/FormHost.h"
#include "Platform/Signal.h"
#include "Platform/Win/WinTypes.h"

#include <json/value.h>

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <vector>

struct MsgData;

class CTrellan final : public TrellanObject {
public:
    // Creates a control with one reference owned by the caller and runs its final
    // construction step (command and event tables, Global Interface Table).
    static Platform::HRESULT CreateInstance(CTrellan** control);
    // The class factory's creation: with outer, the control is aggregated and iid
    // must be IID_IUnknown (CLASS_E_NOAGGREGATION otherwise).
    static Platform::HRESULT CreateInstance(Platform::IUnknown* outer, Platform::REFIID iid, void** object);

    // Commands longer than this many bytes of UTF-8 are refused with a log line: no
    // page command needs as much, and every byte of a command costs memory.
    static constexpr std::size_t MaxCommandBytes = std::size_t{16} << 20;

    Platform::HRESULT postMessage(Platform::BSTR newVal) override;
    Platform::HRESULT FireRecvMessage(Platform::BSTR json) override;
    Platform::HRESULT put_recvMessage(Platform::IDispatchEx* function) override;

    Platform::HRESULT InPlaceActivate(Platform::HWND container, const Platform::RECT& rect) override;
    Platform::HRESULT InPlaceDeactivate() override;
    Platform::HWND Window() const override { return window; }

    Platform::HRESULT Describe(Platform::BSTR what, Platform::BSTR* json) override;

    // Writes value as the page's JSON text and delivers it to the page's function on
    // the control's thread. From another thread it waits until the text is delivered.
    void sendJson(const Json::Value& value);

    void OnInit(Json::Value& root);
    void OnSetFields(Json::Value& root);
    void OnSetFolder(Json::Value& root);
    // Adds one picture file to the upload list.
    void OnAddFile(Json::Value& root);
    // Removes the tile of a file by its id, as the user's delete does.
    void OnRemoveFile(Json::Value& root);
    // Answers with a "files" event listing every tile.
    void OnGetFiles(Json::Value& root);

    // Per-file upload events: each takes its record from the mailbox.
    void OnPostProcess(int id);
    void OnPostComplete(int id);
    void OnPostError(int id);
    void OnPostRetry(int id);
    // A file a stop kept from being sent.
    void OnPostCancelled(int id);
    // Sends the page "post_complete" with the id and reply of every file the task sent.
    void OnTaskComplete(int value);
    // Removes the sent tiles and brings the toolbar back.
    void OnTaskEnd(int value);

    // The view in the control window.
    MainView& View() { return view; }

private:
    CTrellan() = default;
    ~CTrellan() override;
    Platform::HRESULT FinalConstruct();
    void BuildCommandTable();
    void ConnectEvents();
    // The list's and the admission's reports become page events.
    void ConnectPageEvents();
    void OnUploadStarted();
    // The end of a file's upload, whatever the outcome, for the overall progress.
    void FileDone(const MsgData& record);
    // Keeps the configuration's record of the caller in step with the container's word.
    void OnCallerChanged() override;
    // Logs a command refused for its size; the page gets S_OK as for any ignored command.
    Platform::HRESULT RefuseCommand(std::size_t size);

    static Platform::LRESULT WindowProc(Platform::HWND window, Platform::UINT message, Platform::WPARAM wParam,
                                        Platform::LPARAM lParam);
    Platform::LRESULT HandleMessage(Platform::UINT message, Platform::WPARAM wParam, Platform::LPARAM lParam);
    void OnCreate();

    std::map<std::string, std::function<void(Json::Value&)>> commands;
    // The page's function. Owned by the control's thread: put_recvMessage and
    // FireRecvMessage run only there (other threads reach them through the proxy).
    Platform::IDispatchEx* recvMessage = nullptr;
    Platform::DWORD gitCookie = 0;
    Platform::HWND window = nullptr;
    MainView view;
    Zivoro::UI::ControlWindowMouse mouse{view};
    PageEvents pageEvents{[this](const Json::Value& event) { sendJson(event); }};
    // Disconnected when the control goes: the admission outlives it.
    Platform::Connection refusals;
    std::vector<Platform::Connection> listConnections;
};
