#include "Platform/Web/WebJson.h"

#include <json/reader.h>
#include <json/writer.h>

#include <memory>

namespace Platform::Web {

std::string CompactJson(const Json::Value& value)
{
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    builder["emitUTF8"] = true;
    return Json::writeString(builder, value);
}

bool ParseMessage(std::string_view text, Json::Value& message)
{
    Json::CharReaderBuilder builder;
    Json::CharReaderBuilder::strictMode(&builder.settings_);
    builder["stackLimit"] = 20;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    try {
        return reader->parse(text.data(), text.data() + text.size(), &message, &errors) && message.isObject();
    } catch (const std::exception&) {
        return false;
    }
}

int IntMember(const Json::Value& message, const char* name, int low, int high, int fallback)
{
    const Json::Value& value = message[name];
    if (!value.isInt())
        return fallback;
    const int number = value.asInt();
    return number < low || number > high ? fallback : number;
}

double NumberMember(const Json::Value& message, const char* name, double low, double high, double fallback)
{
    const Json::Value& value = message[name];
    if (!value.isNumeric())
        return fallback;
    const double number = value.asDouble();
    return number >= low && number <= high ? number : fallback;
}

} // namespace Platform::Web
