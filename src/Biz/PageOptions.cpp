#include "Biz/PageOptions.h"

#include "Biz/AppConfig.h"
#include "Biz/InitMember.h"
#include "Imaging/PictureTypes.h"
#include "Platform/Text/JsonText.h"

#include <boost/algorithm/string/case_conv.hpp>

#include <optional>

namespace {

constexpr std::int64_t kMostFiles = 10000;
// Past the largest size a JSON number keeps exactly, a limit would mean something else.
constexpr std::int64_t kMostBytes = std::int64_t{1} << 53;
constexpr std::int64_t kMostRetries = 100;
constexpr std::int64_t kLongestDelay = 600000;
constexpr Json::ArrayIndex kMostDelays = 100;

// ".jpg" for "jpg", ".JPG" or ".jpg"; nothing for a type the control cannot read.
std::optional<std::wstring> PictureExtension(const Json::Value& entry)
{
    if (!entry.isString())
        return std::nullopt;
    std::wstring extension = Platform::JsonWideText(entry);
    if (extension.empty() || extension.front() != L'.')
        extension.insert(extension.begin(), L'.');
    boost::algorithm::to_lower(extension);
    if (!IsPictureType(extension))
        return std::nullopt;
    return extension;
}

void ReadAllowedTypes(const Json::Value& config, AppConfig& settings)
{
    const Json::Value& types = Platform::JsonMember(config, "AllowedTypes", Json::Value());
    if (types.isNull())
        return;
    std::vector<std::wstring> allowed;
    bool usable = types.isArray() && !types.empty();
    for (Json::ArrayIndex i = 0; usable && i < types.size(); ++i) {
        const std::optional<std::wstring> extension = PictureExtension(types[i]);
        usable = extension.has_value();
        if (usable)
            allowed.push_back(*extension);
    }
    if (!usable) {
        LogIgnoredMember("AllowedTypes", types);
        return;
    }
    settings.AllowedTypes = std::move(allowed);
}

bool ReadFlag(const Json::Value& config, const char* name)
{
    const Json::Value& value = Platform::JsonMember(config, name, Json::Value());
    if (value.isBool())
        return value.asBool();
    if (!value.isNull())
        LogIgnoredMember(name, value);
    return false;
}

void ReadRetryDelays(const Json::Value& config, AppConfig& settings)
{
    settings.RetryDelays = AppConfig().RetryDelays;
    const Json::Value& delays = Platform::JsonMember(config, "RetryDelays", Json::Value());
    if (delays.isNull())
        return;
    std::vector<std::int32_t> read;
    bool usable = delays.isArray() && !delays.empty() && delays.size() <= kMostDelays;
    for (Json::ArrayIndex i = 0; usable && i < delays.size(); ++i) {
        const Json::Value& delay = delays[i];
        usable = delay.isIntegral() && delay.isInt64() && delay.asInt64() >= 0 && delay.asInt64() <= kLongestDelay;
        if (usable)
            read.push_back(static_cast<std::int32_t>(delay.asInt64()));
    }
    if (!usable) {
        LogIgnoredMember("RetryDelays", delays);
        return;
    }
    settings.RetryDelays = std::move(read);
}

} // namespace

void ReadPageOptions(const Json::Value& config, AppConfig& settings)
{
    for (const char* name : {"MaxFiles", "MaxFileSize", "AllowedTypes", "Events", "RetryCount", "RetryDelays"})
        if (!Platform::JsonMember(config, name, Json::Value()).isNull())
            settings.ShowUploadFeedback = true;
    if (const std::optional<std::int64_t> most = BoundedMember(config, "MaxFiles", 1, kMostFiles)) {
        settings.MaxFiles = static_cast<std::int32_t>(*most);
        settings.PageChoseMaxFiles = true;
    }
    if (const std::optional<std::int64_t> largest = BoundedMember(config, "MaxFileSize", 0, kMostBytes))
        settings.MaxFileSize = *largest;
    ReadAllowedTypes(config, settings);
    settings.Events = ReadFlag(config, "Events");
    settings.RetryCount = static_cast<std::int32_t>(BoundedMember(config, "RetryCount", 0, kMostRetries).value_or(0));
    ReadRetryDelays(config, settings);
}
