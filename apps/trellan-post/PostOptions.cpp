#include "PostOptions.h"

#include "Biz/AppConfig.h"
#include "Platform/Text/TextConv.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <limits>

using namespace Platform;

namespace {

const char* const kUsage =
    "usage: trellan-post --url URL [--field NAME=VALUE]... [--file-field NAME] [--cookie TEXT]\n"
    "                    [--encode-type NAME] [--name-gen ori|guid|crc|md5] [--threads N] [--insecure]\n"
    "                    [--send-original] [--max-width N] [--max-height N] [--jpeg-quality N] FILE...\n"
    "--insecure accepts https servers whose certificate is self-signed, expired or for another name.\n";

bool Fail(const std::string& message)
{
    std::cerr << "trellan-post: " << message << "\n" << kUsage;
    return false;
}

bool ParseNumber(const std::string& text, long low, long high, int& number)
{
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high)
        return false;
    number = static_cast<int>(value);
    return true;
}

bool Apply(PostOptions& options, const std::string& name, const std::string& value)
{
    if (name == "--url") {
        options.url = value;
    } else if (name == "--field") {
        const auto equals = value.find('=');
        if (equals == std::string::npos || equals == 0)
            return Fail("--field takes NAME=VALUE");
        options.fields[value.substr(0, equals)] = value.substr(equals + 1);
    } else if (name == "--file-field") {
        options.fileField = value;
    } else if (name == "--cookie") {
        options.cookie = value;
    } else if (name == "--encode-type") {
        options.encodeType = value;
    } else if (name == "--name-gen") {
        const char* const rules[] = {"ori", "guid", "crc", "md5"};
        if (std::find(std::begin(rules), std::end(rules), value) == std::end(rules))
            return Fail("--name-gen takes ori, guid, crc or md5");
        options.nameGen = value;
    } else if (name == "--threads") {
        if (!ParseNumber(value, 1, 10, options.threads))
            return Fail("--threads takes a number from 1 to 10");
    } else if (name == "--max-width" || name == "--max-height") {
        int& side = name == "--max-width" ? options.maxWidth : options.maxHeight;
        if (!ParseNumber(value, 1, std::numeric_limits<std::int32_t>::max(), side))
            return Fail(name + " takes a number of pixels from 1");
    } else if (name == "--jpeg-quality") {
        if (!ParseNumber(value, 1, 100, options.jpegQuality))
            return Fail("--jpeg-quality takes a number from 1 to 100");
    } else {
        return Fail("unknown option " + name);
    }
    return true;
}

} // namespace

std::optional<PostOptions> PostOptions::Parse(int argc, char** argv)
{
    PostOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--", 0) != 0) {
            options.files.push_back(argument);
            continue;
        }
        if (argument == "--insecure") {
            options.insecure = true;
            continue;
        }
        if (argument == "--send-original") {
            options.sendOriginal = true;
            continue;
        }
        if (i + 1 >= argc) {
            Fail(argument + " needs a value");
            return std::nullopt;
        }
        if (!Apply(options, argument, argv[++i]))
            return std::nullopt;
    }
    if (options.url.empty()) {
        Fail("--url is required");
        return std::nullopt;
    }
    if (options.files.empty()) {
        Fail("no files to send");
        return std::nullopt;
    }
    return options;
}

AppConfig PostOptions::MakeConfig() const
{
    AppConfig config;
    config.PostUrl = Utf8ToWide(url);
    config.Fields = fields;
    config.FileFieldName = fileField;
    config.Cookie = cookie;
    config.EncodeType = Utf8ToWide(encodeType);
    config.FileNameGen = nameGen;
    config.ThreadCount = threads;
    config.SendOriginal = sendOriginal;
    config.MaxWidth = maxWidth;
    config.MaxHeight = maxHeight;
    config.JpegQuality = jpegQuality;
    return config;
}
