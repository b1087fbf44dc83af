#include "Biz/ServerReply.h"

#include "Platform/Text/JsonText.h"

#include <cmath>
#include <exception>
#include <limits>
#include <optional>

namespace {

// "success" as a 32-bit integer; nothing when it cannot be read as one.
std::optional<std::int32_t> SuccessCode(const Json::Value& success)
{
    if (success.isNull())
        return 0;
    if (success.isBool())
        return success.asBool() ? 1 : 0;
    if (success.isInt())
        return success.asInt();
    if (success.isDouble()) {
        const double truncated = std::trunc(success.asDouble());
        if (truncated >= std::numeric_limits<std::int32_t>::min() &&
            truncated <= std::numeric_limits<std::int32_t>::max())
            return static_cast<std::int32_t>(truncated);
    }
    return std::nullopt;
}

} // namespace

bool JudgeReply(const std::string& text, Json::Value& svr)
{
    Json::Value root;
    // The reader throws on some input (nesting beyond its depth limit); that reply
    // simply does not parse.
    try {
        if (!Platform::ParseJson(text, root))
            return false;
    } catch (const std::exception&) {
        return false;
    }
    svr = root;
    if (!root.isObject())
        return false;
    return SuccessCode(root.get("success", Json::Value())) == 1;
}
