#pragma once
// Runs tests/support/receiver.py on a free loopback port for one test, with its own
// record folder, and reads back what it recorded.

#include "support/ChildProcess.h"

#include <json/reader.h>
#include <json/value.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include "TestPaths.h"

namespace TestSupport {

class TestReceiver {
public:
    explicit TestReceiver(std::vector<std::string> options = {}) : folder(MakeFolder())
    {
        std::vector<std::string> arguments = {"python3", TestPaths::SourceDir() + "/tests/support/receiver.py",
                                              "--record", folder.string(), "--exit-on-stdin-eof"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        process = std::make_unique<ChildProcess>(arguments);
        const auto line = process->ReadLine(std::chrono::seconds(20));
        if (!line || line->rfind("PORT ", 0) != 0)
            throw std::runtime_error("the test receiver did not start: " + process->Errors());
        port = std::stoi(line->substr(5));
    }
    ~TestReceiver()
    {
        process.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    int Port() const { return port; }
    // The address with an optional query that chooses the answer (status=, fault=,
    // reply=, delay=).
    std::string Url(const std::string& query = "") const
    {
        return "http://127.0.0.1:" + std::to_string(port) + "/upload" + (query.empty() ? "" : "?" + query);
    }
    std::wstring WideUrl(const std::string& query = "") const
    {
        const std::string url = Url(query);
        return std::wstring(url.begin(), url.end());
    }

    Json::Value Stats() const { return ReadJson(folder / "stats.json"); }
    int RequestCount() const { return Stats()["requests"].asInt(); }

    // Waits until count requests have been recorded in full.
    bool WaitForRecorded(int count, std::chrono::milliseconds limit = std::chrono::seconds(20)) const
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            int recorded = 0;
            for (int i = 0; i < count; ++i)
                recorded += std::filesystem::exists(Path(i, ".json")) ? 1 : 0;
            if (recorded == count)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    // Request number i (in arrival order) as it came off the wire.
    std::string RawRequest(int i) const
    {
        std::ifstream in(Path(i, ".bin"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The request line, headers and multipart parts as Python's email package read them.
    Json::Value Parsed(int i) const { return ReadJson(Path(i, ".json")); }

private:
    static std::filesystem::path MakeFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "trellan-receiver-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("no temporary folder");
        return pattern;
    }
    std::filesystem::path Path(int i, const char* suffix) const
    {
        char name[32];
        std::snprintf(name, sizeof name, "request-%04d%s", i, suffix);
        return folder / name;
    }
    static Json::Value ReadJson(const std::filesystem::path& path)
    {
        std::ifstream in(path);
        Json::Value value;
        Json::CharReaderBuilder builder;
        std::string errors;
        Json::parseFromStream(builder, in, &value, &errors);
        return value;
    }

    std::filesystem::path folder;
    std::unique_ptr<ChildProcess> process;
    int port = 0;
};

} // namespace TestSupport
