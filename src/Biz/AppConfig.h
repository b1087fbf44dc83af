#pragma once
// The process-wide configuration the page fills through "init", "setFields" and
// "setFolder". Written only on the control's thread; an upload task works on a copy
// taken when it starts, so a page changing settings mid-task never races it.

#include "Biz/UiLanguage.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class AppConfig {
public:
    AppConfig() = default;
    AppConfig(const AppConfig&) = default;
    AppConfig& operator=(const AppConfig&) = default;
    virtual ~AppConfig() = default;

    static AppConfig& Instance();

    bool IsFilesLimitReached(std::int64_t count) const { return count >= MaxFiles; }
    bool IsFileTooLarge(std::int64_t size) const { return MaxFileSize > 0 && size > MaxFileSize; }
    const std::wstring& GetFolderPath() const { return FolderPath; }
    void SetFolderPath(const std::wstring& path) { FolderPath = path; }

    std::int32_t MaxFiles = 300;
    std::int64_t MaxFileSize = 0;
    // The page chose MaxFiles: then its own "addFile" keeps to it as well, which it
    // otherwise does not (a page decides what it adds).
    bool PageChoseMaxFiles = false;
    // The extensions every way of adding takes, each as ".jpg"; empty: each way keeps
    // its own picture types.
    std::vector<std::wstring> AllowedTypes;
    // The page receives per-file events as they happen.
    bool Events = false;
    // The page has sent one of the members above (or the retry members): it gets the
    // view's upload feedback too, a failed tile's band and the overall progress. A
    // page that sends none of them sees the view as it always was.
    bool ShowUploadFeedback = false;
    // How often a file is sent again after a failure worth retrying, and the waits
    // before each new attempt (the last one repeats).
    std::int32_t RetryCount = 0;
    std::vector<std::int32_t> RetryDelays{1000, 3000, 5000};
    std::int32_t ThreadCount = 3;
    std::string Cookie;
    std::wstring PostUrl;
    std::wstring EncodeType = L"UTF-8";
    std::string FileFieldName = "file";
    std::string FileNameGen = "ori";
    std::wstring FolderPath;
    std::map<std::string, std::string> Fields;
    // A photo the user did not change goes out as its file's own bytes.
    bool SendOriginal = false;
    // The box a photo is scaled down to fit before upload; 0 on a side: no limit.
    std::int32_t MaxWidth = 0;
    std::int32_t MaxHeight = 0;
    // JPEG encoding quality, 1 to 100.
    std::int32_t JpegQuality = 100;
    // The language of every text the interface shows.
    UiLanguage Language = UiLanguage::Chinese;

    // Who calls the control, as its container says (through object safety and the
    // site), never a page command: a page's script is an untrusted caller, and then
    // PageOrigin is the page's origin (empty when the container gave none).
    bool UntrustedCaller = false;
    std::string PageOrigin;
};
