#pragma once
// What a per-file event refers to: the list item showing the file and its record.

#include <json/value.h>

#include <cstdint>
#include <memory>
#include <string>

class ImageData;
class UploadItem;

struct MsgData {
    UploadItem* item = nullptr;
    std::shared_ptr<ImageData> file;
    int id = 0;
    // Why the upload failed, for a "post_error" event; empty otherwise.
    std::string reason;
    // The stable code of a failure that ends an attempt ("post_error", "post_retry");
    // empty for an error the HTTP client reported on its way, which the final one follows.
    std::string code;
    // The HTTP status of the failed attempt's reply; 0 when none came.
    std::int32_t status = 0;
    // The server's reply, for "post_complete" and "post_error"; null when none parsed.
    Json::Value svr;
    // For "post_retry": the attempt about to be made (2 for the first retry) and the
    // wait before it, in milliseconds.
    int attempt = 0;
    std::int32_t delay = 0;
};
