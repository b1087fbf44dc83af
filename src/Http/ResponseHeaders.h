#pragma once
// The reply's header lines as a map: each line is split at every colon and the text
// between the first and the second colon is the value (leading space kept). The
// first line of a name wins; lines without a colon (the status line) are skipped.

#include <map>
#include <string>

std::map<std::string, std::string> ParseResponseHeaders(const std::string& rawHeaders);
