#include "Biz/UploadOptions.h"

#include "Biz/AppConfig.h"
#include "Biz/Log/Log.h"
#include "Platform/Text/JsonText.h"

#include <limits>

namespace {

void Ignored(const char* name, const Json::Value& value)
{
    Log::Instance().Warn(std::string("init member ignored: ") + name + " = " + value.toStyledString(),
                         "Biz\\UploadOptions", __LINE__);
}

// The member as a whole number from low to high; fallback when missing or unusable.
std::int32_t Bounded(const Json::Value& config, const char* name, std::int32_t fallback, std::int32_t low,
                     std::int32_t high)
{
    const Json::Value& value = Platform::JsonMember(config, name, Json::Value());
    if (value.isNull())
        return fallback;
    if (!value.isIntegral() || !value.isInt() || value.asInt() < low || value.asInt() > high) {
        Ignored(name, value);
        return fallback;
    }
    return value.asInt();
}

} // namespace

void ReadUploadOptions(const Json::Value& config, AppConfig& settings)
{
    const Json::Value& original = Platform::JsonMember(config, "SendOriginal", Json::Value());
    settings.SendOriginal = false;
    if (original.isBool())
        settings.SendOriginal = original.asBool();
    else if (!original.isNull())
        Ignored("SendOriginal", original);
    constexpr std::int32_t kMost = std::numeric_limits<std::int32_t>::max();
    settings.MaxWidth = Bounded(config, "MaxWidth", 0, 0, kMost);
    settings.MaxHeight = Bounded(config, "MaxHeight", 0, 0, kMost);
    settings.JpegQuality = Bounded(config, "JpegQuality", 100, 1, 100);
}
