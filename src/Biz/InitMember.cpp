#include "Biz/InitMember.h"

#include "Biz/Log/Log.h"
#include "Platform/Text/JsonText.h"

#include <string>

void LogIgnoredMember(const char* name, const Json::Value& value)
{
    Log::Instance().Warn(std::string("init member ignored: ") + name + " = " + value.toStyledString(),
                         "Biz\\InitMember", __LINE__);
}

std::optional<std::int64_t> BoundedMember(const Json::Value& config, const char* name, std::int64_t low,
                                          std::int64_t high)
{
    const Json::Value& value = Platform::JsonMember(config, name, Json::Value());
    if (value.isNull())
        return std::nullopt;
    if (!value.isIntegral() || !value.isInt64() || value.asInt64() < low || value.asInt64() > high) {
        LogIgnoredMember(name, value);
        return std::nullopt;
    }
    return value.asInt64();
}
