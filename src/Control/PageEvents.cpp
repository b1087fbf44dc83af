#include "Control/PageEvents.h"

#include "Biz/AppConfig.h"
#include "Biz/ImageData.h"
#include "Biz/MsgData.h"
#include "Platform/Text/TextConv.h"
#include "Platform/Win/Clock.h"

#include <utility>

using namespace Platform;

namespace {

constexpr std::uint64_t kProgressInterval = 100;

std::wstring LastComponent(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

} // namespace

PageEvents::PageEvents(Sender sender) : sender(std::move(sender)) {}

void PageEvents::NotePagePath(const std::wstring& path)
{
    pagePaths.insert(path);
}

std::string PageEvents::NameOf(const std::wstring& path) const
{
    const bool whole = !AppConfig::Instance().UntrustedCaller || pagePaths.count(path) > 0;
    return WideToUtf8(whole ? path : LastComponent(path));
}

bool PageEvents::Wanted() const
{
    return AppConfig::Instance().Events;
}

void PageEvents::Send(const char* name, Json::Value event)
{
    if (!Wanted())
        return;
    event["name"] = name;
    sender(event);
}

void PageEvents::FileAdded(const ImageData& file)
{
    Json::Value event(Json::objectValue);
    event["id"] = file.id;
    event["fileName"] = NameOf(file.path);
    event["size"] = static_cast<Json::Int64>(file.fileSize);
    Send("file_added", std::move(event));
}

void PageEvents::FileRefused(const std::wstring& path, const std::string& reason)
{
    Json::Value event(Json::objectValue);
    event["fileName"] = NameOf(path);
    event["reason"] = reason;
    Send("file_refused", std::move(event));
}

void PageEvents::FileRemoved(const ImageData& file)
{
    progressSent.erase(&file);
    Json::Value event(Json::objectValue);
    event["id"] = file.id;
    Send("file_removed", std::move(event));
}

void PageEvents::UploadStarted(int count, std::int64_t bytes)
{
    succeeded = failed = cancelled = 0;
    progressSent.clear();
    Json::Value event(Json::objectValue);
    event["count"] = count;
    event["bytes"] = static_cast<Json::Int64>(bytes);
    Send("upload_started", std::move(event));
}

void PageEvents::Progress(const ImageData& file)
{
    const std::uint64_t now = GetTickCount64();
    const auto last = progressSent.find(&file);
    if (last != progressSent.end() && now - last->second < kProgressInterval)
        return;
    progressSent[&file] = now;
    Json::Value event(Json::objectValue);
    event["id"] = file.id;
    event["sent"] = static_cast<Json::Int64>(file.sentBytes.load());
    event["total"] = static_cast<Json::Int64>(file.uploadSize.load());
    Send("upload_progress", std::move(event));
}

void PageEvents::Retrying(const MsgData& record)
{
    if (!record.file)
        return;
    progressSent.erase(record.file.get());
    Json::Value event(Json::objectValue);
    event["id"] = record.file->id;
    event["attempt"] = record.attempt;
    event["delay"] = record.delay;
    event["reason"] = record.code;
    if (record.status > 0)
        event["status"] = record.status;
    Send("upload_retry", std::move(event));
}

void PageEvents::Succeeded(const MsgData& record)
{
    if (!record.file)
        return;
    ++succeeded;
    Json::Value event(Json::objectValue);
    event["id"] = record.file->id;
    event["svr"] = record.svr;
    Send("upload_success", std::move(event));
}

void PageEvents::Failed(const MsgData& record)
{
    if (!record.file)
        return;
    ++(record.code == "cancelled" ? cancelled : failed);
    Json::Value event(Json::objectValue);
    event["id"] = record.file->id;
    event["reason"] = record.code;
    if (record.status > 0)
        event["status"] = record.status;
    if (!record.svr.isNull())
        event["svr"] = record.svr;
    Send("upload_error", std::move(event));
}

void PageEvents::Finished()
{
    progressSent.clear();
    Json::Value event(Json::objectValue);
    event["succeeded"] = succeeded;
    event["failed"] = failed;
    event["cancelled"] = cancelled;
    Send("upload_finished", std::move(event));
}
