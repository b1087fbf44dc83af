#include "Biz/PostFile.h"

#include "Biz/AppConfig.h"
#include "Biz/EventQueue.h"
#include "Biz/ImageData.h"
#include "Biz/MsgMailbox.h"
#include "Biz/ServerReply.h"
#include "Biz/UploadBody.h"
#include "Biz/Threading/ManualResetEvent.h"
#include "Biz/UploadPermission.h"
#include "Biz/Uploader.h"
#include "Biz/WireGate.h"
#include "Http/CorsPreflight.h"
#include "Http/HttpClient.h"
#include "Platform/Text/TextConv.h"

#include <algorithm>
#include <optional>

using namespace Platform;

namespace {

const wchar_t* const kAgent = L"Quelvane7";

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
    // A file that a stop held back before it went on the wire reports nothing: it
    // stays unsent, as a file still queued does.
    if (std::optional<std::string> failure = Exchange()) {
        if (failure->empty())
            ReportComplete();
        else
            ReportError(std::move(*failure));
    }
    Finish();
}

void PostFile::Abandon()
{
    job->wire->Pass(job->wireTicket);
    ReportError("not sent");
    Finish();
}

std::optional<std::string> PostFile::Exchange()
{
    // A destination the page may not post to is sent nothing but the preflight.
    const UploadPermission::Verdict& permitted = job->permission->Check(job->stopFlag);
    UploadBody upload;
    std::string failure = permitted.refusal;
    // A page's post says where it comes from, as a browser's does.
    if (failure.empty())
        failure = upload.Prepare(*job->file, *job->config, job->config->UntrustedCaller ? permitted.origin : "");
    if (!failure.empty()) {
        job->wire->Pass(job->wireTicket);
        return failure;
    }
    // Prepared while earlier files were still sending; now it waits for its place.
    if (!job->wire->Enter(job->wireTicket, *job->stopFlag))
        return std::nullopt;
    failure = Send(upload, permitted);
    job->wire->Leave();
    return failure;
}

std::string PostFile::Send(const UploadBody& upload, const UploadPermission::Verdict& permitted)
{
    HttpClient client;
    client.SetStopFlag(job->stopFlag);
    client.SetVerb(L"POST");
    client.SetHeaderText(upload.HeaderText());
    client.SetBody(upload.Body().GetBuffer(), std::max(upload.Body().Size(), 0), upload.PictureLength());
    client.SetPinnedAddresses(permitted.pinnedAddresses);
    client.progress.connect([this](std::uint32_t, std::uint32_t, std::uint32_t share) {
        ReportProgress();
        AddSentBytes(share);
    });
    client.error.connect([this](std::uint32_t code) {
        ReportError(code == HttpRequest::NotAccepted ? "not accepted" : "reply unreadable");
    });
    client.Send(job->config->PostUrl, L"", kAgent);

    // A reply the page's origin may not read stays with the server, as in a browser.
    if (permitted.crossOrigin && !CorsPreflight::AllowsOrigin(client.GetRawResponseHeaders(), permitted.origin)) {
        if (!client.GetFailure().empty())
            return client.GetFailure();
        return "refused for the page: the server's reply does not allow the origin " + permitted.origin;
    }
    if (JudgeReply(client.GetResponse(), job->file->svr))
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
