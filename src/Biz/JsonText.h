#pragma once
// JSON text in and out, in the forms the page sees: lenient parsing (comments
// allowed, any value as root) and compact writing with sorted members and a final
// line feed.

#include <json/value.h>

#include <string>

// False for text that is not JSON, however malformed; never throws.
bool ParseJson(const std::string& text, Json::Value& root);
std::string WriteJson(const Json::Value& value);
