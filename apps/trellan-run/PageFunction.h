#pragma once
// The page's function as trellan-run plays it: every text it receives is written to
// standard output (after its label, when it has one) and its event name is noted so
// that the script can wait for it.

#include "Platform/Com/TextFunction.h"

#include <deque>
#include <string>

class PageFunction final : public Platform::TextFunction {
public:
    // Names of received events that no wait has consumed yet; shared by all functions.
    using EventLog = std::deque<std::string>;

    PageFunction(std::string label, EventLog& events);

private:
    ~PageFunction() override = default;
    void Receive(const std::string& text) override;

    std::string label;
    EventLog& events;
};
