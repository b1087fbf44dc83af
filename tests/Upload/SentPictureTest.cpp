#include "Biz/Digest.h"
#include "Biz/UploadOptions.h"
#include "Imaging/Picture.h"
#include "Imaging/RasterConversion.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "UploadHarness.h"
#include "support/PhpReceiver.h"
#include "support/TestReceiver.h"

#include <json/reader.h>

#include <fstream>
#include <iterator>

using namespace UploadHarness;
using TestSupport::PhpReceiver;
using TestSupport::TestReceiver;

namespace {

std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Md5Of(const std::string& bytes)
{
    return Md5Hex(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

std::string Unhex(const std::string& hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string Text(const EncodedPicture& encoded)
{
    return std::string(reinterpret_cast<const char*>(encoded.bytes.get()), encoded.length);
}

// Noisy photos of the given size written as JPEG files (quality 92), as a camera keeps them.
std::vector<std::filesystem::path> JpegPhotos(const PhotoFolder& folder, const std::string& size, int count)
{
    PhotoFolder pngs(count, size, true);
    std::vector<std::filesystem::path> paths;
    for (const auto& png : pngs.paths) {
        const auto path = folder.Folder() / (size + "-" + png.filename().replace_extension(".jpg").string());
        std::ofstream(path, std::ios::binary) << Text(EncodePicture(LoadPictureFile(png.wstring()), L"jpg", 92));
        paths.push_back(path);
    }
    return paths;
}

class SentPictureTest : public EngineTest {
protected:
    void Send(const std::wstring& url)
    {
        events.clear();
        AppConfig::Instance().PostUrl = url;
        ASSERT_TRUE(manager.StartTask());
        ASSERT_TRUE(RunToEnd());
        ASSERT_EQ(Count("post_complete"), static_cast<int>(list.Size()));
    }
    // What PHP made of file i: its field (decoded), and the file part's size and MD5.
    std::string PhpField(std::size_t i, const char* name)
    {
        return Unhex(list[i].File()->svr["fields"][name].asString());
    }
    std::string PhpMd5(std::size_t i) { return list[i].File()->svr["files"]["file"]["md5"].asString(); }
    std::uint64_t PhpSize(std::size_t i) { return list[i].File()->svr["files"]["file"]["size"].asUInt64(); }
};

TEST_F(SentPictureTest, SendOriginalSendsTheFilesOwnBytesOnlyWhileTheUserChangedNothing)
{
    PhotoFolder folder(0);
    const auto jpegs = JpegPhotos(folder, "2400x1800", 3);
    PhotoFolder pngs(1, "1600x1200", true);
    for (const auto& path : jpegs)
        list.Add(path)->File()->Load();
    list.Add(pngs.paths[0])->File()->Load();
    list[1].File()->Turn(1, 120, 120);
    // The file grows after it was added; it is sent as it is now.
    std::ofstream(jpegs[2], std::ios::binary | std::ios::app) << std::string(5000, 'x');
    AppConfig::Instance().SendOriginal = true;
    PhpReceiver php;
    Send(php.WideUrl());

    for (const std::size_t i : {0u, 2u, 3u}) {
        const std::string own = ReadBytes(list[i].File()->path);
        EXPECT_GT(own.size(), 2u << 20) << i;
        EXPECT_EQ(PhpSize(i), own.size()) << i;
        EXPECT_EQ(PhpMd5(i), Md5Of(own)) << i;
        EXPECT_EQ(list[i].File()->uploadSize.load(), static_cast<std::int64_t>(own.size())) << i;
    }
    EXPECT_EQ(PhpField(0, "width"), "2400");
    EXPECT_EQ(PhpField(0, "height"), "1800");
    EXPECT_EQ(PhpField(3, "width"), "1600");
    // The turned photo is encoded as it shows now, upright and turned.
    const std::string turned = Text(EncodePicture(list[1].File()->Picture(), L"jpg"));
    EXPECT_NE(PhpMd5(1), Md5Of(ReadBytes(jpegs[1])));
    EXPECT_EQ(PhpMd5(1), Md5Of(turned));
    EXPECT_EQ(PhpField(1, "width"), "1800");
    EXPECT_EQ(PhpField(1, "height"), "2400");
}

TEST_F(SentPictureTest, TheBoxScalesLargerPhotosDownAndTheQualityShapesTheJpeg)
{
    PhotoFolder folder(0);
    const auto wide = JpegPhotos(folder, "2000x1500", 1);
    const auto tall = JpegPhotos(folder, "900x1600", 1);
    const auto small = JpegPhotos(folder, "640x480", 1);
    for (const auto& path : {wide[0], tall[0], small[0]})
        list.Add(path)->File()->Load();
    AppConfig& config = AppConfig::Instance();
    config.MaxWidth = 800;
    config.MaxHeight = 800;
    // A photo that must be scaled is encoded whatever SendOriginal says.
    config.SendOriginal = true;
    config.JpegQuality = 60;
    TestReceiver receiver;
    Send(receiver.WideUrl());
    ASSERT_TRUE(receiver.WaitForRecorded(3));

    const std::pair<int, int> expected[] = {{800, 600}, {450, 800}, {640, 480}};
    for (int i = 0; i < 3; ++i) {
        const std::string raw = receiver.RawRequest(i);
        const Json::Value parsed = receiver.Parsed(i);
        const std::string id = parsed["parts"][0]["value"].asString();
        std::size_t at = 0;
        while (at < list.Size() && list[at].File()->id != id)
            ++at;
        ASSERT_LT(at, list.Size());
        const std::string marker = "Content-Transfer-Encoding: binary\r\n\r\n";
        const std::size_t start = raw.find(marker) + marker.size();
        const std::string payload = raw.substr(start, raw.rfind("\r\n--") - start);
        const auto sent = Platform::Gdiplus::Bitmap::FromMemory(payload.data(), payload.size());
        EXPECT_EQ(static_cast<int>(sent->GetWidth()), expected[at].first) << at;
        EXPECT_EQ(static_cast<int>(sent->GetHeight()), expected[at].second) << at;
        EXPECT_EQ(parsed["parts"][1]["value"].asString(), std::to_string(expected[at].first)) << at;
        EXPECT_EQ(parsed["parts"][2]["value"].asString(), std::to_string(expected[at].second)) << at;
        const PictureHandle own = list[at].File()->Picture();
        if (at == 2) {
            EXPECT_TRUE(payload == ReadBytes(small[0])) << "the photo that fits goes as its own bytes";
            continue;
        }
        // The editor's resampling, then JPEG at the quality asked for.
        const PictureHandle scaled = ScalePicture(own, expected[at].first, expected[at].second);
        EXPECT_TRUE(payload == Text(EncodePicture(scaled, L"jpg", 60))) << at;
        EXPECT_LT(payload.size(), Text(EncodePicture(scaled, L"jpg", 100)).size()) << at;
    }
}

Json::Value Parse(const std::string& text)
{
    Json::Value value;
    Json::Reader().parse(text, value);
    return value;
}

TEST(UploadOptionsTest, InitTakesGoodValuesAndIgnoresBadOnesForTheDefaults)
{
    AppConfig config;
    ReadUploadOptions(Parse(R"({"SendOriginal":true,"MaxWidth":1920,"MaxHeight":1080,"JpegQuality":85})"), config);
    EXPECT_TRUE(config.SendOriginal);
    EXPECT_EQ(config.MaxWidth, 1920);
    EXPECT_EQ(config.MaxHeight, 1080);
    EXPECT_EQ(config.JpegQuality, 85);

    ReadUploadOptions(Parse(R"({"SendOriginal":"yes","MaxWidth":-1,"MaxHeight":1.5,"JpegQuality":0})"), config);
    EXPECT_FALSE(config.SendOriginal);
    EXPECT_EQ(config.MaxWidth, 0);
    EXPECT_EQ(config.MaxHeight, 0);
    EXPECT_EQ(config.JpegQuality, 100);

    for (const char* quality : {R"({"JpegQuality":101})", R"({"JpegQuality":"50"})", R"({"JpegQuality":1e12})"}) {
        config.JpegQuality = 40;
        ReadUploadOptions(Parse(quality), config);
        EXPECT_EQ(config.JpegQuality, 100) << quality;
    }
    config.MaxWidth = 500;
    ReadUploadOptions(Parse(R"({"ThreadCount":2})"), config);
    EXPECT_EQ(config.MaxWidth, 0);
    EXPECT_FALSE(config.SendOriginal);
}

} // namespace
