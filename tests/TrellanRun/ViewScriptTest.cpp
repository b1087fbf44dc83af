// The control's main view driven by scripts: "addFile", files dropped on the control
// window, tiles dragged to another place, and "dump list".

#include "ControlScript.h"
#include "TestPhotos.h"

#include "Biz/AppConfig.h"
#include "Platform/Win/Window.h"
#include "Views/ListViewPostItem.h"

#include <gtest/gtest.h>

using namespace Platform;

namespace {

std::string AddFile(const std::string& path)
{
    Json::Value command(Json::objectValue);
    command["name"] = "addFile";
    command["path"] = path;
    Json::Value line(Json::objectValue);
    line["post"] = command;
    return WriteJson(line);
}

std::string Drop(const std::vector<std::string>& paths, int x, int y)
{
    Json::Value drop(Json::objectValue);
    for (const std::string& path : paths)
        drop["paths"].append(path);
    drop["x"] = x;
    drop["y"] = y;
    Json::Value line(Json::objectValue);
    line["drop"] = drop;
    return WriteJson(line);
}

class ViewScriptTest : public ControlScript {
protected:
    // The paths of the tiles of the last "#list" line.
    std::vector<std::string> ListedPaths() const
    {
        std::vector<std::string> paths;
        const std::vector<Json::Value> dumps = Dumps("#list ");
        if (!dumps.empty())
            for (const Json::Value& tile : dumps.back()["tiles"])
                paths.push_back(tile["path"].asString());
        return paths;
    }

    TestPhotos photos;
};

TEST_F(ViewScriptTest, AddFileTakesExistingPicturesByNameOnceAndWithoutALimit)
{
    AppConfig::Instance().MaxFiles = 1;
    const std::string photo = photos.Write("PHOTO.JPG");
    const std::string second = photos.Write("b.png");
    const std::string script = AddFile(photo) + AddFile(photos.Write("c.jpeg")) + AddFile(photos.Folder("d.jpg")) +
                               AddFile(photos.folder.string() + "/missing.gif") + AddFile("") + AddFile(photo) +
                               AddFile(photos.Write("e.xjpg")) + AddFile(second) + "{\"dump\": \"list\"}\n";
    ASSERT_EQ(Run(script), ScriptRunner::Completed) << out;
    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{photo, second}));
    const Json::Value dump = Dumps("#list ").back();
    EXPECT_EQ(dump["tiles"][0]["remark"], "PHOTO.JPG");
    EXPECT_EQ(dump["tiles"][0]["selected"], false);
    EXPECT_EQ(dump["tiles"][0]["rotation"].asInt(), 0);
    EXPECT_EQ(dump["scroll"].asInt(), 0);
    EXPECT_EQ(dump["uploading"], false);
    // Nothing reaches the page, and the view shows the list.
    EXPECT_EQ(out.find("\"name\""), std::string::npos) << out;
    EXPECT_TRUE(IsWindowVisible(control->View().list.GetHwnd()));
    EXPECT_FALSE(control->View().uploadButton.disabled);
}

TEST_F(ViewScriptTest, FilesDroppedOnTheEmptyStateBecomeTilesAndFoldersAndOtherFilesDoNot)
{
    const std::string a = photos.Write("a.jpg");
    const std::string b = photos.Write("b.PNG");
    // Only whole extensions count, and a .tif is taken here as on the list.
    const std::string odd = photos.Write("x.xjpg");
    const std::string tif = photos.Write("t.tif");
    // A path longer than the 255 characters of a fixed buffer is read whole.
    const std::string deep = photos.Write(std::string(120, 'd') + "/" + std::string(120, 'e') + "/long.jpg");
    ASSERT_GT(deep.size(), 255u);
    const std::string script =
        Drop({a, b, photos.Folder("folder.jpg"), photos.Write("c.txt"), odd, tif, deep, a}, 400, 250) +
        "{\"dump\": \"list\"}\n";
    ASSERT_EQ(Run(script), ScriptRunner::Completed) << out;
    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{a, b, tif, deep}));
    MainView& view = control->View();
    EXPECT_TRUE(IsWindowVisible(view.list.GetHwnd()));
    EXPECT_FALSE(view.bigAddButton.visible);
    EXPECT_FALSE(view.uploadButton.disabled);
}

TEST_F(ViewScriptTest, FilesDroppedOnTheShownListBecomeTilesToo)
{
    const std::string a = photos.Write("a.jpg");
    const std::string b = photos.Write("b.png");
    // The first drop shows the list; the second lands on the list window itself.
    const std::string script =
        Drop({a}, 400, 250) + Drop({b, photos.Folder("folder.jpg"), a}, 400, 300) + "{\"dump\": \"list\"}\n";
    ASSERT_EQ(Run(script), ScriptRunner::Completed) << out;
    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{a, b}));
    EXPECT_NE(dynamic_cast<ListViewPostItem*>(control->View().list.Items().back()), nullptr);
}

TEST_F(ViewScriptTest, ADropOnAFullListAddsNothing)
{
    AppConfig::Instance().MaxFiles = 2;
    const std::string a = photos.Write("a.jpg");
    const std::string b = photos.Write("b.jpg");
    // The second drop lands on the instruction band, outside the list window.
    const std::string script = Drop({a, b, photos.Write("c.jpg")}, 400, 250) + Drop({photos.Write("d.jpg")}, 400, 45) +
                               "{\"dump\": \"list\"}\n";
    ASSERT_EQ(Run(script), ScriptRunner::Completed) << out;
    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{a, b}));
}

TEST_F(ViewScriptTest, ATileDraggedOntoAnotherMovesBeforeIt)
{
    std::vector<std::string> paths;
    std::string script;
    for (const char* name : {"0.jpg", "1.jpg", "2.jpg"}) {
        paths.push_back(photos.Write(name));
        script += AddFile(paths.back());
    }
    // Tiles are 150 wide with 14 between them, from (5, 61) in the control window.
    script += R"({"drag": {"from": [80, 100], "to": [408, 100]}}
{"dump": "list"}
{"drag": {"from": [244, 100], "to": [244, 100]}}
{"dump": "list"}
)";
    ASSERT_EQ(Run(script), ScriptRunner::Completed) << out;
    const std::vector<Json::Value> dumps = Dumps("#list ");
    ASSERT_EQ(dumps.size(), 2u) << out;
    EXPECT_EQ(dumps[0]["tiles"][0]["path"], paths[1]);
    EXPECT_EQ(dumps[0]["tiles"][1]["path"], paths[0]);
    EXPECT_EQ(dumps[0]["tiles"][2]["path"], paths[2]);
    EXPECT_EQ(dumps[0]["tiles"][1]["selected"], true);
    // The moved tile, now second, dropped on itself stays where it is. (A press where
    // the first one was would be a double-click, which opens the preview.)
    // Paths only: whether a picture has been read yet depends on the loader's pace.
    for (Json::ArrayIndex i = 0; i < 3; ++i)
        EXPECT_EQ(dumps[1]["tiles"][i]["path"], dumps[0]["tiles"][i]["path"]) << out;
}

TEST_F(ViewScriptTest, TheToolbarLinksTurnAndDeleteTheSelection)
{
    std::vector<std::string> paths;
    std::string script;
    for (const char* name : {"0.jpg", "1.jpg", "2.jpg"}) {
        paths.push_back(photos.Write(name));
        script += AddFile(paths.back());
    }
    // Select all, turn right twice and left once, then deselect the first with Ctrl.
    const MainView& view = control->View();
    const auto centre = [](const ControlBase& link) {
        return "[" + std::to_string((link.bounds.left + link.bounds.right) / 2) + ", " +
               std::to_string((link.bounds.top + link.bounds.bottom) / 2) + "]";
    };
    script += "{\"click\": " + centre(view.selectAllBox) + "}\n" + "{\"click\": " + centre(view.rotateRightIcon) +
              "}\n" + "{\"click\": " + centre(view.rotateRightIcon) + "}\n" +
              "{\"click\": " + centre(view.rotateLeftIcon) + "}\n" + "{\"dump\": \"list\"}\n" +
              R"({"mouse": "down", "x": 80, "y": 100, "keys": ["ctrl"]}
{"mouse": "up", "x": 80, "y": 100, "keys": ["ctrl"]}
)" +
              "{\"click\": " + centre(view.deleteIcon) + "}\n" + "{\"dump\": \"list\"}\n";
    ASSERT_EQ(Run(script), ScriptRunner::Completed) << out;
    const std::vector<Json::Value> dumps = Dumps("#list ");
    ASSERT_EQ(dumps.size(), 2u) << out;
    for (const Json::Value& tile : dumps[0]["tiles"]) {
        EXPECT_EQ(tile["selected"], true);
        EXPECT_EQ(tile["rotation"].asInt(), 1) << script;
    }
    EXPECT_EQ(ListedPaths(), std::vector<std::string>{paths[0]});
    EXPECT_EQ(dumps[1]["tiles"][0]["selected"], false);
}

} // namespace
