#include "ControlFixture.h"

using namespace Platform;

namespace {

class Configuration : public ControlFixture {
protected:
    const AppConfig& config = AppConfig::Instance();
};

} // namespace

TEST_F(Configuration, DefaultsBeforeAnyInit)
{
    EXPECT_EQ(config.MaxFiles, 300);
    EXPECT_EQ(config.MaxFileSize, 0);
    EXPECT_EQ(config.ThreadCount, 3);
    EXPECT_EQ(config.EncodeType, L"UTF-8");
    EXPECT_EQ(config.FileFieldName, "file");
    EXPECT_EQ(config.FileNameGen, "ori");
    EXPECT_TRUE(config.IsFilesLimitReached(300));
    EXPECT_FALSE(config.IsFilesLimitReached(299));
    EXPECT_FALSE(config.IsFileTooLarge(0x7FFFFFFF));
}

TEST_F(Configuration, InitReadsEveryMemberAndResetsOmittedOnesToTheirDefaults)
{
    Post(
        R"({"name":"init","config":{"PostUrl":"https://example.test/上传","FileFieldName":"photo","Cookie":"sid=1; a=照",
            "EncodeType":"GBK","FileNameGen":"guid","ThreadCount":6,"JpegQuality":50}})");
    EXPECT_EQ(config.PostUrl, L"https://example.test/上传");
    EXPECT_EQ(config.FileFieldName, "photo");
    EXPECT_EQ(config.Cookie, "sid=1; a=照");
    EXPECT_EQ(config.EncodeType, L"GBK");
    EXPECT_EQ(config.FileNameGen, "guid");
    EXPECT_EQ(config.ThreadCount, 6);

    Post(R"({"name":"init","config":{"Debug":true}})");
    EXPECT_EQ(config.PostUrl, L"");
    EXPECT_EQ(config.FileFieldName, "file");
    EXPECT_EQ(config.Cookie, "");
    EXPECT_EQ(config.EncodeType, L"utf-8");
    EXPECT_EQ(config.FileNameGen, "ori");
    EXPECT_EQ(config.ThreadCount, 3);
}

TEST_F(Configuration, ThreadCountIsCappedAtTenButNotBoundedBelow)
{
    const std::pair<const char*, int> cases[] = {{"25", 10}, {"11", 10}, {"10", 10}, {"0", 0},
                                                 {"-2", -2}, {"4.7", 4}, {"true", 1}};
    for (const auto& [value, expected] : cases) {
        Post(std::string(R"({"name":"init","config":{"ThreadCount":)") + value + "}}");
        EXPECT_EQ(config.ThreadCount, expected) << value;
    }
}

TEST_F(Configuration, InitAddsFieldsKeepingEarlierValuesAndSetFieldsReplacesThem)
{
    Post(R"({"name":"init","config":{"Fields":{"a":"1"}}})");
    Post(R"({"name":"init","config":{"Fields":{"a":"2","b":"3","n":5,"t":true}}})");
    EXPECT_EQ(config.Fields, (std::map<std::string, std::string>{{"a", "1"}, {"b", "3"}, {"n", "5"}, {"t", "true"}}));

    Post(R"({"name":"setFields","fields":{}})");
    Post(R"({"name":"setFields"})");
    EXPECT_EQ(config.Fields.size(), 4u);

    Post(R"({"name":"setFields","fields":{"c":"4","b":2}})");
    EXPECT_EQ(config.Fields, (std::map<std::string, std::string>{{"b", "2"}, {"c", "4"}}));
    EXPECT_TRUE(page.texts.size() == 2u);
}

TEST_F(Configuration, SetFieldsWithAValueOfTheWrongTypeKeepsTheOldFields)
{
    Post(R"({"name":"setFields","fields":{"keep":"me"}})");
    Post(R"({"name":"setFields","fields":{"a":"1","b":{"x":1}}})");
    EXPECT_EQ(config.Fields, (std::map<std::string, std::string>{{"keep", "me"}}));
}

TEST_F(Configuration, SetFolderStoresThePathAndIgnoresAnEmptyOne)
{
    Post(R"({"name":"setFolder","path":"/home/用户/照片"})");
    EXPECT_EQ(config.GetFolderPath(), L"/home/用户/照片");
    Post(R"({"name":"setFolder","path":""})");
    Post(R"({"name":"setFolder"})");
    EXPECT_EQ(config.GetFolderPath(), L"/home/用户/照片");
    Post(R"({"name":"setFolder","path":"/does/not/exist"})");
    EXPECT_EQ(config.GetFolderPath(), L"/does/not/exist");
    EXPECT_TRUE(page.texts.empty());
}

TEST_F(Configuration, InitBeforeThePageFunctionIsStoredStillApplies)
{
    control->put_recvMessage(nullptr);
    Post(R"({"name":"init","config":{"ThreadCount":8}})");
    EXPECT_EQ(config.ThreadCount, 8);
    EXPECT_TRUE(page.texts.empty());
}
