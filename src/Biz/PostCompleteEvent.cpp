#include "Biz/PostCompleteEvent.h"

#include "Biz/ImageData.h"

Json::Value MakePostCompleteEvent(const std::vector<std::shared_ptr<ImageData>>& succeededFiles)
{
    Json::Value event(Json::objectValue);
    event["name"] = "post_complete";
    for (const auto& file : succeededFiles) {
        Json::Value image(Json::objectValue);
        image["id"] = file->id;
        image["svr"] = file->svr;
        event["imgs"].append(image);
    }
    return event;
}
