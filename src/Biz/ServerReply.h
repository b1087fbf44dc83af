#pragma once
// Judges a server's reply to an upload. The reply must be a JSON object whose member
// "success", read as a 32-bit integer (a real number truncated, true as 1, null or
// missing as 0), equals 1. Anything else is a failure and never throws.

#include <json/value.h>

#include <string>

// True when the upload succeeded. svr becomes the parsed reply whenever the text
// parses as JSON (also when the upload failed), and keeps its value otherwise.
bool JudgeReply(const std::string& text, Json::Value& svr);
