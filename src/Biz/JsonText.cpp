#include "Biz/JsonText.h"

// The classic reader and writer are the ones whose behaviour pages and servers
// already see; JsonCpp marks them deprecated in favour of the builders.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <json/reader.h>
#include <json/writer.h>

bool ParseJson(const std::string& text, Json::Value& root)
{
    // The reader throws for nesting deeper than it allows; that is a parse failure too.
    try {
        Json::Reader reader;
        return reader.parse(text, root, true);
    } catch (const std::exception&) {
        root = Json::Value();
        return false;
    }
}

std::string WriteJson(const Json::Value& value)
{
    Json::FastWriter writer;
    return writer.write(value);
}
#pragma GCC diagnostic pop
