#include "Biz/PostFile.h"

#include "Biz/AppConfig.h"
#include "Biz/EventQueue.h"
#include "Biz/FileNaming.h"
#include "Biz/ImageData.h"
#include "Biz/MsgMailbox.h"
#include "Biz/ServerReply.h"
#include "Biz/Threading/ManualResetEvent.h"
#include "Biz/UploadPermission.h"
#include "Biz/Uploader.h"
#include "Biz/WireText.h"
#include "Http/CorsPreflight.h"
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

// The start of a reply for a message: at most 60 bytes, on one line, valid UTF-8.
std::string ReplyStart(const std::string& reply)
{
    std::string start = ValidUtf8(reply.substr(0, 60));
    for (char& c : start) {
        if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
    }
    return reply.size() > 60 ? start + "..." : start;
}

std::string FailureReason(const HttpClient& client)
{
    if (!client.GetFailure().empty())
        return client.GetFailure();
    const std::string start = ReplyStart(client.GetResponse());
    if (client.GetStatus() < 200 || client.GetStatus() > 299)
        return "HTTP status " + std::to_string(client.GetStatus()) + ", reply: " + start;
    return "reply not a success: " + start;
}

} // namespace

PostFile::PostFile(std::shared_ptr<Uploader> job) : job(std::move(job))
{
}

void PostFile::Run()
{
    std::string failure = Exchange();
    if (failure.empty())
        ReportComplete();
    else
        ReportError(std::move(failure));
    Finish();
}

void PostFile::Abandon()
{
    ReportError("not sent");
    Finish();
}

std::string PostFile::Exchange()
{
    const AppConfig& config = *job->config;
    ImageData& file = *job->file;
    // A destination the page may not post to is sent nothing but the preflight.
    const UploadPermission::Verdict& permitted = job->permission->Check(job->stopFlag);
    if (!permitted.refusal.empty())
        return permitted.refusal;
    // A file sent before the list's loader reached it is read here, on this thread.
    file.Load();
    const PictureHandle picture = file.Picture();
    const std::string remark = EncodeWireText(file.remark, config.EncodeType);

    const EncodedPicture encoded = EncodePicture(picture, file.format);
    const std::int32_t length = SendableLength(encoded);
    file.uploadSize = length;
    file.sentBytes = 0;
    // A picture that cannot be decoded (or encoded) fails here, before anything is
    // posted: sent as an empty part, a server answering success would count it as sent.
    if (length == 0)
        return "the picture cannot be read";
    const std::uint8_t* bytes = encoded.bytes.get();
    const std::string name = GenerateName(file, bytes, static_cast<std::size_t>(length), config);

    HttpHeader header;
    header.SetHeader("Cookie", config.Cookie);
    header.SetHeader("Connection", "Close");
    // A page's post says where it comes from, as a browser's does.
    if (config.UntrustedCaller)
        header.SetHeader("Origin", permitted.origin);

    MemFile body;
    body.AddField("id", file.id);
    body.AddNumberField("width", picture->GetWidth());
    body.AddNumberField("height", picture->GetHeight());
    body.AddField("remark", remark);
    for (const auto& [fieldName, value] : config.Fields)
        body.AddField(fieldName, value);
    body.AddFile(name, bytes, length, config.FileFieldName);
    body.End();
    // A remark, a field or the picture itself may hold the delimiter; the body and the
    // Content-Type then carry a boundary found nowhere in the parts.
    header.SetBoundary(body.ChooseBoundary());

    HttpClient client;
    client.SetStopFlag(job->stopFlag);
    client.SetVerb(L"POST");
    client.SetHeaderText(header.GetHeaderText());
    client.SetBody(body.GetBuffer(), std::max(body.Size(), 0), length);
    client.SetPinnedAddresses(permitted.pinnedAddresses);
    client.progress.connect([this](std::uint32_t, std::uint32_t, std::uint32_t share) {
        ReportProgress();
        AddSentBytes(share);
    });
    client.error.connect([this](std::uint32_t code) {
        ReportError(code == HttpRequest::NotAccepted ? "not accepted" : "reply unreadable");
    });
    client.Send(config.PostUrl, L"", kAgent);

    // A reply the page's origin may not read stays with the server, as in a browser.
    if (permitted.crossOrigin && !CorsPreflight::AllowsOrigin(client.GetRawResponseHeaders(), permitted.origin)) {
        if (!client.GetFailure().empty())
            return client.GetFailure();
        return "refused for the page: the server's reply does not allow the origin " + permitted.origin;
    }
    if (JudgeReply(client.GetResponse(), file.svr))
        return "";
    return FailureReason(client);
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
    file.sentBytes = std::min<std::int64_t>(sent, file.uploadSize);
}

void PostFile::ReportComplete()
{
    job->succeeded();
    PostEvent("post_complete");
}

void PostFile::ReportError(std::string reason)
{
    job->failed();
    PostEvent("post_error", std::move(reason));
}

void PostFile::PostEvent(const char* name, std::string reason)
{
    const auto record = MsgMailbox::Instance().Put(job->item, job->file, std::move(reason));
    // A control that has gone away will never take the record.
    if (!EventQueue::Instance().Post(name, record->id, job->epoch))
        MsgMailbox::Instance().Take(record->id);
}

void PostFile::Finish()
{
    job->finished();
    job->slot->Set();
}
