#pragma once
// The user's log folder, $XDG_STATE_HOME/trellan/logs (~/.local/state/trellan/logs by
// default), where an untrusted caller's "LogFile" goes. Whatever path the caller names
// is reduced to its last component, and the file is opened there without following a
// link and only when it is a regular file, so a page can neither reach a file outside
// the folder nor make the open block on a FIFO.

#include <string>

class LogFolder {
public:
    // The folder's path; it may not exist yet.
    static std::string Path();
    // The last component of a path ("/a/b.log", "..\\b.log" and "b.log" give
    // "b.log"); empty for a name that cannot be a file of the folder ("", ".", "..",
    // a path ending in a separator, a name holding a NUL character).
    static std::string FileName(const std::string& requested);
    // Creates the folder when needed and opens the named file in it for writing,
    // created or emptied. Returns the descriptor, or -1 with errno set.
    static int OpenFile(const std::string& requested);
};
