#pragma once
// What one upload thread does for one file: prepare its body (the picture, its name
// and the form fields), wait for its place on the wire, post it, judge the reply, and
// report progress and the outcome to the control's thread. One file, once; no retry.

#include "Biz/UploadPermission.h"

#include <memory>
#include <optional>
#include <string>

class UploadBody;
class Uploader;

class PostFile {
public:
    explicit PostFile(std::shared_ptr<Uploader> job);

    // The whole exchange, then finished and the slot returned.
    void Run();
    // For a job that cannot run at all: reported as failed, slot returned.
    void Abandon();

private:
    // Empty when the server accepted the file, else why not; nothing when a stop came
    // before the file went on the wire.
    std::optional<std::string> Exchange();
    std::string Send(const UploadBody& upload, const UploadPermission::Verdict& permitted);
    void ReportProgress();
    void AddSentBytes(std::uint32_t share);
    void ReportComplete();
    void ReportError(std::string reason);
    void PostEvent(const char* name, std::string reason = {});
    void Finish();

    std::shared_ptr<Uploader> job;
};
