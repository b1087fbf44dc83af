#include "Biz/UploadOptions.h"

#include "Biz/AppConfig.h"
#include "Biz/InitMember.h"
#include "Platform/Text/JsonText.h"

#include <limits>

namespace {

std::int32_t Bounded(const Json::Value& config, const char* name, std::int32_t fallback, std::int32_t low,
                     std::int32_t high)
{
    return static_cast<std::int32_t>(BoundedMember(config, name, low, high).value_or(fallback));
}

} // namespace

void ReadUploadOptions(const Json::Value& config, AppConfig& settings)
{
    const Json::Value& original = Platform::JsonMember(config, "SendOriginal", Json::Value());
    settings.SendOriginal = false;
    if (original.isBool())
        settings.SendOriginal = original.asBool();
    else if (!original.isNull())
        LogIgnoredMember("SendOriginal", original);
    constexpr std::int32_t kMost = std::numeric_limits<std::int32_t>::max();
    settings.MaxWidth = Bounded(config, "MaxWidth", 0, 0, kMost);
    settings.MaxHeight = Bounded(config, "MaxHeight", 0, 0, kMost);
    settings.JpegQuality = Bounded(config, "JpegQuality", 100, 1, 100);
}
