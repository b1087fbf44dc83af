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

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

const wchar_t* const kAgent = L"Quelvane7";

// How often a wait between attempts looks at the stop flag.
constexpr std::chrono::milliseconds kStopCheck{20};

void Deliver(const char* name, std::shared_ptr<MsgData> record, std::uint64_t epoch)
{
    const int id = MsgMailbox::Instance().Put(std::move(record))->id;
    // A control that has gone away will never take the record.
    if (!EventQueue::Instance().Post(name, id, epoch))
        MsgMailbox::Instance().Take(id);
}

} // namespace

PostFile::PostFile(std::shared_ptr<Uploader> job) : job(std::move(job)) {}

void PostFile::Run()
{
    if (const std::optional<UploadFailure> failure = Exchange()) {
        if (heldBack)
            ReportNotSent(job->item, job->file, job->epoch);
        else
            ReportError(*failure);
    } else {
        ReportComplete();
    }
    Finish();
}

void PostFile::Abandon()
{
    job->wire->Pass(job->wireTicket);
    ReportError(UploadFailure{"network", "not sent", 0, std::nullopt});
    Finish();
}

void PostFile::ReportNotSent(UploadItem* item, std::shared_ptr<ImageData> file, std::uint64_t epoch)
{
    auto record = std::make_shared<MsgData>();
    record->item = item;
    record->file = std::move(file);
    record->code = "cancelled";
    Deliver("post_cancelled", std::move(record), epoch);
}

std::optional<UploadFailure> PostFile::Exchange()
{
    // A destination the page may not post to is sent nothing but the preflight.
    const UploadPermission::Verdict& permitted = job->permission->Check(job->stopFlag);
    if (!permitted.refusal.empty()) {
        job->wire->Pass(job->wireTicket);
        return UploadFailure{"destination_refused", permitted.refusal, 0, std::nullopt};
    }
    UploadBody upload;
    // A page's post says where it comes from, as a browser's does.
    const std::string unprepared =
        upload.Prepare(*job->file, *job->config, job->config->UntrustedCaller ? permitted.origin : "");
    if (!unprepared.empty()) {
        job->wire->Pass(job->wireTicket);
        return UploadFailure{"unreadable", unprepared, 0, std::nullopt};
    }
    // Prepared while earlier files were still sending; now it waits for its place. A
    // file that a stop holds back here stays unsent, as a file still queued does.
    if (!job->wire->Enter(job->wireTicket, *job->stopFlag)) {
        heldBack = true;
        return UploadFailure::Cancelled();
    }
    std::optional<UploadFailure> failure = SendWithRetries(upload, permitted);
    job->wire->Leave();
    return failure;
}

std::optional<UploadFailure> PostFile::SendWithRetries(const UploadBody& upload,
                                                       const UploadPermission::Verdict& permitted)
{
    std::optional<UploadFailure> failure = Send(upload, permitted);
    for (int attempt = 1; failure && failure->Retryable() && attempt <= job->config->RetryCount; ++attempt) {
        const std::int32_t delay = RetryDelay(*failure, attempt);
        ReportRetry(*failure, attempt + 1, delay);
        if (!WaitUnlessStopped(delay))
            return UploadFailure::Cancelled();
        job->file->sentBytes = 0;
        failure = Send(upload, permitted);
    }
    return failure;
}

std::optional<UploadFailure> PostFile::Send(const UploadBody& upload, const UploadPermission::Verdict& permitted)
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
    // The client's own errors are reported as they come, without a code: the
    // attempt's outcome follows and is the one that counts.
    client.error.connect([this](std::uint32_t code) {
        ReportError(
            UploadFailure{"", code == HttpRequest::NotAccepted ? "not accepted" : "reply unreadable", 0, std::nullopt});
    });
    client.Send(job->config->PostUrl, L"", kAgent);

    // A reply the page's origin may not read stays with the server, as in a browser.
    if (permitted.crossOrigin && !CorsPreflight::AllowsOrigin(client.GetRawResponseHeaders(), permitted.origin)) {
        if (client.GetFailureKind() != HttpRequest::FailureKind::None)
            return UploadFailure::OfExchange(client, false);
        return UploadFailure{"destination_refused",
                             "refused for the page: the server's reply does not allow the origin " + permitted.origin,
                             0, std::nullopt};
    }
    return UploadFailure::OfExchange(client, JudgeReply(client.GetResponse(), job->file->svr));
}

std::int32_t PostFile::RetryDelay(const UploadFailure& failure, int attempt) const
{
    if (failure.retryAfter)
        return *failure.retryAfter;
    const std::vector<std::int32_t>& delays = job->config->RetryDelays;
    if (delays.empty())
        return 0;
    return delays[std::min<std::size_t>(static_cast<std::size_t>(attempt - 1), delays.size() - 1)];
}

bool PostFile::WaitUnlessStopped(std::int32_t milliseconds) const
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!job->stopFlag->load()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= end)
            return true;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(kStopCheck, end - now));
    }
    return false;
}

void PostFile::ReportProgress()
{
    PostEvent("post_process", Record());
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
    std::shared_ptr<MsgData> record = Record();
    record->svr = job->file->svr;
    PostEvent("post_complete", std::move(record));
}

void PostFile::ReportError(const UploadFailure& failure)
{
    job->failed();
    std::shared_ptr<MsgData> record = Record();
    record->reason = failure.text;
    record->code = failure.code;
    record->status = failure.status;
    record->svr = job->file->svr;
    PostEvent("post_error", std::move(record));
}

void PostFile::ReportRetry(const UploadFailure& failure, int attempt, std::int32_t delay)
{
    std::shared_ptr<MsgData> record = Record();
    record->reason = failure.text;
    record->code = failure.code;
    record->status = failure.status;
    record->attempt = attempt;
    record->delay = delay;
    PostEvent("post_retry", std::move(record));
}

std::shared_ptr<MsgData> PostFile::Record() const
{
    auto record = std::make_shared<MsgData>();
    record->item = job->item;
    record->file = job->file;
    return record;
}

void PostFile::PostEvent(const char* name, std::shared_ptr<MsgData> record)
{
    Deliver(name, std::move(record), job->epoch);
}

void PostFile::Finish()
{
    job->finished();
    job->slot->Set();
}
