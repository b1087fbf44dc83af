#pragma once
// JSON text in and out, in the forms the page sees: lenient parsing (comments
// allowed, any value as root) and compact writing with sorted members and a final
// line feed.

#include <json/value.h>

#include <string>
#include <string_view>

namespace Platform {

// False for text that is not JSON, however malformed; never throws.
bool ParseJson(const std::string& text, Json::Value& root);
// Strings and member names that are not valid UTF-8 are written with each invalid
// sequence replaced by U+FFFD, so the text is always valid JSON and valid UTF-8.
std::string WriteJson(const Json::Value& value);

// Reading large commands without copies: the member itself (the fallback when it is
// absent), and a value's text as a wide string converted straight from the value.
const Json::Value& JsonMember(const Json::Value& object, std::string_view name, const Json::Value& fallback);
std::wstring JsonWideText(const Json::Value& value);

} // namespace Platform
