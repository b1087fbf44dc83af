#include "Biz/FileAdmission.h"

#include "Biz/AppConfig.h"
#include "Platform/ShellApi/PathFunctions.h"
#include "Platform/ShellApi/StringCompare.h"
#include "Platform/Text/TextConv.h"

#include <algorithm>
#include <filesystem>

using namespace Platform;

namespace {

bool HasAllowedType(const std::wstring& path, PictureRule rule, const AppConfig& config)
{
    if (config.AllowedTypes.empty())
        return HasPictureType(path, rule);
    const std::wstring extension = PathFindExtensionW(path.c_str());
    return std::any_of(config.AllowedTypes.begin(), config.AllowedTypes.end(),
                       [&](const std::wstring& allowed) { return StrCmpIW(extension.c_str(), allowed.c_str()) == 0; });
}

std::int64_t MeasuredSize(const std::wstring& path)
{
    std::error_code failed;
    const std::uintmax_t size = std::filesystem::file_size(WideToPath(path), failed);
    return failed ? 0 : static_cast<std::int64_t>(size);
}

// The page's own additions keep to MaxFiles only when the page chose it.
bool CountLimited(PictureRule rule, const AppConfig& config)
{
    return rule != PictureRule::PageAdd || config.PageChoseMaxFiles;
}

} // namespace

FileAdmission& FileAdmission::Instance()
{
    static FileAdmission* instance = new FileAdmission();
    return *instance;
}

std::string FileAdmission::Refusal(const std::wstring& path, PictureRule rule, int count, std::int64_t size) const
{
    const AppConfig& config = AppConfig::Instance();
    if (path.empty() || !HasAllowedType(path, rule, config))
        return "type";
    if (!NamesPictureFile(path, rule))
        return PathFileExistsW(path.c_str()) ? "not_regular" : "unreadable";
    if (CountLimited(rule, config) && config.IsFilesLimitReached(count))
        return "too_many";
    if (config.MaxFileSize > 0 && config.IsFileTooLarge(size < 0 ? MeasuredSize(path) : size))
        return "too_large";
    return {};
}

bool FileAdmission::Admit(const std::wstring& path, PictureRule rule, int count, std::int64_t size)
{
    const std::string reason = Refusal(path, rule, count, size);
    if (!reason.empty())
        Refuse(path, reason);
    return reason.empty();
}

void FileAdmission::Refuse(const std::wstring& path, const std::string& reason)
{
    refused(path, reason);
}
