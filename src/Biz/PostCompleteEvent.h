#pragma once
// The page event "post_complete": the id and the server's reply of every file an
// upload task sent, in the order of their success; no "imgs" when there is none.

#include <json/value.h>

#include <memory>
#include <vector>

class ImageData;

Json::Value MakePostCompleteEvent(const std::vector<std::shared_ptr<ImageData>>& succeededFiles);
