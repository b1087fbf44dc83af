#pragma once
// Opening files by their wide path names (see PathToWide) without ever blocking:
// only regular files are opened. A FIFO named like a photo or a log would otherwise
// block the open until some other process opened its other end, and a device would
// give endless or unending data.

#include <cerrno>
#include <string>

namespace Platform {

// errno after a refused open of something that is not a regular file.
constexpr int kNotRegularFile = ENODEV;

// A descriptor for reading, or -1 with errno set (kNotRegularFile for FIFOs,
// directories, devices and sockets).
int OpenRegularFileForReading(const std::wstring& path);
// True when path names a regular file that can be written, or nothing yet (it can be
// created); false with errno set otherwise. Nothing is created or changed.
bool CanWriteRegularFile(const std::wstring& path);
// What went wrong, for messages: strerror's text, or "not a regular file".
std::string FileProblemText(int error);

} // namespace Platform
