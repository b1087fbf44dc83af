#pragma once
// Where trellan-host keeps the files pages drop on their sessions: one private folder
// per session under $XDG_RUNTIME_DIR/trellan, or, when that folder is not set or does
// not exist, under trellan-UID in $TMPDIR (or /tmp). The file-add dialog never offers anything there,
// so one page's dropped files are not shown in another page's session.

#include <string>

namespace Platform {

// The folder's path; it need not exist.
std::string DroppedFilesRoot();
// True when path (followed through links) is the folder or lies inside it.
bool IsInDroppedFilesRoot(const std::string& path);

} // namespace Platform
