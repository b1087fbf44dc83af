#include "Gdiplus/ExifJpeg.h"
#include "Http/MemFile.h"
#include "Imaging/Picture.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "UploadHarness.h"
#include "support/TestReceiver.h"

#include <fstream>
#include <iterator>
#include "TestPaths.h"

using namespace UploadHarness;
using TestSupport::TestReceiver;

namespace {

class UploadManagerTest : public EngineTest {
protected:
    void UseReceiver(const TestReceiver& receiver, const std::string& query = "")
    {
        AppConfig::Instance().PostUrl = receiver.WideUrl(query);
    }
    void AddPhotos(const PhotoFolder& photos)
    {
        // Loaded, as the list's loader leaves them.
        for (const auto& path : photos.paths)
            list.Add(path)->File()->Load();
    }
    // Uploads new photos, threads at a time, to a receiver that never answers, and
    // stops the task once the first uploads are all in flight.
    void StopWhileStalled(const TestReceiver& receiver, int files, int threads)
    {
        PhotoFolder photos(files);
        AddPhotos(photos);
        UseReceiver(receiver);
        AppConfig::Instance().ThreadCount = threads;
        ASSERT_TRUE(manager.StartTask());
        ASSERT_TRUE(receiver.WaitForRecorded(threads));
        manager.Stop();
        ASSERT_TRUE(RunToEnd(20s));
    }
    static std::string ReadBytes(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The value of form field name in request i as the receiver's parser read it.
    static std::string Field(const TestReceiver& receiver, int i, const std::string& name)
    {
        const Json::Value request = receiver.Parsed(i);
        for (const Json::Value& part : request["parts"]) {
            if (part["name"].asString() == name)
                return part["value"].asString();
        }
        return "<missing>";
    }
};

TEST_F(UploadManagerTest, OneThreadSendsEveryFileInListOrderWithItsFields)
{
    TestReceiver receiver;
    PhotoFolder photos(3);
    AddPhotos(photos);
    AppConfig& config = AppConfig::Instance();
    UseReceiver(receiver);
    config.ThreadCount = 1;
    config.Fields = {{"uid", "7"}, {"token", "x"}};
    list[1].File()->remark = L"照片";

    ASSERT_TRUE(manager.StartTask());
    ASSERT_TRUE(RunToEnd());
    ASSERT_TRUE(receiver.WaitForRecorded(3));

    for (int i = 0; i < 3; ++i) {
        const Json::Value parts = receiver.Parsed(i)["parts"];
        std::vector<std::string> names;
        for (const Json::Value& part : parts)
            names.push_back(part["name"].asString());
        EXPECT_EQ(names, (std::vector<std::string>{"id", "width", "height", "remark", "token", "uid", "file"}));
        EXPECT_EQ(Field(receiver, i, "id"), list[i].File()->id);
        EXPECT_EQ(Field(receiver, i, "width"), "64");
        EXPECT_EQ(Field(receiver, i, "height"), "48");
        const Json::Value& filePart = parts[6];
        EXPECT_EQ(filePart["filename"].asString(), "photo%2D0" + std::to_string(i + 1) + "%2Epng");
        EXPECT_EQ(filePart["content_type"].asString(), "application/octet-stream");
        EXPECT_EQ(filePart["length"].asInt(), list[i].File()->uploadSize.load());
    }
    EXPECT_EQ(Field(receiver, 1, "remark"), "%E7%85%A7%E7%89%87");
    EXPECT_EQ(Field(receiver, 0, "remark"), "photo%2D01%2Epng");

    EXPECT_EQ(Names(), (std::vector<std::string>{"post_complete", "post_complete", "post_complete", "task_end",
                                                 "task_complete"}));
    const auto succeeded = manager.succeededFiles();
    ASSERT_EQ(succeeded.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(succeeded[i], list[i].File());
        EXPECT_EQ(manager.succeededItems()[i], &list[i]);
        EXPECT_EQ(succeeded[i]->svr["success"].asInt(), 1);
    }
}

TEST_F(UploadManagerTest, BodyIsTheEncodedPictureLaidOutByteForByte)
{
    TestReceiver receiver;
    PhotoFolder photos(1);
    AddPhotos(photos);
    UseReceiver(receiver);
    AppConfig::Instance().EncodeType = L"gbk";
    AppConfig::Instance().FileNameGen = "crc";
    AppConfig::Instance().Cookie = "sid=1";
    ASSERT_TRUE(manager.StartTask());
    ASSERT_TRUE(RunToEnd());
    ASSERT_TRUE(receiver.WaitForRecorded(1));

    const auto& file = *list[0].File();
    const EncodedPicture encoded = EncodePicture(file.Picture(), L"png");
    MemFile expected;
    expected.AddField("id", file.id);
    expected.AddNumberField("width", 64);
    expected.AddNumberField("height", 48);
    expected.AddField("remark", "photo-01.png");
    const std::string raw = receiver.RawRequest(0);
    const std::string head = raw.substr(0, raw.find("\r\n\r\n") + 4);
    const std::string body = raw.substr(head.size());
    const std::string fields(reinterpret_cast<const char*>(expected.GetBuffer()),
                             static_cast<std::size_t>(expected.Size()));
    EXPECT_EQ(body.substr(0, fields.size()), fields);
    const std::string fileBytes(reinterpret_cast<const char*>(encoded.bytes.get()), encoded.length);
    EXPECT_NE(body.find("; filename=\"" + receiver.Parsed(0)["parts"][4]["filename"].asString() +
                        "\"\r\nContent-Type: image/png\r\nContent-Transfer-Encoding: binary\r\n\r\n" + fileBytes +
                        "\r\n--" + std::string(27, '-') + "7da1d41060a1a--\r\n"),
              std::string::npos);
    EXPECT_NE(head.find("\r\nCookie: sid=1\r\n"), std::string::npos);
    EXPECT_EQ(receiver.Parsed(0)["parts"][4]["filename"].asString().size(), 12u);
}

TEST_F(UploadManagerTest, AFileNameCannotAddFormFieldsInAnyEncoding)
{
    // A local file whose name closes the quotation and starts a part of its own.
    const std::string boundary = std::string(27, '-') + "7da1d41060a1a";
    const std::string hostile = "x.png\"\r\n\r\n\r\n--" + boundary +
                                "\r\nContent-Disposition: form-data; name=\"admin\"\r\n\r\n1\r\n--" + boundary +
                                "\r\nContent-Disposition: form-data; name=\"f\"; filename=\"y.png";
    PhotoFolder photos(1);
    const auto path = photos.Folder() / hostile;
    std::filesystem::copy_file(photos.paths[0], path);
    for (const wchar_t* encodeType : {L"gbk", L"utf-8"}) {
        TestReceiver receiver;
        list = TestList();
        list.Add(path)->File()->remark = L"r";
        UseReceiver(receiver);
        AppConfig::Instance().EncodeType = encodeType;
        events.clear();
        ASSERT_TRUE(manager.StartTask());
        ASSERT_TRUE(RunToEnd());
        ASSERT_TRUE(receiver.WaitForRecorded(1));
        const Json::Value parts = receiver.Parsed(0)["parts"];
        std::vector<std::string> names;
        for (const Json::Value& part : parts)
            names.push_back(part["name"].asString());
        EXPECT_EQ(names, (std::vector<std::string>{"id", "width", "height", "remark", "file"})) << encodeType;
        const std::string sent = parts[4]["filename"].asString();
        EXPECT_EQ(sent.find_first_of("\"\r\n"), std::string::npos) << sent;
        if (std::wstring(encodeType) == L"gbk") {
            EXPECT_EQ(sent.substr(0, 20), "x.png%22%0D%0A%0D%0A");
        }
        EXPECT_EQ(parts[4]["length"].asInt(), list[0].File()->uploadSize.load());
    }
}

TEST_F(UploadManagerTest, APhotoTakenOnItsSideIsSentUpright)
{
    TestReceiver receiver;
    PhotoFolder photos(0);
    const auto path = photos.Folder() / "portrait.jpg";
    const std::vector<std::uint8_t> jpeg = ExifJpeg::WithOrientation(ExifJpeg::QuadrantJpeg(64, 32), 6);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.data()), static_cast<std::streamsize>(jpeg.size()));
    list.Add(path)->File()->Load();
    UseReceiver(receiver);
    ASSERT_TRUE(manager.StartTask());
    ASSERT_TRUE(RunToEnd());
    ASSERT_TRUE(receiver.WaitForRecorded(1));

    const ImageData& file = *list[0].File();
    EXPECT_EQ(file.Thumbnail()->GetWidth(), 32u);
    EXPECT_EQ(file.Thumbnail()->GetHeight(), 64u);
    EXPECT_EQ(Field(receiver, 0, "width"), "32");
    EXPECT_EQ(Field(receiver, 0, "height"), "64");
    // The sent bytes are the upright picture, without the tag that would turn it again.
    const EncodedPicture encoded = EncodePicture(file.Picture(), L"jpg");
    const std::string bytes(reinterpret_cast<const char*>(encoded.bytes.get()), encoded.length);
    EXPECT_NE(receiver.RawRequest(0).find(bytes), std::string::npos);
    const auto sent = Platform::Gdiplus::Bitmap::FromMemory(bytes.data(), bytes.size());
    EXPECT_EQ(sent->GetWidth(), 32u);
    EXPECT_EQ(ExifJpeg::Quadrants(*sent),
              (std::array{ExifJpeg::Blue, ExifJpeg::Red, ExifJpeg::White, ExifJpeg::Green}));
}

TEST_F(UploadManagerTest, NeverMoreThanThreadCountInFlight)
{
    TestReceiver receiver({"--delay", "0.3"});
    PhotoFolder photos(8);
    AddPhotos(photos);
    UseReceiver(receiver);
    AppConfig::Instance().ThreadCount = 3;
    ASSERT_TRUE(manager.StartTask());
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(receiver.RequestCount(), 8);
    EXPECT_LE(receiver.Stats()["max_in_flight"].asInt(), 3);
    EXPECT_EQ(Count("post_complete"), 8);
    EXPECT_EQ(Names().back(), "task_complete");
}

TEST_F(UploadManagerTest, TheNextBodyIsPreparedWhileThreadCountSendAndNoMore)
{
    TestReceiver receiver({"--delay", "0.4"});
    PhotoFolder photos(9, "800x600", true);
    AddPhotos(photos);
    UseReceiver(receiver);
    AppConfig::Instance().ThreadCount = 2;
    ASSERT_TRUE(manager.StartTask());
    // Bodies held: files prepared (their size is set) whose outcome has not been
    // posted. The sizes are read before the events are drained, so a body is never
    // counted after its file has finished.
    int mostHeld = 0;
    while (manager.IsRunning()) {
        int prepared = 0;
        for (std::size_t i = 0; i < list.Size(); ++i)
            prepared += list[i].File()->uploadSize.load() > 0 ? 1 : 0;
        EventQueue::Instance().Drain();
        mostHeld = std::max(mostHeld, prepared - Count("post_complete") - Count("post_error"));
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(Count("post_complete"), 9);
    EXPECT_EQ(receiver.Stats()["max_in_flight"].asInt(), 2);
    EXPECT_EQ(mostHeld, 3);
}

TEST_F(UploadManagerTest, ThreadCountBelowOneSendsOneAtATime)
{
    for (const int threads : {0, -5}) {
        TestReceiver receiver({"--delay", "0.1"});
        PhotoFolder photos(3);
        list = TestList();
        AddPhotos(photos);
        events.clear();
        UseReceiver(receiver);
        AppConfig::Instance().ThreadCount = threads;
        ASSERT_TRUE(manager.StartTask());
        ASSERT_TRUE(RunToEnd(30s)) << threads;
        EXPECT_EQ(Count("post_complete"), 3);
        EXPECT_EQ(receiver.Stats()["max_in_flight"].asInt(), 1);
    }
}

TEST_F(UploadManagerTest, EmptyListEndsAndCompletesAtOnce)
{
    TestReceiver receiver;
    UseReceiver(receiver);
    ASSERT_TRUE(manager.StartTask());
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(Names(), (std::vector<std::string>{"task_end", "task_complete"}));
    EXPECT_EQ(receiver.RequestCount(), 0);
}

TEST_F(UploadManagerTest, OnlyAnObjectWithSuccessOneSucceeds)
{
    const std::vector<std::pair<std::string, bool>> replies = {
        {R"({"success":1,"url":"a"})", true},
        {R"({"success":0})", false},
        {R"([1])", false},
        {R"({"success":"1"})", false},
        {R"({"success":true})", true},
        {"", false},
        {R"({"success":1.5})", true},
        {R"({"success":4294967297})", false},
        {R"({"success":[1]})", false},
        {R"({"other":1})", false},
        {"not json", false},
        {R"(/*c*/ {"success":1} // c)", true},
        {"7", false},
        {std::string(5000, '[') + std::string(5000, ']'), false},
    };
    Json::Value answers(Json::arrayValue);
    for (const auto& [reply, success] : replies) {
        Json::Value answer;
        answer["reply"] = reply;
        answer["status"] = success ? 500 : 200;
        answers.append(answer);
    }
    TestReceiver receiver({"--replies", answers.toStyledString()});
    PhotoFolder photos(static_cast<int>(replies.size()));
    AddPhotos(photos);
    UseReceiver(receiver);
    AppConfig::Instance().ThreadCount = 1;
    ASSERT_TRUE(manager.StartTask());
    ASSERT_TRUE(RunToEnd());

    std::vector<std::shared_ptr<ImageData>> expected;
    for (std::size_t i = 0; i < replies.size(); ++i) {
        const ImageData* file = list[i].File().get();
        EXPECT_EQ(Count("post_complete", file), replies[i].second ? 1 : 0) << replies[i].first;
        EXPECT_EQ(Count("post_error", file) > 0, !replies[i].second) << replies[i].first;
        if (replies[i].second)
            expected.push_back(list[i].File());
    }
    EXPECT_EQ(manager.succeededFiles(), expected);
    EXPECT_EQ(list[1].File()->svr["success"].asInt(), 0);
    EXPECT_TRUE(list[2].File()->svr.isArray());
    EXPECT_TRUE(list[5].File()->svr.isNull());
    EXPECT_EQ(list[0].File()->svr["url"].asString(), "a");
}

TEST_F(UploadManagerTest, ProgressCountsTheEncodedPictureChunkByChunk)
{
    TestReceiver receiver;
    PhotoFolder photos(1, "400x300", true);
    AddPhotos(photos);
    UseReceiver(receiver);
    ASSERT_TRUE(manager.StartTask());
    ASSERT_TRUE(RunToEnd());
    ASSERT_TRUE(receiver.WaitForRecorded(1));
    const ImageData& file = *list[0].File();
    const int bodyLength = receiver.Parsed(0)["body_length"].asInt();
    EXPECT_GT(file.uploadSize, 300000);
    EXPECT_EQ(file.sentBytes, file.uploadSize);
    EXPECT_EQ(Count("post_process"), (bodyLength + 131071) / 131072);
    EXPECT_EQ(Names(true).back(), "task_complete");
    EXPECT_EQ(Names(true)[static_cast<std::size_t>(Count("post_process"))], "post_complete");
}

TEST_F(UploadManagerTest, PicturesThatCannotBeDecodedFailWithoutBeingPosted)
{
    TestReceiver receiver;
    PhotoFolder photos(1);
    const std::filesystem::path samples = TestPaths::SourceDir() + "/tests/fuzz/corpus/Picture";
    std::ofstream(photos.Folder() / "text.jpg") << "not a picture";
    // A header that claims more pixels than a picture may have.
    std::string huge = ReadBytes(samples / "bmp24.bmp");
    huge.replace(18, 4, std::string("\x70\x11\x01\x00", 4));
    std::ofstream(photos.Folder() / "huge.bmp", std::ios::binary) << huge;
    // A header that reads, with its pixels cut short.
    std::ofstream(photos.Folder() / "cut.jpg", std::ios::binary) << ReadBytes(samples / "baseline.jpg").substr(0, 680);
    for (const char* name : {"text.jpg", "huge.bmp", "cut.jpg"})
        list.Add(photos.Folder() / name);
    AddPhotos(photos);
    UseReceiver(receiver);
    AppConfig::Instance().ThreadCount = 1;
    ASSERT_TRUE(manager.StartTask());
    ASSERT_TRUE(RunToEnd());

    EXPECT_EQ(receiver.RequestCount(), 1);
    ASSERT_TRUE(receiver.WaitForRecorded(1));
    EXPECT_EQ(Field(receiver, 0, "id"), list[3].File()->id);
    for (std::size_t i = 0; i < 3; ++i) {
        const ImageData* file = list[i].File().get();
        EXPECT_GE(Count("post_error", file), 1) << i;
        EXPECT_EQ(Count("post_complete", file), 0) << i;
        EXPECT_EQ(file->uploadSize, 0) << i;
        EXPECT_EQ(file->sentBytes, 0) << i;
    }
    EXPECT_EQ(manager.succeededFiles(), std::vector<std::shared_ptr<ImageData>>{list[3].File()});
    EXPECT_EQ(Names().back(), "task_complete");
}

TEST_F(UploadManagerTest, TaskKeepsTheConfigurationItStartedWith)
{
    TestReceiver receiver({"--delay", "0.3"});
    TestReceiver other;
    PhotoFolder photos(2);
    AddPhotos(photos);
    AppConfig& config = AppConfig::Instance();
    UseReceiver(receiver);
    config.ThreadCount = 1;
    config.Fields = {{"a", "1"}};
    ASSERT_TRUE(manager.StartTask());
    // The page changes the settings while the first file is in flight.
    config.Fields = {{"b", "2"}};
    config.PostUrl = other.WideUrl();
    config.FileFieldName = "changed";
    ASSERT_TRUE(RunToEnd());
    ASSERT_TRUE(receiver.WaitForRecorded(2));
    EXPECT_EQ(other.RequestCount(), 0);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(Field(receiver, i, "a"), "1");
        EXPECT_EQ(Field(receiver, i, "b"), "<missing>");
        EXPECT_EQ(receiver.Parsed(i)["parts"][5]["name"].asString(), "file");
    }
}

TEST_F(UploadManagerTest, StopEndsRunningUploadsAndStartsNoMore)
{
    TestReceiver receiver({"--fault", "stall"});
    StopWhileStalled(receiver, 5, 2);
    EXPECT_EQ(receiver.RequestCount(), 2);
    EXPECT_EQ(Count("post_complete"), 0);
    EXPECT_EQ(Count("post_error", list[0].File().get()), 1);
    EXPECT_EQ(Count("post_error", list[1].File().get()), 1);
    EXPECT_EQ(Names().back(), "task_end");
    EXPECT_EQ(Count("task_complete"), 0);
    EXPECT_TRUE(manager.succeededFiles().empty());
}

TEST_F(UploadManagerTest, StopWithOneFileWaitingSendsNoCompletion)
{
    TestReceiver receiver({"--fault", "stall"});
    StopWhileStalled(receiver, 2, 1);
    EXPECT_EQ(receiver.RequestCount(), 1);
    EXPECT_EQ(Count("task_complete"), 0);
    EXPECT_EQ(Count("post_error", list[1].File().get()), 0);
}

TEST_F(UploadManagerTest, StopAfterAnAcceptedFileStillCompletesWithIt)
{
    TestReceiver receiver({"--replies", R"([{"reply":"{\"success\":1}"},{"fault":"stall"}])"});
    PhotoFolder photos(3);
    AddPhotos(photos);
    UseReceiver(receiver);
    AppConfig::Instance().ThreadCount = 1;
    ASSERT_TRUE(manager.StartTask());
    ASSERT_TRUE(receiver.WaitForRecorded(2));
    manager.Stop();
    ASSERT_TRUE(RunToEnd(20s));
    EXPECT_EQ(Names(), (std::vector<std::string>{"post_complete", "post_error", "task_end", "task_complete"}));
    EXPECT_EQ(manager.succeededFiles(), std::vector<std::shared_ptr<ImageData>>{list[0].File()});
    EXPECT_EQ(Count("post_error", list[2].File().get()), 0);
}

TEST_F(UploadManagerTest, FilesThatFailedStartTheNextTaskAtNothingSent)
{
    // Both files are refused; in the second task the first stalls while the other waits.
    TestReceiver receiver(
        {"--replies", R"([{"reply":"{\"success\":0}"},{"reply":"{\"success\":0}"},{"fault":"stall"}])"});
    PhotoFolder photos(2, "2400x1600", true);
    AddPhotos(photos);
    UseReceiver(receiver);
    AppConfig::Instance().ThreadCount = 1;
    ASSERT_TRUE(manager.StartTask());
    ASSERT_TRUE(RunToEnd());
    ASSERT_EQ(Count("post_error"), 2);
    ASSERT_GT(list[1].File()->uploadSize, 1 << 20) << "a photo of real size";
    for (std::size_t i = 0; i < 2; ++i)
        ASSERT_EQ(list[i].File()->sentBytes, list[i].File()->uploadSize) << i;

    events.clear();
    ASSERT_TRUE(manager.StartTask());
    ASSERT_TRUE(receiver.WaitForRecorded(3));
    EXPECT_EQ(list[1].File()->sentBytes, 0) << "the waiting file shows nothing sent";
    manager.Stop();
    ASSERT_TRUE(RunToEnd(20s));
}

TEST_F(UploadManagerTest, StopRightAfterTheStartLeavesTheFilesUnsent)
{
    // The task thread may have handed out the first file before the stop; it can
    // start no other.
    TestReceiver receiver({"--delay", "0.5"});
    PhotoFolder photos(3);
    AddPhotos(photos);
    UseReceiver(receiver);
    AppConfig::Instance().ThreadCount = 1;
    ASSERT_TRUE(manager.StartTask());
    manager.Stop();
    ASSERT_TRUE(RunToEnd());
    EXPECT_LE(receiver.RequestCount(), 1);
    EXPECT_EQ(Count("post_complete"), 0);
    EXPECT_EQ(Names().back(), "task_end");
    EXPECT_EQ(Count("task_complete"), 0);
}

TEST_F(UploadManagerTest, EveryFaultEndsAsAFailureAndTheTaskGoesOn)
{
    Json::Value answers(Json::arrayValue);
    for (const char* fault : {"refuse", "reset", "close", "garbage", "empty", "slow", "none"}) {
        Json::Value answer;
        answer["fault"] = fault;
        answers.append(answer);
    }
    TestReceiver receiver({"--replies", answers.toStyledString(), "--slow-interval", "0.002"});
    PhotoFolder photos(7);
    AddPhotos(photos);
    UseReceiver(receiver);
    AppConfig::Instance().ThreadCount = 1;
    ASSERT_TRUE(manager.StartTask());
    ASSERT_TRUE(RunToEnd());
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_GE(Count("post_error", list[i].File().get()), 1) << i;
    EXPECT_EQ(Count("post_complete", list[5].File().get()), 1);
    EXPECT_EQ(Count("post_complete", list[6].File().get()), 1);
    EXPECT_EQ(Names().back(), "task_complete");
}

TEST_F(UploadManagerTest, SecondTaskWhileOneRunsIsRefused)
{
    TestReceiver receiver({"--delay", "0.3"});
    PhotoFolder photos(1);
    AddPhotos(photos);
    UseReceiver(receiver);
    ASSERT_TRUE(manager.StartTask());
    EXPECT_FALSE(manager.StartTask());
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(receiver.RequestCount(), 1);
    EXPECT_EQ(Count("task_end"), 1);
}

TEST_F(UploadManagerTest, EventsOfAControlThatHasGoneAreDropped)
{
    TestReceiver receiver({"--delay", "0.3"});
    PhotoFolder photos(1);
    AddPhotos(photos);
    UseReceiver(receiver);
    ASSERT_TRUE(manager.StartTask());
    const std::size_t stored = MsgMailbox::Instance().Count();
    EventQueue::Instance().DiscardPending();
    WaitForIdle();
    EXPECT_EQ(EventQueue::Instance().PendingCount(), 0u);
    EXPECT_EQ(MsgMailbox::Instance().Count(), stored);
}

} // namespace
