#include "PageFunction.h"

#include "Platform/Text/JsonText.h"

#include <cstdio>

PageFunction::PageFunction(std::string label, EventLog& events) : label(std::move(label)), events(events) {}

void PageFunction::Receive(const std::string& text)
{
    if (!label.empty())
        std::fputs((label + " ").c_str(), stdout);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);

    Json::Value event;
    if (Platform::ParseJson(text, event) && event.isObject() && event["name"].isString())
        events.push_back(event["name"].asString());
}
