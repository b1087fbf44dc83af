#include "Http/HttpHeader.h"

#include <algorithm>
#include <iterator>

const std::string& HttpHeader::Boundary()
{
    static const std::string boundary = "---------------------------7da1d41060a1a";
    return boundary;
}

HttpHeader::HttpHeader()
{
    SetBoundary(Boundary());
    headers["Accept"] = "*/*";
}

void HttpHeader::SetBoundary(const std::string& value)
{
    boundary = value;
    headers["Content-Type"] = contentType + "; boundary=" + boundary;
}

void HttpHeader::SetHeader(const std::string& name, const std::string& value)
{
    // A line break inside a value would let it start header lines of its own.
    std::string kept;
    std::remove_copy_if(value.begin(), value.end(), std::back_inserter(kept),
                        [](char c) { return c == '\r' || c == '\n'; });
    if (kept.empty())
        return;
    headers[name] = kept;
}

std::string HttpHeader::GetHeaderText() const
{
    std::string text;
    for (const auto& [name, value] : headers)
        text += name + ": " + value + "\r\n";
    return text;
}
