#pragma once
// Decides whether a file may join the upload list, by the page's restrictions
// (MaxFiles, MaxFileSize, AllowedTypes) and the picture rule of the way it comes in,
// and tells listeners about each file it refuses, with a stable reason code:
// "type", "unreadable", "not_regular", "too_many" or "too_large". The control's
// thread only: it reads the configuration the page writes there.

#include "Imaging/PictureTypes.h"
#include "Platform/Signal.h"

#include <cstdint>
#include <string>

class FileAdmission {
public:
    static FileAdmission& Instance();

    // Why the file is refused, empty when it may be added. count: the tiles the list
    // holds now; size: the file's size in bytes, or negative to have it measured.
    std::string Refusal(const std::wstring& path, PictureRule rule, int count, std::int64_t size = -1) const;
    // The same, and a refusal is reported through refused. True when the file may be added.
    bool Admit(const std::wstring& path, PictureRule rule, int count, std::int64_t size = -1);
    // Reports a file refused for reason.
    void Refuse(const std::wstring& path, const std::string& reason);

    // (path, reason) of every refused file, raised on the control's thread.
    Platform::Signal<void(const std::wstring&, const std::string&)> refused;

private:
    FileAdmission() = default;
};
