#pragma once
// Reading the opt-in members of "init": a member of the wrong type or out of range is
// logged and left out, as if the page had not sent it.

#include <json/value.h>

#include <cstdint>
#include <optional>

// Logs that the member was left out, with the value the page sent.
void LogIgnoredMember(const char* name, const Json::Value& value);

// The member as a whole number from low to high; nothing when it is missing or was
// left out (and logged).
std::optional<std::int64_t> BoundedMember(const Json::Value& config, const char* name, std::int64_t low,
                                          std::int64_t high);
