#include "Control/CTrellan.h"

#include "Biz/AppConfig.h"
#include "Biz/AppState.h"
#include "Biz/EventQueue.h"
#include "Biz/FileAdmission.h"
#include "Biz/ImageData.h"
#include "Biz/LanguageOption.h"
#include "Biz/Log/Log.h"
#include "Biz/MsgMailbox.h"
#include "Biz/UiText.h"
#include "Biz/PageOptions.h"
#include "Biz/PostCompleteEvent.h"
#include "Biz/UploadManager.h"
#include "Biz/UploadOptions.h"
#include "Control/ControlDiagnostics.h"
#include "Control/TrellanProxy.h"
#include "Imaging/PictureTypes.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Com/ClassFactory.h"
#include "Platform/Com/Apartment.h"
#include "Platform/Com/GlobalInterfaceTable.h"
#include "Platform/Text/JsonText.h"
#include "Platform/Text/TextConv.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Reflection.h"
#include "UI/FormHost.h"
#include "Platform/Win/Window.h"
#include "Views/ListViewPostItem.h"

#include <algorithm>
#include <mutex>

using namespace Platform;

namespace {

const wchar_t* const kWindowClass = L"ZivoroTrellanControl";

// The control created last owns the process-wide event table and queue.
std::atomic<CTrellan*> newestControl{nullptr};

void RegisterWindowClass(WNDPROC procedure)
{
    static std::once_flag once;
    std::call_once(once, [procedure] {
        WNDCLASSW windowClass;
        windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        windowClass.lpfnWndProc = procedure;
        windowClass.lpszClassName = kWindowClass;
        RegisterClassW(&windowClass);
    });
}

} // namespace

HRESULT CTrellan::CreateInstance(CTrellan** control)
{
    if (!control)
        return E_POINTER;
    *control = nullptr;
    auto* created = new CTrellan();
    const HRESULT hr = created->FinalConstruct();
    if (FAILED(hr)) {
        created->Release();
        return hr;
    }
    *control = created;
    return S_OK;
}

HRESULT CTrellan::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer && !(iid == IID_IUnknown))
        return CLASS_E_NOAGGREGATION;
    CTrellan* control = nullptr;
    const HRESULT hr = CreateInstance(&control);
    if (FAILED(hr))
        return hr;
    if (!outer) {
        const HRESULT answered = control->QueryInterface(iid, object);
        control->Release();
        return answered;
    }
    control->Aggregate(outer);
    *object = control->Inner();
    return S_OK;
}

HRESULT CTrellan::FinalConstruct()
{
    BuildCommandTable();
    ConnectEvents();
    ConnectPageEvents();
    // The configuration is the process's: it speaks for the newest control's caller.
    OnCallerChanged();
    UploadManager::Instance().SetOwner(&view.list);
    TrellanProxy::Register();
    const HRESULT hr =
        GetGlobalInterfaceTable().RegisterInterfaceInGlobal(static_cast<ITrellan*>(this), IID_ITrellan, &gitCookie);
    if (FAILED(hr))
        gitCookie = 0;
    newestControl = this;
    return hr;
}

CTrellan::~CTrellan()
{
    refusals.disconnect();
    for (const Platform::Connection& connection : listConnections)
        connection.disconnect();
    if (window)
        DestroyWindow(window);
    commands.clear();
    if (gitCookie)
        GetGlobalInterfaceTable().RevokeInterfaceFromGlobal(gitCookie);
    if (recvMessage)
        recvMessage->Release();
    // What is still queued for this control must not reach a later one. Its "task_end"
    // is among what is dropped, so its task is stopped and the upload state reset here,
    // or the next control would find an upload running and refuse every edit.
    CTrellan* self = this;
    if (newestControl.compare_exchange_strong(self, nullptr)) {
        UploadManager::Instance().Stop();
        AppState::Instance().Reset();
        UploadManager::Instance().SetOwner(nullptr);
        EventQueue::Instance().DiscardPending();
        MsgMailbox::Instance().Clear();
    }
}

void CTrellan::OnCallerChanged()
{
    AppConfig& settings = AppConfig::Instance();
    settings.UntrustedCaller = UntrustedCaller();
    settings.PageOrigin = SiteAddress();
}

void CTrellan::BuildCommandTable()
{
    commands.clear();
    commands.emplace("init", [this](Json::Value& root) { OnInit(root); });
    commands.emplace("setFields", [this](Json::Value& root) { OnSetFields(root); });
    commands.emplace("setFolder", [this](Json::Value& root) { OnSetFolder(root); });
    commands.emplace("addFile", [this](Json::Value& root) { OnAddFile(root); });
    commands.emplace("removeFile", [this](Json::Value& root) { OnRemoveFile(root); });
    commands.emplace("getFiles", [this](Json::Value& root) { OnGetFiles(root); });
}

void CTrellan::ConnectEvents()
{
    EventQueue& events = EventQueue::Instance();
    events.ClearHandlers();
    events.Connect("post_process", [this](int id) { OnPostProcess(id); });
    events.Connect("post_complete", [this](int id) { OnPostComplete(id); });
    events.Connect("post_error", [this](int id) { OnPostError(id); });
    events.Connect("post_retry", [this](int id) { OnPostRetry(id); });
    events.Connect("post_cancelled", [this](int id) { OnPostCancelled(id); });
    events.Connect("task_complete", [this](int value) { OnTaskComplete(value); });
    events.Connect("task_end", [this](int value) { OnTaskEnd(value); });
}

void CTrellan::ConnectPageEvents()
{
    refusals = FileAdmission::Instance().refused.connect(
        [this](const std::wstring& path, const std::string& reason) { pageEvents.FileRefused(path, reason); });
    listConnections.push_back(view.list.TileAdded.connect([this](ListViewItem* tile) {
        if (const std::shared_ptr<ImageData> file = tile->Data())
            pageEvents.FileAdded(*file);
    }));
    listConnections.push_back(view.list.TileLeaving.connect([this](ListViewItem* tile) {
        if (const std::shared_ptr<ImageData> file = tile->Data())
            pageEvents.FileRemoved(*file);
    }));
    view.uploadStarted.connect([this] { OnUploadStarted(); });
}

void CTrellan::OnUploadStarted()
{
    std::int64_t bytes = 0;
    for (const std::shared_ptr<ImageData>& file : view.overall.Files())
        bytes += file->fileSize;
    pageEvents.UploadStarted(view.overall.FileCount(), bytes);
}

HRESULT CTrellan::postMessage(BSTR newVal)
{
    // Each UTF-16 unit becomes at least one UTF-8 byte, so a command that is too long
    // is refused before anything is copied.
    const std::size_t units = SysStringLen(newVal);
    if (units > MaxCommandBytes)
        return RefuseCommand(units);
    Json::Value root;
    {
        const std::string text = Utf16ToUtf8(std::u16string_view(newVal ? newVal : u"", units));
        if (text.size() > MaxCommandBytes)
            return RefuseCommand(text.size());
        if (!ParseJson(text, root))
            return S_OK;
    }
    // A command whose members have unexpected JSON types makes JsonCpp throw in the
    // middle of a handler. It is stopped here: what the handler wrote before stays,
    // the control stays usable, and the page gets S_OK like for any ignored command.
    try {
        const std::string name = JsonMember(root, "name", "").asString();
        auto command = commands.find(name);
        if (command == commands.end())
            return S_OK;
        command->second(root);
    } catch (const std::exception& error) {
        Log::Instance().Warn(std::string("command ignored: ") + error.what(), "Control\\CTrellan", __LINE__);
    }
    return S_OK;
}

HRESULT CTrellan::RefuseCommand(std::size_t size)
{
    Log::Instance().Warn("command refused: " + std::to_string(size) + " bytes, more than the " +
                             std::to_string(MaxCommandBytes) + " a command may have",
                         __FILE__, __LINE__);
    return S_OK;
}

HRESULT CTrellan::FireRecvMessage(BSTR json)
{
    if (!recvMessage)
        return S_OK;
    VARIANT argument;
    argument.vt = VT_BSTR;
    argument.bstrVal = json;
    DISPPARAMS params;
    params.rgvarg = &argument;
    params.cArgs = 1;
    VARIANT result;
    VariantInit(&result);
    // Hold the function for the call: the page may replace it from inside.
    ComPtr<IDispatchEx> function(recvMessage);
    function->InvokeEx(DISPID_VALUE, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
    VariantClear(&result);
    return S_OK;
}

HRESULT CTrellan::put_recvMessage(IDispatchEx* function)
{
    if (function == recvMessage)
        return S_OK;
    if (function)
        function->AddRef();
    IDispatchEx* previous = std::exchange(recvMessage, function);
    if (previous)
        previous->Release();
    return S_OK;
}

HRESULT CTrellan::Describe(BSTR what, BSTR* json)
{
    if (!json)
        return E_POINTER;
    *json = nullptr;
    const std::wstring name = WideFromBstr(what);
    Json::Value state;
    if (name == L"list")
        state = ControlDiagnostics::DescribeList(view);
    else if (name == L"form")
        state = ControlDiagnostics::DescribeForm();
    else if (name == L"config")
        state = ControlDiagnostics::DescribeConfig();
    else if (name == L"build")
        state = ControlDiagnostics::DescribeBuild();
    else
        return E_INVALIDARG;
    if (state.isNull())
        return E_FAIL;
    *json = BstrFromWide(Utf8ToWide(WriteJson(state)));
    return S_OK;
}

void CTrellan::sendJson(const Json::Value& value)
{
    // No lock: every delivery runs on the control's thread, here or through the Global
    // Interface Table's proxy while the calling thread waits, so deliveries never
    // overlap. A lock held across that wait deadlocked as soon as the control's thread
    // sent something itself meanwhile (a page answering a worker's event at once).
    const HRESULT apartment = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ComPtr<ITrellan> self;
    if (FAILED(GetGlobalInterfaceTable().GetInterfaceFromGlobal(gitCookie, IID_ITrellan,
                                                                reinterpret_cast<void**>(self.Put())))) {
        MessageBoxW(nullptr, UiText::Get(TextId::InterfaceLookupFailed), L"sendJson", MB_OK);
    } else {
        ScopedBstr text(Utf8ToWide(WriteJson(value)));
        self->FireRecvMessage(text.Get());
    }
    // Balance only a call that counted; a refused one (another threading model on
    // this thread) must not take away the thread's own apartment.
    if (SUCCEEDED(apartment))
        CoUninitialize();
}

// Members are read in place and text converted straight from them: a command may be
// megabytes long, and copies of it would cost many times that.
void CTrellan::OnInit(Json::Value& root)
{
    const Json::Value& config = JsonMember(root, "config", Json::Value());
    if (config.empty())
        return;
    AppConfig& settings = AppConfig::Instance();

    settings.FileFieldName = JsonMember(config, "FileFieldName", "file").asString();
    std::wstring postUrl = JsonWideText(JsonMember(config, "PostUrl", ""));
    const bool debug = JsonMember(config, "Debug", false).asBool();
    const std::wstring logFile = JsonWideText(JsonMember(config, "LogFile", ""));
    std::string cookie = JsonMember(config, "Cookie", "").asString();
    std::wstring encodeType = JsonWideText(JsonMember(config, "EncodeType", "utf-8"));
    settings.FileNameGen = JsonMember(config, "FileNameGen", "ori").asString();
    settings.ThreadCount = std::min(JsonMember(config, "ThreadCount", 3).asInt(), 10);

    const Json::Value& fields = JsonMember(config, "Fields", Json::Value());
    if (!fields.empty()) {
        for (const std::string& name : fields.getMemberNames())
            settings.Fields.emplace(name, JsonMember(fields, name, "").asString());
    }
    if (debug && !logFile.empty())
        Log::Instance().Init(debug, logFile,
                             settings.UntrustedCaller ? Log::FileRule::InLogFolder : Log::FileRule::AsGiven);
    ReadUploadOptions(config, settings);
    const UiLanguage shown = settings.Language;
    ReadLanguage(config, settings);
    if (settings.Language != shown && Window())
        view.OnLanguageChanged();
    ReadPageOptions(config, settings);
    settings.PostUrl = std::move(postUrl);
    settings.Cookie = std::move(cookie);
    settings.EncodeType = std::move(encodeType);

    Json::Value loaded(Json::objectValue);
    loaded["browser"] = "ie64";
    loaded["name"] = "load_complete";
    loaded["version"] = "2,8,29,51372";
    sendJson(loaded);
}

void CTrellan::OnSetFields(Json::Value& root)
{
    const Json::Value& fields = JsonMember(root, "fields", Json::Value());
    if (fields.empty())
        return;
    // Read every value first, so that a value of the wrong type leaves the old fields.
    std::map<std::string, std::string> replaced;
    for (const std::string& name : fields.getMemberNames())
        replaced.emplace(name, JsonMember(fields, name, "").asString());
    AppConfig::Instance().Fields = std::move(replaced);
}

void CTrellan::OnSetFolder(Json::Value& root)
{
    const Json::Value& path = JsonMember(root, "path", "");
    if (path.asString().empty())
        return;
    AppConfig::Instance().SetFolderPath(JsonWideText(path));
}

// No count limit unless the page chose MaxFiles: the page decides what it adds. A
// folder named like a picture is refused, as a drop refuses it.
void CTrellan::OnAddFile(Json::Value& root)
{
    const std::wstring path = JsonWideText(JsonMember(root, "path", ""));
    if (view.list.ContainsPath(path))
        return;
    if (!FileAdmission::Instance().Admit(path, PictureRule::PageAdd, view.list.Count()))
        return;
    pageEvents.NotePagePath(path);
    view.AddPicture(path);
    view.OnFilesAdded();
}

void CTrellan::OnRemoveFile(Json::Value& root)
{
    const std::string id = JsonMember(root, "id", "").asString();
    for (ListViewItem* tile : view.list.Items()) {
        const std::shared_ptr<ImageData> file = tile->Data();
        if (file && file->id == id) {
            view.list.RemoveItem(tile->Id());
            return;
        }
    }
}

void CTrellan::OnGetFiles(Json::Value&)
{
    Json::Value files(Json::arrayValue);
    for (ListViewItem* tile : view.list.Items()) {
        const auto* post = dynamic_cast<const ListViewPostItem*>(tile);
        const std::shared_ptr<ImageData> file = tile->Data();
        if (!post || !file)
            continue;
        const PictureHandle picture = file->Picture();
        Json::Value entry(Json::objectValue);
        entry["id"] = file->id;
        entry["name"] = pageEvents.NameOf(file->path);
        entry["size"] = static_cast<Json::Int64>(file->fileSize);
        entry["width"] = picture ? static_cast<Json::UInt>(picture->GetWidth()) : 0u;
        entry["height"] = picture ? static_cast<Json::UInt>(picture->GetHeight()) : 0u;
        entry["remark"] = WideToUtf8(file->remark);
        entry["state"] = post->OutcomeName();
        files.append(entry);
    }
    Json::Value answer(Json::objectValue);
    answer["name"] = "files";
    answer["files"] = files;
    sendJson(answer);
}

void CTrellan::OnPostProcess(int id)
{
    const auto record = MsgMailbox::Instance().Take(id);
    if (!record)
        return;
    view.RefreshProgress(record->item);
    if (record->file)
        pageEvents.Progress(*record->file);
    view.ShowOverallProgress(false);
}

void CTrellan::OnPostComplete(int id)
{
    const auto record = MsgMailbox::Instance().Take(id);
    if (!record)
        return;
    view.MarkComplete(record->item);
    pageEvents.Succeeded(*record);
    FileDone(*record);
}

void CTrellan::OnPostError(int id)
{
    const auto record = MsgMailbox::Instance().Take(id);
    if (record && record->file && !record->reason.empty())
        Log::Instance().Warn("upload failed: " + WideToUtf8(record->file->path) + ": " + record->reason,
                             "Control\\CTrellan", __LINE__);
    // The HTTP client's own reports carry no code: the attempt's outcome follows.
    if (!record || record->code.empty())
        return;
    const bool cancelled = record->code == "cancelled";
    view.MarkFailed(record->item, record->code, cancelled ? std::wstring() : Utf8ToWide(record->reason));
    pageEvents.Failed(*record);
    FileDone(*record);
}

void CTrellan::OnPostRetry(int id)
{
    const auto record = MsgMailbox::Instance().Take(id);
    if (!record)
        return;
    view.MarkRetry(record->item, record->attempt, AppConfig::Instance().RetryCount + 1);
    pageEvents.Retrying(*record);
}

void CTrellan::OnPostCancelled(int id)
{
    const auto record = MsgMailbox::Instance().Take(id);
    if (!record)
        return;
    view.MarkFailed(record->item, record->code, std::wstring());
    pageEvents.Failed(*record);
    FileDone(*record);
}

void CTrellan::FileDone(const MsgData& record)
{
    view.overall.FileDone(record.file.get());
    view.ShowOverallProgress(true);
}

void CTrellan::OnTaskComplete(int)
{
    sendJson(MakePostCompleteEvent(UploadManager::Instance().succeededFiles()));
}

void CTrellan::OnTaskEnd(int)
{
    view.OnTaskEnd();
    pageEvents.Finished();
}

HRESULT CTrellan::InPlaceActivate(HWND container, const RECT& rect)
{
    if (window) {
        MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
        return S_OK;
    }
    RegisterWindowClass(&CTrellan::WindowProc);
    const HWND created =
        CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, rect.left,
                        rect.top, rect.right - rect.left, rect.bottom - rect.top, container, nullptr, nullptr, this);
    return created ? S_OK : E_FAIL;
}

HRESULT CTrellan::InPlaceDeactivate()
{
    if (window)
        DestroyWindow(window);
    return S_OK;
}

LRESULT CTrellan::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* control = static_cast<CTrellan*>(create->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
        control->window = hwnd;
    }
    auto* control = reinterpret_cast<CTrellan*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!control)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return control->HandleMessage(message, wParam, lParam);
}

LRESULT CTrellan::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The window class asks for double-clicks, but no control of the view takes one: a
    // quick second click on a button is a second press, not a lost one.
    const UINT press = message == WM_LBUTTONDBLCLK ? WM_LBUTTONDOWN : message;
    if (mouse.Route(window, press, lParam))
        return 0;
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_DESTROY:
        view.OnDestroy();
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_SIZE:
        view.LayoutChildren();
        return 0;
    case WM_MOUSEWHEEL:
        return view.OnMouseWheel(wParam, lParam);
    case WM_PAINT:
        view.PaintWindow();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case EventQueue::WakeMessage:
        EventQueue::Instance().Drain();
        return 1;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        window = nullptr;
        return 0;
    default:
        break;
    }
    // The sort box reports a changed selection through its parent: sent back to it,
    // the notification reaches the box's own handling.
    LRESULT reflected = 0;
    if (ReflectNotification(window, message, wParam, lParam, reflected))
        return reflected;
    return DefWindowProcW(window, message, wParam, lParam);
}

void CTrellan::OnCreate()
{
    EventQueue::Instance().SetTarget(window);
    view.OnCreate(window);
}
