#pragma once
// The opt-in "init" members that shape what an upload sends: "SendOriginal",
// "MaxWidth", "MaxHeight" and "JpegQuality". A member that is missing takes its
// default; one of the wrong type or out of range is logged and takes its default too.

#include <json/value.h>

class AppConfig;

void ReadUploadOptions(const Json::Value& config, AppConfig& settings);
