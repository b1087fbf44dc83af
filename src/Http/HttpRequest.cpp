#include "Http/HttpRequest.h"

bool HttpRequest::Send(const std::wstring&, const std::wstring&, const std::wstring&)
{
    return true;
}

void HttpRequest::Abort() {}

void HttpRequest::SetBody(const std::uint8_t* data, std::int32_t length, std::int32_t fileBytes)
{
    body = data;
    bodyLength = length;
    fileLength = fileBytes;
}
