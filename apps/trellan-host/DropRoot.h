#pragma once
// The folder that holds the sessions' folders for dropped files.

#include <string>

// Makes root private to this user (mode 0700) or checks that it already is, then
// removes the session folders that hosts killed before they could clean up left
// there (folders of live hosts stay). False with the reason in error when root is
// not a folder of this user's own.
bool PrepareDropRoot(const std::string& root, std::string& error);
