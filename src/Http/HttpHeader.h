#pragma once
// The request header lines of an upload and the multipart boundary. Entries are kept
// in byte order of their names, which is the order they are written in.

#include <map>
#include <string>

class HttpHeader {
public:
    static const std::string& Boundary();

    HttpHeader();
    virtual ~HttpHeader() = default;

    // An empty value changes nothing; otherwise the value, without carriage returns
    // and line feeds, replaces or adds the entry.
    void SetHeader(const std::string& name, const std::string& value);
    // "Name: value" CRLF for every entry, without a closing blank line.
    std::string GetHeaderText() const;

    const std::string& GetBoundary() const { return boundary; }
    // The boundary the body uses, in the Content-Type entry too.
    void SetBoundary(const std::string& value);

private:
    std::string boundary;
    std::string contentType = "multipart/form-data";
    std::map<std::string, std::string> headers;
};
