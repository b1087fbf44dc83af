#include "Biz/PostFile.h"

#include "Biz/AppConfig.h"
#include "Biz/EventQueue.h"
#include "Biz/FileNaming.h"
#include "Biz/ImageData.h"
#include "Biz/MsgMailbox.h"
#include "Biz/ServerReply.h"
#include "Biz/Threading/ManualResetEvent.h"
#include "Biz/Uploader.h"
#include "Biz/WireText.h"
#include "Http/HttpClient.h"
#include "Http/HttpHeader.h"
#include "Http/MemFile.h"
#include "Imaging/Picture.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Text/TextConv.h"

#include <algorithm>
#include <limits>

using namespace Platform;

namespace {

const wchar_t* const kAgent = L"Quelvane7";

// The body buffer is 32-bit; a larger picture fails like one that could not be encoded.
std::int32_t SendableLength(const EncodedPicture& encoded)
{
    constexpr std::size_t kLimit = std::numeric_limits<std::int32_t>::max() / 2;
    return encoded.bytes && encoded.length <= kLimit ? static_cast<std::int32_t>(encoded.length) : 0;
}

} // namespace

PostFile::PostFile(std::shared_ptr<Uploader> job) : job(std::move(job))
{
}

void PostFile::Run()
{
    if (Exchange())
        ReportComplete();
    else
        ReportError();
    Finish();
}

void PostFile::Abandon()
{
    ReportError();
    Finish();
}

bool PostFile::Exchange()
{
    const AppConfig& config = *job->config;
    ImageData& file = *job->file;
    const PictureHandle picture = file.picture;
    const std::string remark = EncodeWireText(file.remark, config.EncodeType);

    const EncodedPicture encoded = EncodePicture(picture, file.format);
    const std::int32_t length = SendableLength(encoded);
    file.uploadSize = length;
    file.sentBytes = 0;
    // A picture that cannot be decoded (or encoded) fails here, before anything is
    // posted: sent as an empty part, a server answering success would count it as sent.
    if (length == 0)
        return false;
    const std::uint8_t* bytes = encoded.bytes.get();
    const std::string name = GenerateName(file, bytes, static_cast<std::size_t>(length), config);

    HttpHeader header;
    header.SetHeader("Cookie", config.Cookie);
    header.SetHeader("Connection", "Close");

    MemFile body;
    body.AddField("id", file.id);
    body.AddNumberField("width", picture->GetWidth());
    body.AddNumberField("height", picture->GetHeight());
    body.AddField("remark", remark);
    for (const auto& [fieldName, value] : config.Fields)
        body.AddField(fieldName, value);
    body.AddFile(name, bytes, length, config.FileFieldName);
    body.End();

    HttpClient client;
    client.SetStopFlag(job->stopFlag);
    client.SetVerb(L"POST");
    client.SetHeaderText(header.GetHeaderText());
    client.SetBody(body.GetBuffer(), std::max(body.Size(), 0), length);
    client.progress.connect([this](std::uint32_t, std::uint32_t, std::uint32_t share) {
        ReportProgress();
        AddSentBytes(share);
    });
    client.error.connect([this](std::uint32_t) { ReportError(); });
    client.Send(config.PostUrl, L"", kAgent);

    return JudgeReply(client.GetResponse(), file.svr);
}

void PostFile::ReportProgress()
{
    PostEvent("post_process");
}

void PostFile::AddSentBytes(std::uint32_t share)
{
    // sentBytes never passes uploadSize: the fraction the tile shows stays within 0 to 1.
    ImageData& file = *job->file;
    const std::int64_t sent = static_cast<std::int64_t>(file.sentBytes) + share;
    file.sentBytes = static_cast<std::int32_t>(std::min<std::int64_t>(sent, file.uploadSize));
}

void PostFile::ReportComplete()
{
    job->succeeded();
    PostEvent("post_complete");
}

void PostFile::ReportError()
{
    job->failed();
    PostEvent("post_error");
}

void PostFile::PostEvent(const char* name)
{
    const auto record = MsgMailbox::Instance().Put(job->item, job->file);
    // A control that has gone away will never take the record.
    if (!EventQueue::Instance().Post(name, record->id, job->epoch))
        MsgMailbox::Instance().Take(record->id);
}

void PostFile::Finish()
{
    job->finished();
    job->slot->Set();
}
