#include "ControlFixture.h"

#include "Biz/AppState.h"
#include "Biz/UploadManager.h"
#include "Platform/Ole/DropFiles.h"
#include "Platform/Ole/GlobalMemory.h"
#include "Upload/UploadHarness.h"
#include "Views/ListViewPostItem.h"
#include "support/TestReceiver.h"

#include <json/reader.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

using namespace Platform;
using namespace std::chrono_literals;
using TestSupport::TestReceiver;
using UploadHarness::PhotoFolder;

namespace {

class PageEventsTest : public ControlFixture {
protected:
    void TearDown() override
    {
        UploadManager::Instance().Stop();
        WaitUntil([] { return !AppState::Instance().IsUploading() && !UploadManager::Instance().IsRunning(); }, 30s);
        ControlFixture::TearDown();
        AppConfig::Instance() = AppConfig();
    }

    void Init(const std::string& members) { Post(R"({"name":"init","config":)" + members + "}"); }
    void AddFile(const std::filesystem::path& path)
    {
        Json::Value command(Json::objectValue);
        command["name"] = "addFile";
        command["path"] = path.string();
        Post(command.toStyledString());
    }

    // Pumps the control's messages until done says so; false when it never did.
    static bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 60s)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            Pump();
            std::this_thread::sleep_for(2ms);
        }
        return true;
    }

    // Presses upload and waits for the task's end.
    void Upload()
    {
        control->View().OnUploadClicked();
        ASSERT_TRUE(WaitUntil([this] { return !Named("upload_finished").empty(); }));
        ASSERT_TRUE(WaitUntil([] { return !UploadManager::Instance().IsRunning(); }));
        Pump();
    }

    std::vector<Json::Value> Texts() const
    {
        std::vector<Json::Value> events;
        for (const std::string& text : page.texts) {
            Json::Value event;
            std::istringstream in(text);
            in >> event;
            events.push_back(event);
        }
        return events;
    }
    std::vector<Json::Value> Named(const std::string& name) const
    {
        std::vector<Json::Value> found;
        for (const Json::Value& event : Texts())
            if (event["name"] == name)
                found.push_back(event);
        return found;
    }
    // The names of the events, progress left out, with the member that tells files apart.
    std::vector<std::string> Story(const std::string& member = "id") const
    {
        std::vector<std::string> story;
        for (const Json::Value& event : Texts()) {
            const std::string name = event["name"].asString();
            if (name == "upload_progress")
                continue;
            story.push_back(name + (event.isMember(member) ? " " + Label(event[member].asString()) : ""));
        }
        return story;
    }
    std::string Label(const std::string& id) const
    {
        for (std::size_t i = 0; i < ids.size(); ++i)
            if (ids[i] == id)
                return "#" + std::to_string(i);
        return id;
    }
    // The ids of the files added so far, in order.
    void NoteIds()
    {
        ids.clear();
        for (const Json::Value& event : Named("file_added"))
            ids.push_back(event["id"].asString());
    }
    ListViewPostItem& Tile(std::size_t i) { return dynamic_cast<ListViewPostItem&>(*control->View().list.Items()[i]); }

    std::vector<std::string> ids;
};

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(PageEventsTest, RestrictionsHoldForEveryWayOfAddingAndEachRefusalIsReported)
{
    PhotoFolder photos(4);
    const std::filesystem::path folder = photos.Folder();
    std::filesystem::create_directory(folder / "album.png");
    std::filesystem::copy_file(photos.paths[0], folder / "copy.jpg");
    std::uintmax_t size = 0;
    for (const std::filesystem::path& path : photos.paths)
        size = std::max(size, std::filesystem::file_size(path));
    std::ofstream(folder / "large.png", std::ios::binary) << std::string(size + 1, 'x');
    Init(R"({"Events":true,"MaxFiles":3,"MaxFileSize":)" + std::to_string(size) + R"(,"AllowedTypes":["PNG"]})");

    AddFile(photos.paths[0]);
    AddFile(folder / "copy.jpg");
    AddFile(folder / "album.png");
    AddFile(folder / "missing.png");
    AddFile(folder / "large.png");
    AddFile(photos.paths[0]); // already listed: neither added nor refused
    AddFile(photos.paths[1]);
    // A drop on the control window keeps to the same rules, the count included.
    const HGLOBAL drop = CreateDropFiles(
        {photos.paths[2].wstring(), photos.paths[3].wstring(), (folder / "copy.jpg").wstring()}, POINT{10, 10});
    control->View().OnDropFiles(drop);
    GlobalFree(drop);

    EXPECT_EQ(control->View().list.Count(), 3);
    EXPECT_EQ(
        Story("fileName"),
        (std::vector<std::string>{
            "load_complete", "file_added " + photos.paths[0].string(), "file_refused " + (folder / "copy.jpg").string(),
            "file_refused " + (folder / "album.png").string(), "file_refused " + (folder / "missing.png").string(),
            "file_refused " + (folder / "large.png").string(), "file_added " + photos.paths[1].string(),
            "file_added " + photos.paths[2].string(), "file_refused " + photos.paths[3].string(),
            "file_refused " + (folder / "copy.jpg").string()}));
    std::vector<std::string> reasons;
    for (const Json::Value& event : Named("file_refused"))
        reasons.push_back(event["reason"].asString());
    EXPECT_EQ(reasons,
              (std::vector<std::string>{"type", "not_regular", "unreadable", "too_large", "too_many", "type"}));
    const Json::Value added = Named("file_added")[0];
    EXPECT_EQ(added["size"].asUInt64(), std::filesystem::file_size(photos.paths[0]));
    EXPECT_EQ(added["id"].asString().size(), 32u);
}

TEST_F(PageEventsTest, WithoutTheNewMembersTheControlAddsAsBeforeAndSendsNoNewEvents)
{
    PhotoFolder photos(3);
    std::filesystem::copy_file(photos.paths[0], photos.Folder() / "scan.tif");
    Init(R"({"PostUrl":"http://127.0.0.1:9/up"})");
    AppConfig::Instance().MaxFiles = 1;
    // The page's own additions know no count limit unless the page chose one, and
    // keep to the four types they always took.
    for (const std::filesystem::path& path : photos.paths)
        AddFile(path);
    AddFile(photos.Folder() / "scan.tif");
    EXPECT_EQ(control->View().list.Count(), 3);
    Post(R"({"name":"removeFile","id":"nothing-like-an-id"})");
    EXPECT_EQ(control->View().list.Count(), 3);
    EXPECT_EQ(Story(), (std::vector<std::string>{"load_complete"}));

    // A restriction a later "init" leaves out stays as it was.
    Init(R"({"MaxFiles":2,"Events":true})");
    Init(R"({"Events":true})");
    EXPECT_EQ(AppConfig::Instance().MaxFiles, 2);
    AddFile(photos.Folder() / "scan.tif");
    EXPECT_EQ(Named("file_refused").size(), 1u);
    EXPECT_EQ(Named("file_refused")[0]["reason"], "type");
}

TEST_F(PageEventsTest, MembersOfTheWrongKindAreLoggedAndLeftOut)
{
    const std::filesystem::path log = std::filesystem::temp_directory_path() / "trellan-page-options.log";
    std::filesystem::remove(log);
    Init(R"({"Debug":true,"LogFile":")" + log.string() +
         R"(","MaxFiles":0,"MaxFileSize":"big","AllowedTypes":["png","exe"],"Events":"yes","RetryCount":-1,)"
         R"("RetryDelays":[10,"x"]})");
    const AppConfig& config = AppConfig::Instance();
    EXPECT_EQ(config.MaxFiles, 300);
    EXPECT_FALSE(config.PageChoseMaxFiles);
    EXPECT_EQ(config.MaxFileSize, 0);
    EXPECT_TRUE(config.AllowedTypes.empty());
    EXPECT_FALSE(config.Events);
    EXPECT_EQ(config.RetryCount, 0);
    EXPECT_EQ(config.RetryDelays, (std::vector<std::int32_t>{1000, 3000, 5000}));
    const std::string written = ReadFile(log);
    for (const char* name : {"MaxFiles", "MaxFileSize", "AllowedTypes", "Events", "RetryCount", "RetryDelays"})
        EXPECT_NE(written.find(std::string("init member ignored: ") + name + " ="), std::string::npos) << name;
    std::filesystem::remove(log);

    Init(R"({"MaxFiles":10000,"MaxFileSize":5000000000,"AllowedTypes":[".Jpg","tif"],"Events":true,)"
         R"("RetryCount":2,"RetryDelays":[0,250]})");
    EXPECT_EQ(config.MaxFiles, 10000);
    EXPECT_EQ(config.MaxFileSize, 5000000000);
    EXPECT_EQ(config.AllowedTypes, (std::vector<std::wstring>{L".jpg", L".tif"}));
    EXPECT_TRUE(config.Events);
    EXPECT_EQ(config.RetryCount, 2);
    EXPECT_EQ(config.RetryDelays, (std::vector<std::int32_t>{0, 250}));
}

TEST_F(PageEventsTest, EachFilesFateReachesThePageInOrderAndFailedTilesSaySo)
{
    // Accepted, refused by the reply, a server error, a refused connection.
    TestReceiver receiver(
        {"--replies", R"([{}, {"reply":"{\"success\":0,\"why\":\"full\"}"}, {"status":500,"reply":"Internal error"},)"
                      R"( {"fault":"refuse"}])"});
    PhotoFolder photos(4, "2400x1600", true);
    Init(R"({"Events":true,"ThreadCount":1,"PostUrl":")" + receiver.Url() + R"("})");
    for (const std::filesystem::path& path : photos.paths)
        AddFile(path);
    NoteIds();
    Upload();

    // A file leaves the wire before its ending is reported, so the next one's ending
    // may come first: each file's ending is checked, not their order among themselves.
    std::vector<std::string> story = Story();
    ASSERT_GE(story.size(), 10u);
    std::sort(story.begin() + 6, story.begin() + 10);
    EXPECT_EQ(story, (std::vector<std::string>{"load_complete", "file_added #0", "file_added #1", "file_added #2",
                                               "file_added #3", "upload_started", "upload_error #1", "upload_error #2",
                                               "upload_error #3", "upload_success #0", "file_removed #0",
                                               "upload_finished", "post_complete"}));
    const Json::Value started = Named("upload_started")[0];
    EXPECT_EQ(started["count"], 4);
    std::uintmax_t bytes = 0;
    for (const std::filesystem::path& path : photos.paths)
        bytes += std::filesystem::file_size(path);
    EXPECT_EQ(started["bytes"].asUInt64(), bytes);
    EXPECT_EQ(Named("upload_success")[0]["svr"]["success"], 1);
    std::vector<Json::Value> errors = Named("upload_error");
    std::sort(errors.begin(), errors.end(), [this](const Json::Value& a, const Json::Value& b) {
        return Label(a["id"].asString()) < Label(b["id"].asString());
    });
    EXPECT_EQ(errors[0]["reason"], "not_success");
    EXPECT_EQ(errors[0]["svr"]["why"], "full");
    EXPECT_EQ(errors[1]["reason"], "http_status");
    EXPECT_EQ(errors[1]["status"], 500);
    EXPECT_EQ(errors[2]["reason"], "network");
    EXPECT_FALSE(errors[2].isMember("status"));
    const Json::Value finished = Named("upload_finished")[0];
    EXPECT_EQ(finished["succeeded"], 1);
    EXPECT_EQ(finished["failed"], 3);
    EXPECT_EQ(finished["cancelled"], 0);

    // Progress: several reports of a photo of real size, growing to its whole size.
    std::int64_t lastSent = 0;
    int reports = 0;
    for (const Json::Value& progress : Named("upload_progress")) {
        if (progress["id"] != ids[0])
            continue;
        EXPECT_GE(progress["sent"].asInt64(), lastSent);
        EXPECT_LE(progress["sent"].asInt64(), progress["total"].asInt64());
        lastSent = progress["sent"].asInt64();
        ++reports;
    }
    EXPECT_GE(reports, 1);

    // The failed tiles stay with their failure shown, and the page can list them.
    ASSERT_EQ(control->View().list.Count(), 3);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(Tile(i).ShowsFailure()) << i;
    EXPECT_EQ(control->View().hintLabel.text, L"请点击\"添加按钮\"，选择要上传的照片");
    // A tile's size is known once its picture is read, which a slow (sanitized) run
    // may not have done yet when the task ends: the page asks again until it is.
    Json::Value listed;
    ASSERT_TRUE(WaitUntil([&] {
        Post(R"({"name":"getFiles"})");
        listed = Named("files").back()["files"];
        return listed.size() == 3u && listed[0]["width"].asInt() != 0;
    }));
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0]["id"], ids[1]);
    EXPECT_EQ(listed[0]["name"], photos.paths[1].string());
    EXPECT_EQ(listed[0]["width"], 2400);
    EXPECT_EQ(listed[0]["height"], 1600);
    EXPECT_EQ(listed[0]["remark"], photos.paths[1].filename().string());
    EXPECT_EQ(listed[0]["state"], "failed");

    // Turning a tile takes its failure band away; removing one by id tells the page.
    Tile(0).RotateLeft();
    EXPECT_FALSE(Tile(0).ShowsFailure());
    EXPECT_TRUE(Tile(1).ShowsFailure());
    Post(R"({"name":"removeFile","id":")" + ids[2] + R"("})");
    EXPECT_EQ(control->View().list.Count(), 2);
    EXPECT_EQ(Story().back(), "file_removed #2");
    EXPECT_FALSE(UploadManager::Instance().IsRunning());
}

TEST_F(PageEventsTest, ACancelledUploadReportsTheStalledAndTheWaitingFilesAsCancelled)
{
    TestReceiver receiver({"--fault", "stall"});
    PhotoFolder photos(3);
    Init(R"({"Events":true,"ThreadCount":1,"RetryCount":3,"PostUrl":")" + receiver.Url() + R"("})");
    for (const std::filesystem::path& path : photos.paths)
        AddFile(path);
    NoteIds();
    control->View().OnUploadClicked();
    ASSERT_TRUE(receiver.WaitForRecorded(1));
    // While the upload runs, the second band shows its progress instead of the instruction.
    EXPECT_EQ(control->View().hintLabel.text.rfind(L"已上传 0/3 个文件，", 0), 0u);
    control->View().OnCancelClicked();
    ASSERT_TRUE(WaitUntil([this] { return !Named("upload_finished").empty(); }, 20s));

    // The file held back at the wire may be reported before the stalled one notices the stop.
    std::vector<std::string> story = Story();
    ASSERT_EQ(story.size(), 9u);
    std::sort(story.begin() + 5, story.begin() + 8);
    EXPECT_EQ(story, (std::vector<std::string>{"load_complete", "file_added #0", "file_added #1", "file_added #2",
                                               "upload_started", "upload_error #0", "upload_error #1",
                                               "upload_error #2", "upload_finished"}));
    for (const Json::Value& error : Named("upload_error"))
        EXPECT_EQ(error["reason"], "cancelled");
    EXPECT_EQ(Named("upload_finished")[0]["cancelled"], 3);
    EXPECT_EQ(receiver.RequestCount(), 1);
    EXPECT_TRUE(Tile(2).ShowsFailure());
}

TEST_F(PageEventsTest, FailuresWorthAnotherAttemptAreRetriedUntilTheServerAccepts)
{
    TestReceiver receiver({"--replies", R"([{"status":503,"reply":"busy","retry_after":"1"},{"fault":"reset"},{}])"});
    PhotoFolder photos(1, "2400x1600", true);
    Init(R"({"Events":true,"RetryCount":2,"RetryDelays":[5000,20],"PostUrl":")" + receiver.Url() + R"("})");
    AddFile(photos.paths[0]);
    NoteIds();
    Upload();

    EXPECT_EQ(receiver.RequestCount(), 3);
    EXPECT_EQ(Story(), (std::vector<std::string>{"load_complete", "file_added #0", "upload_started", "upload_retry #0",
                                                 "upload_retry #0", "upload_success #0", "file_removed #0",
                                                 "upload_finished", "post_complete"}));
    const std::vector<Json::Value> retries = Named("upload_retry");
    ASSERT_EQ(retries.size(), 2u);
    // The server's Retry-After wins over the page's delay.
    EXPECT_EQ(retries[0]["attempt"], 2);
    EXPECT_EQ(retries[0]["delay"], 1000);
    EXPECT_EQ(retries[0]["reason"], "http_status");
    EXPECT_EQ(retries[0]["status"], 503);
    EXPECT_EQ(retries[1]["attempt"], 3);
    EXPECT_EQ(retries[1]["delay"], 20);
    EXPECT_EQ(retries[1]["reason"], "network");
}

TEST_F(PageEventsTest, TheServersRefusalAndAClientErrorAreNotRetried)
{
    TestReceiver receiver({"--replies", R"([{"reply":"{\"success\":0}"},{"status":404,"reply":"Not found"}])"});
    PhotoFolder photos(2);
    Init(R"({"Events":true,"ThreadCount":1,"RetryCount":3,"RetryDelays":[10],"PostUrl":")" + receiver.Url() + R"("})");
    for (const std::filesystem::path& path : photos.paths)
        AddFile(path);
    Upload();
    EXPECT_EQ(receiver.RequestCount(), 2);
    EXPECT_TRUE(Named("upload_retry").empty());
    EXPECT_EQ(Named("upload_finished")[0]["failed"], 2);
}

TEST_F(PageEventsTest, AnUntrustedPageLearnsNamesWithoutFoldersExceptForPathsItGave)
{
    PhotoFolder photos(2);
    ASSERT_EQ(control->SetInterfaceSafetyOptions(IID_IDispatch, INTERFACESAFE_FOR_UNTRUSTED_CALLER,
                                                 INTERFACESAFE_FOR_UNTRUSTED_CALLER),
              S_OK);
    Init(R"({"Events":true})");
    AddFile(photos.paths[0]);
    const HGLOBAL drop = CreateDropFiles({photos.paths[1].wstring()}, POINT{10, 10});
    control->View().OnDropFiles(drop);
    GlobalFree(drop);
    EXPECT_EQ(Story("fileName"), (std::vector<std::string>{"load_complete", "file_added " + photos.paths[0].string(),
                                                           "file_added " + photos.paths[1].filename().string()}));
    Post(R"({"name":"getFiles"})");
    const Json::Value listed = Named("files").at(0)["files"];
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0]["name"], photos.paths[0].string());
    EXPECT_EQ(listed[1]["name"], photos.paths[1].filename().string());
    EXPECT_EQ(listed[1]["state"], "waiting");
}

} // namespace
