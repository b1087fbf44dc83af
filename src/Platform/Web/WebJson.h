#pragma once
// JSON for the messages between trellan.js and the session: compact writing, and strict
// reading that never throws and refuses deep nesting (page messages are hostile input).

#include <json/value.h>

#include <string>
#include <string_view>

namespace Platform::Web {

std::string CompactJson(const Json::Value& value);
// False for text that is not one JSON object.
bool ParseMessage(std::string_view text, Json::Value& message);
// A member that must be an integer in [low, high]; fallback otherwise.
int IntMember(const Json::Value& message, const char* name, int low, int high, int fallback);
// A member that must be a number in [low, high] (NaN is none); fallback otherwise.
double NumberMember(const Json::Value& message, const char* name, double low, double high, double fallback);

} // namespace Platform::Web
