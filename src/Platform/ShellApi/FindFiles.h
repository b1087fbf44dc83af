#pragma once
// Searching a folder: the entries whose names match a pattern ("*" any run, "?" one
// character; "*.*" matches every name), with their attributes, sizes and times.
// A name that starts with a dot is hidden; anything that is neither a folder nor a
// regular file (a FIFO, a device, a socket, a broken link) is marked system, so that
// callers that skip system entries never open one.

#include "Platform/ShellApi/ShellTypes.h"

namespace Platform {

// pattern is a folder and a name pattern, "/home/a/photos/*.*". The first entry, and
// a handle for the next ones; INVALID_HANDLE_VALUE when the folder cannot be read or
// nothing matches.
HANDLE FindFirstFileW(const wchar_t* pattern, WIN32_FIND_DATAW* data);
// FALSE when no entry is left.
BOOL FindNextFileW(HANDLE search, WIN32_FIND_DATAW* data);
BOOL FindClose(HANDLE search);

} // namespace Platform
