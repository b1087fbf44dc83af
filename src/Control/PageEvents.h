#pragma once
// The per-file page events a page asks for with "Events": true, made from what the
// list and the upload engine report on the control's thread, in that order:
// "file_added", "file_refused", "file_removed", "upload_started", "upload_progress"
// (at most every 100 ms per file), "upload_retry", "upload_success", "upload_error"
// and "upload_finished". Every event's "name" is the event's own, so a file's name
// travels as "fileName". Also names files for the page: under an untrusted caller a
// page learns a file's name without its folders, except for paths it gave itself.

#include <json/value.h>

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>

class ImageData;
struct MsgData;

class PageEvents {
public:
    using Sender = std::function<void(const Json::Value&)>;

    explicit PageEvents(Sender sender);

    // The page added this path with "addFile"; it knows the whole path.
    void NotePagePath(const std::wstring& path);
    // The file's name as the page may see it.
    std::string NameOf(const std::wstring& path) const;

    void FileAdded(const ImageData& file);
    void FileRefused(const std::wstring& path, const std::string& reason);
    void FileRemoved(const ImageData& file);
    void UploadStarted(int count, std::int64_t bytes);
    void Progress(const ImageData& file);
    void Retrying(const MsgData& record);
    void Succeeded(const MsgData& record);
    // A final failure; "cancelled" counts as cancelled, not failed.
    void Failed(const MsgData& record);
    void Finished();

private:
    bool Wanted() const;
    void Send(const char* name, Json::Value event);

    Sender sender;
    std::set<std::wstring> pagePaths;
    // When each file's progress last went to the page, in milliseconds of the tick clock.
    std::map<const ImageData*, std::uint64_t> progressSent;
    int succeeded = 0, failed = 0, cancelled = 0;
};
