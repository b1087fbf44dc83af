#include "Platform/Text/JsonText.h"

#include "Platform/Text/TextConv.h"

// The classic reader and writer are the ones whose behaviour pages and servers
// already see; JsonCpp marks them deprecated in favour of the builders.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <json/reader.h>
#include <json/writer.h>

namespace Platform {

bool ParseJson(const std::string& text, Json::Value& root)
{
    // The reader throws for nesting deeper than it allows; that is a parse failure too.
    try {
        // The pointer form parses in place; the string form copies the text first.
        Json::Reader reader;
        return reader.parse(text.data(), text.data() + text.size(), root, true);
    } catch (const std::exception&) {
        root = Json::Value();
        return false;
    }
}

const Json::Value& JsonMember(const Json::Value& object, std::string_view name, const Json::Value& fallback)
{
    const Json::Value* found = object.find(name.data(), name.data() + name.size());
    return found ? *found : fallback;
}

std::wstring JsonWideText(const Json::Value& value)
{
    const char* begin = nullptr;
    const char* end = nullptr;
    if (value.getString(&begin, &end))
        return Platform::Utf8ToWide(std::string_view(begin, static_cast<std::size_t>(end - begin)));
    return Platform::Utf8ToWide(value.asString());
}

namespace {

// The writer reads strings as UTF-8 without checking continuation bytes ("\xC3(" came
// out as "è", the parenthesis lost), so text from servers and scripts is checked first.
bool HoldsInvalidUtf8(const Json::Value& value)
{
    if (value.isString())
        return !Platform::IsValidUtf8(value.asString());
    if (value.isArray()) {
        for (const Json::Value& item : value) {
            if (HoldsInvalidUtf8(item))
                return true;
        }
    }
    if (value.isObject()) {
        for (auto member = value.begin(); member != value.end(); ++member) {
            if (!Platform::IsValidUtf8(member.name()) || HoldsInvalidUtf8(*member))
                return true;
        }
    }
    return false;
}

// A copy with each invalid UTF-8 sequence in strings and member names replaced by U+FFFD.
Json::Value WithValidUtf8(const Json::Value& value)
{
    if (value.isString())
        return Json::Value(Platform::ValidUtf8(value.asString()));
    if (value.isArray()) {
        Json::Value repaired(Json::arrayValue);
        for (const Json::Value& item : value)
            repaired.append(WithValidUtf8(item));
        return repaired;
    }
    if (value.isObject()) {
        Json::Value repaired(Json::objectValue);
        for (auto member = value.begin(); member != value.end(); ++member)
            repaired[Platform::ValidUtf8(member.name())] = WithValidUtf8(*member);
        return repaired;
    }
    return value;
}

} // namespace

std::string WriteJson(const Json::Value& value)
{
    Json::FastWriter writer;
    return HoldsInvalidUtf8(value) ? writer.write(WithValidUtf8(value)) : writer.write(value);
}
} // namespace Platform
#pragma GCC diagnostic pop
