#pragma once
// What one upload thread does for one file: encode the picture, name it, build the
// multipart body with the form fields, post it, judge the reply, and report progress
// and the outcome to the control's thread. One file, once; no retry.

#include <memory>
#include <string>

class Uploader;

class PostFile {
public:
    explicit PostFile(std::shared_ptr<Uploader> job);

    // The whole exchange, then finished and the slot returned.
    void Run();
    // For a job that cannot run at all: reported as failed, slot returned.
    void Abandon();

private:
    // Empty when the server accepted the file, else why not.
    std::string Exchange();
    void ReportProgress();
    void AddSentBytes(std::uint32_t share);
    void ReportComplete();
    void ReportError(std::string reason);
    void PostEvent(const char* name, std::string reason = {});
    void Finish();

    std::shared_ptr<Uploader> job;
};
