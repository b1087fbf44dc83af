#include "Http/BodyChunks.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

using Progress = std::array<std::uint32_t, 3>;

std::vector<Progress> SendAll(std::int32_t bodyLength, std::int32_t fileLength, std::size_t pieceSize)
{
    BodyChunks chunks(bodyLength, fileLength);
    std::vector<Progress> reports;
    const auto report = [&](std::uint32_t w, std::uint32_t n, std::uint32_t s) { reports.push_back({w, n, s}); };
    while (std::int32_t piece = chunks.NextPiece(pieceSize)) {
        chunks.MarkHandedOut(piece);
        chunks.ReportConfirmed(chunks.HandedOut(), report);
    }
    chunks.ReportRest(report);
    return reports;
}

TEST(BodyChunksTest, ThreeChunksWithTheFileShareOfEach)
{
    const std::vector<Progress> expected = {{131072, 131072, 131072}, {262144, 131072, 131072}, {300000, 37856, 36856}};
    EXPECT_EQ(SendAll(300000, 299000, 131072), expected);
    // The transport may take smaller pieces: the chunks stay the same.
    EXPECT_EQ(SendAll(300000, 299000, 16384), expected);
}

TEST(BodyChunksTest, FileLengthZeroGivesSharesEqualToTheChunks)
{
    const std::vector<Progress> expected = {{131072, 131072, 131072}, {140000, 8928, 8928}};
    EXPECT_EQ(SendAll(140000, 0, 65536), expected);
}

TEST(BodyChunksTest, ChunksAfterTheFileLengthHaveNoShare)
{
    const std::vector<Progress> expected = {{131072, 131072, 1000}, {131073, 1, 0}};
    EXPECT_EQ(SendAll(131073, 1000, 131072), expected);
}

TEST(BodyChunksTest, ChunkInterruptedMidwayIsReportedInFullOnce)
{
    BodyChunks chunks(300000, 299000);
    std::vector<Progress> reports;
    const auto report = [&](std::uint32_t w, std::uint32_t n, std::uint32_t s) { reports.push_back({w, n, s}); };
    chunks.MarkHandedOut(chunks.NextPiece(131072));
    chunks.MarkHandedOut(chunks.NextPiece(1000));
    chunks.ReportConfirmed(131072 + 500, report);
    ASSERT_EQ(reports.size(), 1u);
    chunks.ReportRest(report);
    chunks.ReportRest(report);
    const std::vector<Progress> expected = {{131072, 131072, 131072}, {262144, 131072, 131072}};
    EXPECT_EQ(reports, expected);
}

} // namespace
