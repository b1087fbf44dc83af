#include "Platform/Com/RegistryFile.h"

#include "Platform/Text/TextConv.h"

#include <json/reader.h>
#include <json/writer.h>

#include <memory>

namespace Platform {

namespace {

constexpr const char* kFormat = "trellan-registry";
constexpr int kVersion = 1;

Json::Value KeyToJson(const RegistryKey& key)
{
    Json::Value result(Json::objectValue);
    if (!key.values().empty()) {
        Json::Value& values = result["values"] = Json::Value(Json::objectValue);
        for (const auto& [name, value] : key.values()) {
            if (const auto* text = std::get_if<std::wstring>(&value))
                values[WideToUtf8(name)] = WideToUtf8(*text);
            else
                values[WideToUtf8(name)] = Json::UInt(std::get<DWORD>(value));
        }
    }
    if (!key.subkeys().empty()) {
        Json::Value& keys = result["keys"] = Json::Value(Json::objectValue);
        for (const auto& [name, child] : key.subkeys())
            keys[WideToUtf8(name)] = KeyToJson(child);
    }
    return result;
}

bool KeyFromJson(const Json::Value& json, RegistryKey& key)
{
    if (!json.isObject())
        return false;
    const Json::Value& values = json["values"];
    const Json::Value& keys = json["keys"];
    if ((!values.isNull() && !values.isObject()) || (!keys.isNull() && !keys.isObject()))
        return false;
    for (const std::string& name : values.getMemberNames()) {
        const Json::Value& value = values[name];
        if (value.isString())
            key.SetValue(Utf8ToWide(name), Utf8ToWide(value.asString()));
        else if (value.isUInt())
            key.SetValue(Utf8ToWide(name), DWORD(value.asUInt()));
        else
            return false;
    }
    for (const std::string& name : keys.getMemberNames()) {
        const std::wstring wide = Utf8ToWide(name);
        if (!RegistryKey::ValidName(wide) || key.Find(wide))
            return false;
        if (!KeyFromJson(keys[name], *key.Create(wide)))
            return false;
    }
    return true;
}

} // namespace

std::string WriteRegistryFile(const RegistryKey& root)
{
    Json::Value file(Json::objectValue);
    file["format"] = kFormat;
    file["version"] = kVersion;
    file["root"] = KeyToJson(root);
    Json::StreamWriterBuilder builder;
    builder["indentation"] = " ";
    builder["emitUTF8"] = true;
    return Json::writeString(builder, file) + "\n";
}

std::optional<RegistryKey> ParseRegistryFile(std::string_view text)
{
    Json::CharReaderBuilder builder;
    builder["failIfExtra"] = true;
    builder["rejectDupKeys"] = true;
    builder["stackLimit"] = 256;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value file;
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &file, &errors) || !file.isObject())
        return std::nullopt;
    if (file["format"] != kFormat || file["version"] != kVersion)
        return std::nullopt;
    RegistryKey root;
    if (!KeyFromJson(file["root"], root))
        return std::nullopt;
    return root;
}

} // namespace Platform
