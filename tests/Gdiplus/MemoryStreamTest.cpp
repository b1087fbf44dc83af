#include "Platform/Gdiplus/MemoryStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using Platform::Gdiplus::MemoryStream;

namespace {

std::string ReadAll(MemoryStream& stream)
{
    std::string text(stream.Size(), '?');
    stream.Seek(0, MemoryStream::Origin::Begin);
    text.resize(stream.Read(text.data(), text.size()));
    return text;
}

} // namespace

TEST(MemoryStreamTest, ManySmallWritesReadBackInOrderAcrossGrowth)
{
    MemoryStream stream;
    std::string expected;
    for (int row = 0; row < 20000; ++row) {
        const std::string line = "row " + std::to_string(row) + "\n";
        ASSERT_TRUE(stream.Write(line.data(), line.size()));
        expected += line;
    }
    EXPECT_EQ(stream.Size(), expected.size());
    EXPECT_EQ(ReadAll(stream), expected);
}

TEST(MemoryStreamTest, OverwritingInsideKeepsTheSizeAndAGapPastTheEndIsZeros)
{
    MemoryStream stream;
    std::vector<char> filled(200000, 'x');
    stream.Write(filled.data(), filled.size());
    stream.Seek(2, MemoryStream::Origin::Begin);
    stream.Write("ab", 2);
    EXPECT_EQ(stream.Size(), filled.size());

    // Past the end by more than the stream has room for: the gap is fresh memory.
    stream.Seek(300000, MemoryStream::Origin::End);
    stream.Write("z", 1);
    const std::string text = ReadAll(stream);
    ASSERT_EQ(text.size(), 500001u);
    EXPECT_EQ(text.substr(0, 5), "xxabx");
    EXPECT_EQ(text.find_first_not_of('\0', filled.size()), 500000u);
    EXPECT_FALSE(stream.Seek(-1, MemoryStream::Origin::Begin));
}

TEST(MemoryStreamTest, TakeBytesHandsTheBytesOverAndEmptiesTheStream)
{
    MemoryStream empty;
    EXPECT_EQ(empty.TakeBytes(), nullptr);

    MemoryStream stream;
    stream.Write("picture", 7);
    const auto bytes = stream.TakeBytes();
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::memcmp(bytes.get(), "picture", 7), 0);
    EXPECT_EQ(stream.Size(), 0u);
    EXPECT_EQ(stream.Position(), 0u);
    stream.Write("next", 4);
    EXPECT_EQ(ReadAll(stream), "next");
}
