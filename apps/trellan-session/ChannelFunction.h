#pragma once
// The page's recvMessage function as the session plays it: each text the control sends
// goes to the page as {"t":"event","text":...}, in order.

#include "Platform/Com/TextFunction.h"

namespace Platform::Web {
class WebChannel;
}

class ChannelFunction final : public Platform::TextFunction {
public:
    explicit ChannelFunction(Platform::Web::WebChannel& channel) : channel(channel) {}

private:
    ~ChannelFunction() override = default;
    void Receive(const std::string& text) override;

    Platform::Web::WebChannel& channel;
};
