#include "Http/MimeTypes.h"

#include <map>

namespace {

const std::map<std::string, std::string>& MimeTable()
{
    static const std::map<std::string, std::string> table = {
        {".jfif", "image/jpeg"},
        {".jpe", "image/jpeg"},
        {".jpg", "image/jpeg"},
        {".jpeg", "image/jpeg"},
        {".png", "image/png"},
        {".gif", "image/gif"},
        {".tif", "image/tiff"},
        {".tiff", "image/tiff"},
        {".heic", "image/heic"},
        {".heif", "image/heif"},
        {".avif", "image/avif"},
        {".webp", "image/webp"},
        {".bmp", "application/x-bmp"},
        {".wbmp", "application/vnd.wap.wbmp"},
        {".ico", "image/x-icon"},
        {".fax", "image/fax"},
        {".rp", "image/vnd.rn-realpix"},
        {".net", "image/pnetvue"},
        {".wsdl", "text/xml"},
        {".xdr", "text/xml"},
        {".xml", "text/xml"},
        {".xq", "text/xml"},
        {".xql", "text/xml"},
        {".xquery", "text/xml"},
        {".xsd", "text/xml"},
        {".xsl", "text/xml"},
        {".xslt", "text/xml"},
        {".vxml", "text/xml"},
        {".tsd", "text/xml"},
        {".xhtml", "text/html"},
        {".jsp", "text/html"},
        {".html", "text/html"},
        {".htm", "text/html"},
        {".wml", "text/vnd.wap.wml"},
        {".wsc", "text/scriptlet"},
        {".css", "text/css"},
        {".asp", "text/asp"},
        {".txt", "text/plain"},
        {".js", "text/x-javascript"},
        {".mp1", "audio/mp1"},
        {".mp2", "audio/mp2"},
        {".mp3", "audio/mp3"},
        {".mp4", "video/mpeg4"},
        {".mpeg", "video/mpg"},
        {".mpga", "video/n-mpeg"},
        {".m2v", "video/x-mpeg"},
        {".mi", "video/mid"},
        {".mid", "video/mid"},
        {".midi", "video/mid"},
        {".mm", "video/x-pn-realaudio"},
        {".ram", "video/x-pn-realaudio"},
        {".rpm", "video/x-pn-realaudio-plugin"},
        {".ra", "video/vnd.rn-realaudio"},
        {".mnd", "video/x-musicnet-download"},
        {".mns", "video/x-musicnet-stream"},
        {".la1", "video/x-liquid-file"},
        {".lavs", "video/x-liquid-secure"},
        {".lmsff", "video/x-la-lms"},
        {".pls", "video/scpls"},
        {".snd", "video/basic"},
        {".wav", "video/wav"},
        {".wax", "video/x-ms-wax"},
        {".wam", "video/x-ms-wma"},
        {".m3u", "video/mpegurl"},
    };
    return table;
}

} // namespace

std::string FindNameExtension(const std::string& name)
{
    std::string::size_type dot = std::string::npos;
    for (std::string::size_type i = 0; i < name.size(); ++i) {
        if (name[i] == '.')
            dot = i;
        else if (name[i] == ' ' || name[i] == '\\')
            dot = std::string::npos;
    }
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string LookupMimeType(const std::string& extension)
{
    const auto& table = MimeTable();
    auto found = table.find(extension);
    return found == table.end() ? "application/octet-stream" : found->second;
}
