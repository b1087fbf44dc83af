#pragma once
// The "init" member "Language": "zh-CN" (the default) or "en". Missing, it takes the
// default; any other value or type is logged and takes the default too.

#include <json/value.h>

class AppConfig;

void ReadLanguage(const Json::Value& config, AppConfig& settings);
