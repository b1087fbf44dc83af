#include "DemoReceiver.h"

#include <json/value.h>
#include <json/writer.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

std::string Write(const Json::Value& value)
{
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    return Json::writeString(builder, value);
}

DemoReceiver::Reply Refuse(const std::string& reason, int status = 400)
{
    Json::Value reply;
    reply["success"] = 0;
    reply["error"] = reason;
    return {status, Write(reply)};
}

// The value of a parameter such as boundary="x" or filename="a.jpg" in a header value.
std::string Parameter(std::string_view header, std::string_view name)
{
    const std::string key = std::string(name) + "=";
    for (std::size_t at = header.find(key); at != std::string_view::npos; at = header.find(key, at + 1)) {
        if (at > 0 && header[at - 1] != ' ' && header[at - 1] != ';')
            continue;
        std::string_view value = header.substr(at + key.size());
        if (!value.empty() && value.front() == '"') {
            const auto close = value.find('"', 1);
            return close == std::string_view::npos ? std::string() : std::string(value.substr(1, close - 1));
        }
        return std::string(value.substr(0, value.find_first_of("; \r")));
    }
    return {};
}

// A stored file's name: the last part of what the client sent, never a path.
std::string SafeName(std::string_view sent)
{
    const auto slash = sent.find_last_of("/\\");
    std::string name(slash == std::string_view::npos ? sent : sent.substr(slash + 1));
    name.erase(std::remove_if(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }),
               name.end());
    if (name.empty() || name == "." || name == "..")
        return "upload";
    return name.substr(0, 200);
}

} // namespace

DemoReceiver::DemoReceiver(std::string demoFolder) : folder(std::move(demoFolder)) {}

std::string DemoReceiver::Store(std::string_view fileName, std::string_view content)
{
    const fs::path uploads = fs::path(folder) / "uploads";
    std::error_code error;
    fs::create_directories(uploads, error);
    const fs::path wanted(SafeName(fileName));
    fs::path target = uploads / wanted;
    for (int copy = 2; fs::exists(target); ++copy)
        target = uploads / (wanted.stem().string() + "-" + std::to_string(copy) + wanted.extension().string());
    std::ofstream file(target, std::ios::binary);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    return file ? target.filename().string() : std::string();
}

DemoReceiver::Reply DemoReceiver::Receive(std::string_view contentType, std::string_view body)
{
    if (contentType.find("multipart/form-data") == std::string_view::npos)
        return Refuse("expected multipart/form-data");
    const std::string boundary = Parameter(contentType, "boundary");
    if (boundary.empty())
        return Refuse("the Content-Type names no boundary");
    const std::string delimiter = "--" + boundary;
    const std::string separator = "\r\n" + delimiter;

    Json::Value files(Json::arrayValue);
    Json::Value fields(Json::objectValue);
    std::size_t at = body.find(delimiter);
    if (at == std::string_view::npos)
        return Refuse("the body holds no part");
    while (true) {
        at += delimiter.size();
        if (body.substr(at, 2) == "--")
            break;
        const auto headersEnd = body.find("\r\n\r\n", at);
        const auto next = body.find(separator, at);
        if (headersEnd == std::string_view::npos || next == std::string_view::npos || headersEnd > next)
            return Refuse("a part is cut short");
        const std::string_view headers = body.substr(at, headersEnd - at);
        const std::string_view content = body.substr(headersEnd + 4, next - headersEnd - 4);
        const std::string name = Parameter(headers, "name");
        if (headers.find("filename=") != std::string_view::npos) {
            const std::string stored = Store(Parameter(headers, "filename"), content);
            if (stored.empty())
                return Refuse("cannot store the file", 500);
            Json::Value file;
            file["field"] = name;
            file["name"] = stored;
            file["size"] = static_cast<Json::UInt64>(content.size());
            files.append(file);
        } else {
            fields[name] = std::string(content);
        }
        at = next + 2;
    }
    Json::Value reply;
    reply["success"] = 1;
    reply["files"] = files;
    reply["fields"] = fields;
    return {200, Write(reply)};
}

std::string DemoReceiver::Samples() const
{
    Json::Value paths(Json::arrayValue);
    std::error_code error;
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(fs::path(folder) / "samples", error)) {
        const std::string extension = entry.path().extension().string();
        if (entry.is_regular_file() &&
            (extension == ".jpg" || extension == ".png" || extension == ".gif" || extension == ".bmp"))
            found.push_back(fs::absolute(entry.path()).string());
    }
    std::sort(found.begin(), found.end());
    for (const std::string& path : found)
        paths.append(path);
    return Write(paths);
}
