#include "Http/HttpHeader.h"

#include <gtest/gtest.h>

namespace {

TEST(HttpHeaderTest, LinesComeInByteOrderOfTheirNames)
{
    HttpHeader header;
    header.SetHeader("Cookie", "sid=1; a=b");
    header.SetHeader("Connection", "Keep-Alive");
    header.SetHeader("Connection", "Close");
    EXPECT_EQ(header.GetHeaderText(),
              "Accept: */*\r\nConnection: Close\r\n"
              "Content-Type: multipart/form-data; boundary=---------------------------7da1d41060a1a\r\n"
              "Cookie: sid=1; a=b\r\n");
}

TEST(HttpHeaderTest, EmptyValueAddsNothingAndKeepsTheOldValue)
{
    HttpHeader header;
    header.SetHeader("Cookie", "");
    EXPECT_EQ(header.GetHeaderText().find("Cookie"), std::string::npos);
    header.SetHeader("Accept", "");
    EXPECT_NE(header.GetHeaderText().find("Accept: */*\r\n"), std::string::npos);
}

TEST(HttpHeaderTest, LineBreaksInAValueCannotStartHeadersOfTheirOwn)
{
    HttpHeader header;
    header.SetHeader("Cookie", "a=1\r\nX-Injected: yes");
    const std::string text = header.GetHeaderText();
    EXPECT_NE(text.find("Cookie: a=1X-Injected: yes\r\n"), std::string::npos);
    EXPECT_EQ(text.find("\r\nX-Injected"), std::string::npos);
    header.SetHeader("Cookie", "\r\n");
    EXPECT_NE(header.GetHeaderText().find("Cookie: a=1X"), std::string::npos);
}

TEST(HttpHeaderTest, BoundaryIsTheFortyCharacterConstant)
{
    EXPECT_EQ(HttpHeader::Boundary().size(), 40u);
    EXPECT_EQ(HttpHeader::Boundary(), std::string(27, '-') + "7da1d41060a1a");
}

} // namespace
