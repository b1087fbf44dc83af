#include "Biz/Digest.h"
#include "Imaging/Picture.h"
#include "UploadHarness.h"
#include "support/PhpReceiver.h"

#include <fstream>
#include <random>
#include <regex>

using namespace UploadHarness;
using TestSupport::PhpReceiver;

namespace {

const std::string B = std::string(27, '-') + "7da1d41060a1a";
const std::string Forged = "\r\n--" + B + "\r\nContent-Disposition: form-data; name=\"admin\"\r\n\r\n1\r\n--" + B +
                           "\r\nContent-Disposition: form-data; name=\"f\"; filename=\"x.png\"\r\n\r\n";

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (const unsigned char c : bytes)
        hex += {digits[c >> 4], digits[c & 15]};
    return hex;
}

// A 24-bit BMP of random pixels, with the given bytes at the start of one row's pixels.
void WriteBmp(const std::filesystem::path& path, int width, int height, const std::string& inRow)
{
    const std::uint32_t rowBytes = static_cast<std::uint32_t>(width) * 3;
    const std::uint32_t pixels = rowBytes * static_cast<std::uint32_t>(height);
    std::string bmp(54, '\0');
    const auto put = [&](std::size_t at, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            bmp[at + i] = static_cast<char>(value >> (8 * i));
    };
    bmp[0] = 'B', bmp[1] = 'M';
    put(2, 54 + pixels, 4), put(10, 54, 4), put(14, 40, 4), put(18, width, 4), put(22, height, 4);
    put(26, 1, 2), put(28, 24, 2), put(34, pixels, 4);
    std::mt19937 generator(7);
    std::string data(pixels, '\0');
    for (char& byte : data)
        byte = static_cast<char>(generator());
    data.replace(rowBytes * 10, inRow.size(), inRow);
    std::ofstream(path, std::ios::binary) << bmp << data;
}

class MultipartAtPhpTest : public EngineTest {
protected:
    // Uploads one file and returns what PHP made of it.
    Json::Value Upload(const std::filesystem::path& path, const std::wstring& remark)
    {
        const auto file = list.Add(path)->File();
        file->Load();
        file->remark = remark;
        AppConfig::Instance().PostUrl = php.WideUrl();
        AppConfig::Instance().EncodeType = L"gbk";
        EXPECT_TRUE(manager.StartTask());
        EXPECT_TRUE(RunToEnd());
        EXPECT_EQ(Count("post_complete"), 1);
        return list[0].File()->svr;
    }
    // The engine's encoding of the file, as it goes out.
    std::string Encoded(const std::wstring& format)
    {
        const EncodedPicture encoded = EncodePicture(list[0].File()->Picture(), format);
        return std::string(reinterpret_cast<const char*>(encoded.bytes.get()), encoded.length);
    }
    static std::vector<std::string> Names(const Json::Value& members) { return members.getMemberNames(); }

    PhpReceiver php;
};

TEST_F(MultipartAtPhpTest, APlainUploadKeepsTheFixedBoundary)
{
    PhotoFolder photos(1, "1600x1200", true);
    const Json::Value seen = Upload(photos.paths[0], L"photo");
    EXPECT_EQ(seen["content_type"].asString(), "multipart/form-data; boundary=" + B);
    EXPECT_EQ(Names(seen["fields"]), (std::vector<std::string>{"height", "id", "remark", "width"}));
    const std::string sent = Encoded(L"png");
    EXPECT_GT(sent.size(), 4u << 20);
    EXPECT_EQ(seen["files"]["file"]["size"].asUInt64(), sent.size());
    EXPECT_EQ(seen["files"]["file"]["md5"].asString(),
              Md5Hex(reinterpret_cast<const std::uint8_t*>(sent.data()), sent.size()));
}

TEST_F(MultipartAtPhpTest, ARemarkOrAFieldForgingPartsArrivesAsOneField)
{
    // The remark ends the quoted name of nothing, then spells a delimiter and parts; a
    // page's field begins with a delimiter right after its part's blank line.
    const std::string remark = "z\"\r\n\r\n" + Forged;
    const std::string field = "--" + B + "\r\nContent-Disposition: form-data; name=\"admin\"\r\n\r\n1";
    AppConfig::Instance().Fields = {{"note", field}};
    PhotoFolder photos(1, "1600x1200", true);
    const Json::Value seen = Upload(photos.paths[0], std::wstring(remark.begin(), remark.end()));
    const std::string contentType = seen["content_type"].asString();
    EXPECT_TRUE(std::regex_match(contentType, std::regex("multipart/form-data; boundary=-{27}[0-9a-f]{13}")))
        << contentType;
    EXPECT_NE(contentType.substr(contentType.size() - 40), B);
    EXPECT_EQ(Names(seen["fields"]), (std::vector<std::string>{"height", "id", "note", "remark", "width"}));
    EXPECT_EQ(seen["fields"]["remark"].asString(), Hex(remark));
    EXPECT_EQ(seen["fields"]["note"].asString(), Hex(field));
    EXPECT_EQ(Names(seen["files"]), std::vector<std::string>{"file"});
    const std::string sent = Encoded(L"png");
    EXPECT_EQ(seen["files"]["file"]["md5"].asString(),
              Md5Hex(reinterpret_cast<const std::uint8_t*>(sent.data()), sent.size()));
}

TEST_F(MultipartAtPhpTest, ABmpWhosePixelsSpellTheDelimiterArrivesWhole)
{
    PhotoFolder folder(0);
    const auto path = folder.Folder() / "spelled.bmp";
    WriteBmp(path, 1200, 900, Forged);
    const Json::Value seen = Upload(path, L"spelled.bmp");
    const std::string sent = Encoded(L"bmp");
    ASSERT_NE(sent.find(Forged), std::string::npos) << "the encoded picture no longer spells the delimiter";
    EXPECT_EQ(Names(seen["fields"]), (std::vector<std::string>{"height", "id", "remark", "width"}));
    EXPECT_EQ(Names(seen["files"]), std::vector<std::string>{"file"});
    EXPECT_EQ(seen["files"]["file"]["size"].asUInt64(), sent.size());
    EXPECT_EQ(seen["files"]["file"]["md5"].asString(),
              Md5Hex(reinterpret_cast<const std::uint8_t*>(sent.data()), sent.size()));
}

} // namespace
