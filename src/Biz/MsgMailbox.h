#pragma once
// Holds the MsgData that queued events refer to, under ids unique for the process.
// Producers Put and then post the id; the event's handler Takes the record.

#include "Biz/MsgData.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <unordered_map>

class MsgMailbox {
public:
    static MsgMailbox& Instance();

    // Any thread.
    std::shared_ptr<MsgData> Put(UploadItem* item, std::shared_ptr<ImageData> file, std::string reason = {});
    // Stores a record filled by the caller under a new id, which it is given.
    std::shared_ptr<MsgData> Put(std::shared_ptr<MsgData> record);
    // The control's thread; empty when nothing is stored under id.
    std::shared_ptr<MsgData> Take(int id);
    // Drops every stored record (a control going away); ids keep counting.
    void Clear();
    std::size_t Count() const;

private:
    MsgMailbox() = default;

    std::atomic<int> counter{0};
    mutable std::mutex lock;
    std::unordered_map<int, std::shared_ptr<MsgData>> messages;
};
