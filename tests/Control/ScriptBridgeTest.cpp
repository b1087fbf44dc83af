#include "ControlFixture.h"

#include "Biz/EventQueue.h"
#include "Biz/MsgMailbox.h"
#include "Platform/Com/Apartment.h"

#include <cstdio>
#include <cstdlib>
#include <future>
#include <thread>

using namespace Platform;

namespace {

const std::string kLoadComplete = "{\"browser\":\"ie64\",\"name\":\"load_complete\",\"version\":\"2,8,29,51372\"}\n";

class ScriptBridge : public ControlFixture {
protected:
    // Sends {"name": name} from a worker thread while this thread, the control's,
    // serves the delivery; returns the worker's apartment depth after the send.
    int SendFromWorker(const std::string& name)
    {
        std::promise<int> sent;
        auto done = sent.get_future();
        std::thread worker([&] {
            Json::Value event(Json::objectValue);
            event["name"] = name;
            control->sendJson(event);
            sent.set_value(ApartmentDepth());
        });
        while (done.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
            WaitMessageTimeout(10);
            Pump();
        }
        worker.join();
        return done.get();
    }
};

} // namespace

TEST_F(ScriptBridge, InitAnswersLoadCompleteDuringThePostMessageCall)
{
    EXPECT_EQ(Post(R"({"name":"init","config":{"PostUrl":"http://h/u"}})"), S_OK);
    ASSERT_EQ(page.texts.size(), 1u);
    EXPECT_EQ(page.texts[0], kLoadComplete);
    EXPECT_EQ(page.lastId, DISPID_VALUE);
    EXPECT_EQ(page.lastLcid, LOCALE_USER_DEFAULT);
    EXPECT_EQ(page.lastFlags, DISPATCH_METHOD);

    Post(R"({"name":"init","config":{"ThreadCount":2}})");
    ASSERT_EQ(page.texts.size(), 2u);
    EXPECT_EQ(page.texts[1], kLoadComplete);
}

TEST_F(ScriptBridge, TextThatIsNoCommandIsIgnored)
{
    for (const char* text : {"", "not json", "{}", "{\"name\":\"Init\",\"config\":{\"a\":1}}", "{\"name\":\"init\"}",
                             "{\"name\":\"init\",\"config\":{}}", "{\"name\":\"init\",\"config\":[]}",
                             "{\"name\":\"nothing\"}", "null", "[1,2]", "42"}) {
        EXPECT_EQ(Post(text), S_OK) << text;
    }
    EXPECT_TRUE(page.texts.empty());
    EXPECT_EQ(control->postMessage(nullptr), S_OK);
}

TEST_F(ScriptBridge, ACommentBeforeTheCommandIsAccepted)
{
    Post("// the page's note\n/* and another */ {\"name\":\"init\",\"config\":{\"Debug\":false}}");
    EXPECT_EQ(page.texts.size(), 1u);
}

TEST_F(ScriptBridge, UnexpectedJsonTypesAreContainedAndEarlierFieldsStayWritten)
{
    EXPECT_EQ(Post(R"({"name":"init","config":{"PostUrl":"http://old/","ThreadCount":5}})"), S_OK);
    EXPECT_EQ(
        Post(
            R"({"name":"init","config":{"FileFieldName":"photo","FileNameGen":"md5","PostUrl":"http://new/","ThreadCount":"4"}})"),
        S_OK);
    const AppConfig& config = AppConfig::Instance();
    EXPECT_EQ(config.FileFieldName, "photo");
    EXPECT_EQ(config.FileNameGen, "md5");
    EXPECT_EQ(config.ThreadCount, 5);
    EXPECT_EQ(config.PostUrl, L"http://old/");
    EXPECT_EQ(page.texts.size(), 1u);

    for (const char* bad :
         {R"({"name":{"x":1}})", R"({"name":"setFolder","path":["a"]})", R"({"name":"init","config":"text"})",
          R"({"name":"init","config":{"Fields":[1]}})", R"({"name":"setFields","fields":{"a":{"nested":1}}})"}) {
        EXPECT_EQ(Post(bad), S_OK) << bad;
    }
    // The control stays usable.
    Post(R"({"name":"init","config":{"ThreadCount":1}})");
    EXPECT_EQ(page.texts.size(), 2u);
    EXPECT_EQ(config.ThreadCount, 1);
}

TEST_F(ScriptBridge, PageFunctionCanBeReplacedAndCleared)
{
    PageRecorder second;
    control->put_recvMessage(&second);
    EXPECT_EQ(page.references, 0u);
    EXPECT_EQ(second.references, 1u);
    Post(R"({"name":"init","config":{"a":1}})");
    EXPECT_TRUE(page.texts.empty());
    EXPECT_EQ(second.texts.size(), 1u);

    control->put_recvMessage(&second);
    EXPECT_EQ(second.references, 1u);
    control->put_recvMessage(nullptr);
    EXPECT_EQ(second.references, 0u);
    Post(R"({"name":"init","config":{"a":1}})");
    EXPECT_EQ(second.texts.size(), 1u);
    EXPECT_EQ(AppConfig::Instance().ThreadCount, 3);
}

TEST_F(ScriptBridge, FireRecvMessageHandsTheTextStraightToThePageFunction)
{
    ScopedBstr text(std::wstring(L"{\"x\":\"照片\"}"));
    EXPECT_EQ(control->FireRecvMessage(text.Get()), S_OK);
    ASSERT_EQ(page.texts.size(), 1u);
    EXPECT_EQ(page.texts[0], "{\"x\":\"照片\"}");
}

TEST_F(ScriptBridge, PageFunctionMaySendACommandFromInsideItsOwnCall)
{
    page.onText = [this](const std::string& text) {
        if (page.texts.size() == 1 && text == kLoadComplete)
            Post(R"({"name":"init","config":{"ThreadCount":7}})");
    };
    Post(R"({"name":"init","config":{"ThreadCount":2}})");
    EXPECT_EQ(page.texts.size(), 2u);
    EXPECT_EQ(AppConfig::Instance().ThreadCount, 7);
}

TEST_F(ScriptBridge, SendJsonFromAnotherThreadIsDeliveredOnTheControlsThread)
{
    std::thread::id deliveredOn;
    page.onText = [&](const std::string&) { deliveredOn = std::this_thread::get_id(); };
    EXPECT_EQ(SendFromWorker("from_worker"), 0);
    ASSERT_EQ(page.texts.size(), 1u);
    EXPECT_EQ(page.texts[0], "{\"name\":\"from_worker\"}\n");
    EXPECT_EQ(deliveredOn, std::this_thread::get_id());
}

TEST_F(ScriptBridge, ControlsThreadMaySendWhileAWorkersSendWaitsForIt)
{
    // A deadlock here would hang the whole run: the watchdog ends it as a failure.
    std::promise<void> finished;
    std::thread watchdog([done = finished.get_future()] {
        if (done.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
            std::fprintf(stderr, "deadlock: the control's thread and a worker both wait in sendJson\n");
            std::_Exit(1);
        }
    });
    // The worker's text is delivered on this thread while the worker waits; the page
    // answers at once, which makes the control's thread send as well.
    page.onText = [this](const std::string& text) {
        if (text == "{\"name\":\"from_worker\"}\n") {
            Json::Value answer(Json::objectValue);
            answer["name"] = "answer";
            control->sendJson(answer);
        }
    };
    SendFromWorker("from_worker");
    finished.set_value();
    watchdog.join();
    EXPECT_EQ(page.texts, (std::vector<std::string>{"{\"name\":\"from_worker\"}\n", "{\"name\":\"answer\"}\n"}));
}

TEST_F(ScriptBridge, SendJsonKeepsTheThreadsOwnApartment)
{
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    Post(R"({"name":"init","config":{"a":1}})");
    EXPECT_EQ(ApartmentDepth(), 1);
    CoUninitialize();
    EXPECT_EQ(page.texts.size(), 1u);
}

TEST_F(ScriptBridge, ControlWindowDrainsTheEventQueue)
{
    EXPECT_EQ(EventQueue::Instance().Target(), control->Window());
    std::vector<int> seen;
    EventQueue::Instance().Connect("probe", [&](int value) { seen.push_back(value); });
    EventQueue::Instance().Post("probe", 1);
    EventQueue::Instance().Post("probe", 2);
    EXPECT_TRUE(seen.empty());
    Pump();
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));
}

TEST_F(ScriptBridge, EventsAndRecordsOfAControlThatIsGoneNeverReachTheNextOne)
{
    EventQueue& events = EventQueue::Instance();
    const std::uint64_t oldEpoch = events.Epoch();
    auto record = MsgMailbox::Instance().Put(nullptr, nullptr);
    events.Post("post_error", record->id);
    control->Release();
    control = nullptr;
    EXPECT_EQ(events.PendingCount(), 0u);
    EXPECT_EQ(MsgMailbox::Instance().Count(), 0u);

    ASSERT_EQ(CTrellan::CreateInstance(&control), S_OK);
    ASSERT_EQ(control->InPlaceActivate(container, RECT{0, 0, 800, 600}), S_OK);
    std::vector<int> seen;
    events.Connect("late", [&](int value) { seen.push_back(value); });
    EXPECT_FALSE(events.Post("late", 1, oldEpoch));
    EXPECT_TRUE(events.Post("late", 2));
    Pump();
    EXPECT_EQ(seen, (std::vector<int>{2}));
}

TEST_F(ScriptBridge, PostErrorTakesItsRecord)
{
    auto record = MsgMailbox::Instance().Put(nullptr, nullptr);
    EventQueue::Instance().Post("post_error", record->id);
    Pump();
    EXPECT_EQ(MsgMailbox::Instance().Take(record->id), nullptr);
}

TEST_F(ScriptBridge, TheDispatchInterfaceReachesTheSameMembers)
{
    const char16_t* names[] = {u"postMessage", u"newVal"};
    DISPID ids[2];
    EXPECT_EQ(control->GetIDsOfNames(names, 2, 0, ids), S_OK);
    EXPECT_EQ(ids[0], 1);
    EXPECT_EQ(ids[1], 0);

    ScopedBstr text(std::wstring(LR"({"name":"init","config":{"a":1}})"));
    VARIANT argument;
    argument.vt = VT_BSTR;
    argument.bstrVal = text.Get();
    DISPPARAMS params;
    params.rgvarg = &argument;
    params.cArgs = 1;
    EXPECT_EQ(control->Invoke(1, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(page.texts.size(), 1u);
    argument.vt = VT_I4;
    EXPECT_EQ(control->Invoke(1, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), DISP_E_TYPEMISMATCH);
    argument.vt = VT_EMPTY;
    EXPECT_EQ(control->Invoke(3, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr), S_OK);
    Post(R"({"name":"init","config":{"a":1}})");
    EXPECT_EQ(page.texts.size(), 1u);
}
