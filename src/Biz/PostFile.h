#pragma once
// What one upload thread does for one file: prepare its body (the picture, its name
// and the form fields), wait for its place on the wire, post it, judge the reply, and
// report progress and the outcome to the control's thread. A failure worth another
// attempt (see UploadFailure) is sent again as often as RetryCount says, keeping the
// file's place on the wire during the waits.

#include "Biz/UploadFailure.h"
#include "Biz/UploadPermission.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class ImageData;
class UploadBody;
class Uploader;
class UploadItem;
struct MsgData;

class PostFile {
public:
    explicit PostFile(std::shared_ptr<Uploader> job);

    // The whole exchange, then finished and the slot returned.
    void Run();
    // For a job that cannot run at all: reported as failed, slot returned.
    void Abandon();

    // Posts "post_cancelled" for a file a stop kept from being sent. Any thread.
    static void ReportNotSent(UploadItem* item, std::shared_ptr<ImageData> file, std::uint64_t epoch);

private:
    // Nothing when the server accepted the file, else why not.
    std::optional<UploadFailure> Exchange();
    std::optional<UploadFailure> SendWithRetries(const UploadBody& upload, const UploadPermission::Verdict& permitted);
    std::optional<UploadFailure> Send(const UploadBody& upload, const UploadPermission::Verdict& permitted);
    // The wait before attempt number attempt + 1: the server's word, else the page's.
    std::int32_t RetryDelay(const UploadFailure& failure, int attempt) const;
    // False when a stop came first.
    bool WaitUnlessStopped(std::int32_t milliseconds) const;
    void ReportProgress();
    void AddSentBytes(std::uint32_t share);
    void ReportComplete();
    void ReportError(const UploadFailure& failure);
    void ReportRetry(const UploadFailure& failure, int attempt, std::int32_t delay);
    std::shared_ptr<MsgData> Record() const;
    void PostEvent(const char* name, std::shared_ptr<MsgData> record);
    void Finish();

    std::shared_ptr<Uploader> job;
    // A stop came before the file went on the wire: it was never sent.
    bool heldBack = false;
};
