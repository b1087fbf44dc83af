#pragma once
// The opt-in "init" members for pages that build their own experience around the
// control: the restrictions "MaxFiles" (1 to 10000), "MaxFileSize" (bytes, 0: none)
// and "AllowedTypes" (extensions such as ["jpg", "png"]), the per-file page events
// ("Events": true) and the retries ("RetryCount", "RetryDelays" in milliseconds).
//
// A restriction that is missing keeps what it was, as the fixed limits always did;
// "Events" and the retry members that are missing take their defaults. A member of
// the wrong type or out of range is logged and left out. A page that sends any of
// them gets the view's upload feedback from then on (AppConfig::ShowUploadFeedback).

#include <json/value.h>

class AppConfig;

void ReadPageOptions(const Json::Value& config, AppConfig& settings);
