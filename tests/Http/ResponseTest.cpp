#include "Http/ResponseHeaders.h"
#include "Http/ResponseText.h"

#include <gtest/gtest.h>

namespace {

TEST(ResponseHeadersTest, ValueIsTheTextBetweenTheFirstTwoColons)
{
    const auto headers = ParseResponseHeaders("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"
                                              "Location: a:b\r\nContent-Type: second\r\nNoColon\r\n\r\n");
    EXPECT_EQ(headers.size(), 2u);
    EXPECT_EQ(headers.at("Content-Type"), " text/html");
    EXPECT_EQ(headers.at("Location"), " a");
}

TEST(ResponseTextTest, ZeroByteCutsOnlyThePieceThatHoldsIt)
{
    std::string body = "{\"success\":1}";
    body += '\0';
    body += std::string(300, 'x');
    ResponseText text;
    // Delivered in odd slices: the pieces are counted from the first byte of the body.
    for (std::size_t i = 0; i < body.size(); i += 7)
        ASSERT_TRUE(text.Append(body.data() + i, std::min<std::size_t>(7, body.size() - i)));
    EXPECT_EQ(text.Text(), "{\"success\":1}" + std::string(body.size() - ResponseText::PieceSize, 'x'));
}

TEST(ResponseTextTest, RefusesBodiesBeyondTheCap)
{
    ResponseText text;
    const std::string block(1024 * 1024, 'a');
    bool accepted = true;
    for (int i = 0; i < 5 && accepted; ++i)
        accepted = text.Append(block.data(), block.size());
    EXPECT_FALSE(accepted);
}

} // namespace
