// The whole path of an upload through the control's view, against the test receiver:
// the page configures the control and adds photos, the user presses upload, the view
// shows progress, the page learns which files the server accepted and their tiles
// leave the list.

#include "ControlScript.h"
#include "TestPhotos.h"
#include "TestReceiver.h"

#include "Biz/AppState.h"
#include "Biz/UploadManager.h"
#include "Platform/Win/Window.h"

#include <gtest/gtest.h>

using namespace Platform;

namespace {

// The upload button, and the cancel button in its place while uploading.
const char* const kClickUpload = "{\"click\": [136, 16]}\n";

class UploadScenarioTest : public ControlScript {
protected:
    void TearDown() override
    {
        UploadManager::Instance().Stop();
        ControlScript::TearDown();
    }

    // "init" with the receiver's address and threadCount, and "addFile" for each photo.
    std::string Start(const TestSupport::TestReceiver& receiver, int threadCount, int photoCount)
    {
        Json::Value init(Json::objectValue);
        init["post"]["name"] = "init";
        init["post"]["config"]["PostUrl"] = receiver.Url();
        init["post"]["config"]["ThreadCount"] = threadCount;
        std::string script = WriteJson(init) + "{\"wait\": \"load_complete\", \"timeout_ms\": 10000}\n";
        for (int i = 0; i < photoCount; ++i) {
            paths.push_back(photos.Write("photo-" + std::to_string(i) + ".jpg"));
            Json::Value add(Json::objectValue);
            add["post"]["name"] = "addFile";
            add["post"]["path"] = paths.back();
            script += WriteJson(add);
        }
        return script;
    }

    // The "imgs" of the page's "post_complete" event.
    Json::Value AcceptedFiles() const
    {
        const std::string marker = "{\"imgs\":";
        const std::size_t at = out.find(marker);
        Json::Value event;
        if (at == std::string::npos || !ParseJson(out.substr(at, out.find('\n', at) - at), event))
            return Json::Value();
        return event["imgs"];
    }

    std::vector<std::string> LastListedPaths() const
    {
        std::vector<std::string> listed;
        const std::vector<Json::Value> lists = Dumps("#list ");
        for (const Json::Value& tile : lists.back()["tiles"])
            listed.push_back(tile["path"].asString());
        return listed;
    }

    TestPhotos photos;
    std::vector<std::string> paths;
};

TEST_F(UploadScenarioTest, EveryAcceptedTileLeavesTheListAndTheEmptyStateReturns)
{
    TestSupport::TestReceiver receiver;
    const std::string script = Start(receiver, 2, 3) + "{\"dump\": \"list\"}\n" + kClickUpload +
                               "{\"dump\": \"list\"}\n{\"wait\": \"post_complete\", \"timeout_ms\": 20000}\n"
                               "{\"dump\": \"list\"}\n";
    ASSERT_EQ(Run(script), ScriptRunner::Completed) << out;
    const std::vector<Json::Value> lists = Dumps("#list ");
    ASSERT_EQ(lists.size(), 3u) << out;
    EXPECT_EQ(lists[0]["tiles"].size(), 3u);
    EXPECT_EQ(lists[0]["uploading"], false);
    EXPECT_EQ(lists[1]["uploading"], true);
    EXPECT_EQ(lists[2]["tiles"].size(), 0u);
    EXPECT_EQ(lists[2]["uploading"], false);

    const Json::Value accepted = AcceptedFiles();
    ASSERT_EQ(accepted.size(), 3u) << out;
    for (const Json::Value& file : accepted) {
        EXPECT_EQ(file["id"].asString().size(), 32u);
        EXPECT_EQ(file["svr"]["success"], 1);
    }
    EXPECT_EQ(receiver.RequestCount(), 3);
    MainView& view = control->View();
    EXPECT_TRUE(view.bigAddButton.visible);
    EXPECT_FALSE(IsWindowVisible(view.list.GetHwnd()));
    EXPECT_TRUE(view.uploadButton.visible);
    EXPECT_TRUE(view.uploadButton.disabled);
    EXPECT_FALSE(view.cancelButton.visible);
}

TEST_F(UploadScenarioTest, AFailedFileKeepsItsTileForTheNextUpload)
{
    // One file at a time, so the replies go to the files in list order.
    TestSupport::TestReceiver receiver({"--replies", R"([{}, {"reply": "{\"success\":0}"}, {}])"});
    const std::string script = Start(receiver, 1, 3) + kClickUpload +
                               "{\"wait\": \"post_complete\", \"timeout_ms\": 20000}\n{\"dump\": \"list\"}\n";
    ASSERT_EQ(Run(script), ScriptRunner::Completed) << out;
    EXPECT_EQ(AcceptedFiles().size(), 2u) << out;
    EXPECT_EQ(LastListedPaths(), std::vector<std::string>{paths[1]}) << out;
    MainView& view = control->View();
    EXPECT_TRUE(IsWindowVisible(view.list.GetHwnd()));
    EXPECT_FALSE(view.bigAddButton.visible);
    EXPECT_FALSE(view.uploadButton.disabled);
    EXPECT_TRUE(view.list.IsEditable());
}

TEST_F(UploadScenarioTest, ACancelRemovesTheAcceptedTilesAndThePageLearnsOfThem)
{
    // The first file is accepted; the server never answers the second.
    TestSupport::TestReceiver receiver({"--replies", R"([{}, {"fault": "stall"}])"});
    ASSERT_EQ(Run(Start(receiver, 1, 3) + kClickUpload), ScriptRunner::Completed) << out;
    // The second request arrives only after the first file's reply was judged.
    ASSERT_TRUE(receiver.WaitForRecorded(2));
    const std::string cancel =
        std::string(kClickUpload) + "{\"wait\": \"post_complete\", \"timeout_ms\": 20000}\n{\"dump\": \"list\"}\n";
    ASSERT_EQ(Run(cancel), ScriptRunner::Completed) << out;
    EXPECT_EQ(AcceptedFiles().size(), 1u) << out;
    EXPECT_EQ(LastListedPaths(), (std::vector<std::string>{paths[1], paths[2]}));
    EXPECT_FALSE(AppState::Instance().IsUploading());
    EXPECT_TRUE(control->View().uploadButton.visible);
}

TEST_F(UploadScenarioTest, ARemarkBeingTypedIsCommittedAndSentWithTheUpload)
{
    TestSupport::TestReceiver receiver;
    // The first tile's remark strip, in the control window: a click selects the tile and
    // opens the editor; the typed text is still in it when upload is pressed.
    const std::string script = Start(receiver, 1, 1) + R"({"click": [80, 200]}
{"key": "a", "ctrl": true}
{"text": "sunset"}
)" + kClickUpload + "{\"wait\": \"post_complete\", \"timeout_ms\": 20000}\n";
    ASSERT_EQ(Run(script), ScriptRunner::Completed) << out;
    ASSERT_TRUE(receiver.WaitForRecorded(1));
    std::string remark;
    const Json::Value request = receiver.Parsed(0);
    for (const Json::Value& part : request["parts"])
        if (part["name"] == "remark")
            remark = part["value"].asString();
    EXPECT_EQ(remark, "sunset");
    EXPECT_FALSE(IsWindowVisible(control->View().list.RemarkEditor().Window()));
}

} // namespace
