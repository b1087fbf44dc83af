#pragma once
// The commands of trellan-picture. Each returns the process exit status and writes
// its messages to standard error.

#include <string>
#include <vector>

int RunInfo(const std::vector<std::string>& files);
int RunThumbnail(int boxWidth, int boxHeight, const std::string& input, const std::string& output);
int RunEncode(const std::string& formatName, const std::string& input, const std::string& output);
