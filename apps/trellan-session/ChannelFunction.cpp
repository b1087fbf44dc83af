#include "ChannelFunction.h"

#include "Platform/Web/WebChannel.h"
#include "Platform/Web/WebJson.h"

void ChannelFunction::Receive(const std::string& text)
{
    Json::Value message;
    message["t"] = "event";
    message["text"] = text;
    channel.Send(Platform::Web::FrameKind::Text, Platform::Web::CompactJson(message));
}
