// The file-add dialog driven by a script: the page sets the folder, the add button
// opens the dialog there, two pictures are checked and OK adds them to the upload list.

#include "ControlScript.h"
#include "TestPhotos.h"

#include "Biz/AppConfig.h"

#include <gtest/gtest.h>

using Platform::ParseJson;
using Platform::WriteJson;

namespace {

class FileAddScriptTest : public ControlScript {
protected:
    TestPhotos photos;
};

TEST_F(FileAddScriptTest, CheckedPicturesOfTheChosenFolderJoinTheUploadList)
{
    const std::string first = photos.Write("a.jpg");
    photos.Write("b.png");
    const std::string third = photos.Write("c.bmp");
    photos.Write("notes.txt");
    Json::Value setFolder(Json::objectValue);
    setFolder["post"]["name"] = "setFolder";
    setFolder["post"]["path"] = photos.folder.string();
    // Tiles of the grid start at (195, 37) in the dialog, 154 pixels apart; OK is at
    // (722, 502).
    const std::string script = WriteJson(setFolder) + "{\"click\": [48, 16]}\n"
                                                      "{\"pump_ms\": 3000}\n"
                                                      "{\"dump\": \"form\"}\n"
                                                      "{\"click\": [265, 97], \"window\": \"active\"}\n"
                                                      "{\"click\": [573, 97], \"window\": \"active\"}\n"
                                                      "{\"dump\": \"form\"}\n"
                                                      "{\"click\": [722, 502], \"window\": \"active\"}\n"
                                                      "{\"dump\": \"list\"}\n";
    ASSERT_EQ(Run(script), ScriptRunner::Completed) << out;

    const std::vector<Json::Value> forms = Dumps("#form ");
    ASSERT_EQ(forms.size(), 2u) << out;
    EXPECT_EQ(forms[0]["folder"], photos.folder.string());
    ASSERT_EQ(forms[0]["grid"].size(), 3u);
    EXPECT_EQ(forms[0]["grid"][0]["name"], "a.jpg");
    EXPECT_EQ(forms[0]["count"], "当前选择：0/3 张照片");
    bool folderSelected = false;
    for (const Json::Value& row : forms[0]["tree"])
        folderSelected |= row["selected"].asBool() && row["text"] == photos.folder.filename().string();
    EXPECT_TRUE(folderSelected) << "the tree opens at the folder";
    EXPECT_EQ(forms[1]["count"], "当前选择：2/3 张照片");
    EXPECT_TRUE(forms[1]["grid"][2]["checked"].asBool());

    const std::vector<Json::Value> lists = Dumps("#list ");
    ASSERT_EQ(lists.size(), 1u);
    ASSERT_EQ(lists[0]["tiles"].size(), 2u);
    EXPECT_EQ(lists[0]["tiles"][0]["path"], first);
    EXPECT_EQ(lists[0]["tiles"][1]["path"], third);
}

TEST_F(FileAddScriptTest, DumpingAFormNeedsTheDialog)
{
    EXPECT_EQ(Run("{\"dump\": \"form\"}\n"), ScriptRunner::BadLine);
}

} // namespace
