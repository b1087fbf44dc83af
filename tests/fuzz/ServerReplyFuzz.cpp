// Server replies as arbitrary bytes: the reply body through the text collector and the
// judge, and the same bytes as raw reply headers. Nothing may crash, hang or throw.

#include "Biz/ServerReply.h"
#include "Http/ResponseHeaders.h"
#include "Http/ResponseText.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    ResponseText text;
    text.Append(bytes.data(), bytes.size());
    Json::Value svr;
    JudgeReply(text.Text(), svr);
    JudgeReply(bytes, svr);
    ParseResponseHeaders(bytes);
    return 0;
}
