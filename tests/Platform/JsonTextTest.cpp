// JSON text as the page and servers see it: what the page receives is always valid
// JSON whose strings are valid UTF-8, whatever bytes a server or script gave.

#include "Platform/Text/JsonText.h"

#include <gtest/gtest.h>

using namespace Platform;

namespace {

std::string Written(const std::string& text)
{
    Json::Value value(Json::objectValue);
    value["svr"] = text;
    return WriteJson(value);
}

TEST(JsonText, InvalidUtf8BecomesOneReplacementPerSequenceAndNoValidCharacterIsLost)
{
    EXPECT_EQ(Written("a\xC3(b"), "{\"svr\":\"a\\ufffd(b\"}\n");
    EXPECT_EQ(Written("\xE7\x85\xE7\x85\xA7\xFF"), "{\"svr\":\"\\ufffd\\u7167\\ufffd\"}\n");
    EXPECT_EQ(Written("\xF0\x9F\x98\x80 ok"), "{\"svr\":\"\\ud83d\\ude00 ok\"}\n");
}

TEST(JsonText, ServerRepliesWithInvalidBytesReachThePageAsValidJson)
{
    Json::Value reply;
    ASSERT_TRUE(
        ParseJson("{\"success\":1,\"msg\":\"\xC3(\",\"list\":[\"\xFF\"],\"k\xC3\":{\"n\":\"\xE7\x85\"}}", reply));
    Json::Value event(Json::objectValue);
    event["imgs"][0]["svr"] = reply;
    const std::string text = WriteJson(event);
    EXPECT_EQ(text, "{\"imgs\":[{\"svr\":{\"k\\ufffd\":{\"n\":\"\\ufffd\"},\"list\":[\"\\ufffd\"],\"msg\":\"\\ufffd(\","
                    "\"success\":1}}]}\n");
    Json::Value back;
    ASSERT_TRUE(ParseJson(text, back));
    EXPECT_EQ(back["imgs"][0]["svr"]["msg"].asString(), "\xEF\xBF\xBD(");
}

TEST(JsonText, ValidTextIsWrittenUnchanged)
{
    Json::Value value;
    ASSERT_TRUE(ParseJson("{\"b\":[1,2.5,true,null],\"a\":\"照片\\n\"}", value));
    EXPECT_EQ(WriteJson(value), "{\"a\":\"\\u7167\\u7247\\n\",\"b\":[1,2.5,true,null]}\n");
}

} // namespace
