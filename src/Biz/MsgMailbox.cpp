#include "Biz/MsgMailbox.h"

MsgMailbox& MsgMailbox::Instance()
{
    static MsgMailbox* instance = new MsgMailbox();
    return *instance;
}

std::shared_ptr<MsgData> MsgMailbox::Put(UploadItem* item, std::shared_ptr<ImageData> file, std::string reason)
{
    auto record = std::make_shared<MsgData>();
    record->item = item;
    record->file = std::move(file);
    record->reason = std::move(reason);
    return Put(std::move(record));
}

std::shared_ptr<MsgData> MsgMailbox::Put(std::shared_ptr<MsgData> record)
{
    std::lock_guard guard(lock);
    record->id = counter.fetch_add(1);
    messages.emplace(record->id, record);
    return record;
}

std::shared_ptr<MsgData> MsgMailbox::Take(int id)
{
    std::lock_guard guard(lock);
    auto it = messages.find(id);
    if (it == messages.end())
        return nullptr;
    auto record = std::move(it->second);
    messages.erase(it);
    return record;
}

void MsgMailbox::Clear()
{
    std::lock_guard guard(lock);
    messages.clear();
}

std::size_t MsgMailbox::Count() const
{
    std::lock_guard guard(lock);
    return messages.size();
}
