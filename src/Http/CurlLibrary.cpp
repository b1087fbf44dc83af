#include "Http/CurlLibrary.h"

#include "Platform/Module/SharedLibrary.h"

using namespace Platform;

namespace {

const CurlLibrary* Load()
{
    SharedLibrary library;
    if (!library.Open(TRELLAN_CURL_SONAME))
        return nullptr;
    static CurlLibrary curl;
    const bool bound =
        library.Bind("curl_easy_init", curl.easy_init) && library.Bind("curl_easy_cleanup", curl.easy_cleanup) &&
        library.Bind("curl_easy_setopt", curl.easy_setopt) && library.Bind("curl_easy_getinfo", curl.easy_getinfo) &&
        library.Bind("curl_multi_init", curl.multi_init) && library.Bind("curl_multi_cleanup", curl.multi_cleanup) &&
        library.Bind("curl_multi_add_handle", curl.multi_add_handle) &&
        library.Bind("curl_multi_remove_handle", curl.multi_remove_handle) &&
        library.Bind("curl_multi_perform", curl.multi_perform) && library.Bind("curl_multi_poll", curl.multi_poll) &&
        library.Bind("curl_multi_info_read", curl.multi_info_read) &&
        library.Bind("curl_slist_append", curl.slist_append) &&
        library.Bind("curl_slist_free_all", curl.slist_free_all) && library.Bind("curl_url", curl.url) &&
        library.Bind("curl_url_cleanup", curl.url_cleanup) && library.Bind("curl_url_set", curl.url_set) &&
        library.Bind("curl_url_get", curl.url_get) && library.Bind("curl_free", curl.free);
    // libcurl's own dependencies are searched too: OpenSSL is one of them when it is
    // the TLS library libcurl was built with.
    library.Bind("SSL_CTX_set_verify", curl.ssl_ctx_set_verify);
    library.Bind("X509_STORE_CTX_get_error", curl.x509_store_ctx_get_error);
    decltype(&::curl_global_init) globalInit = nullptr;
    if (!bound || !library.Bind("curl_global_init", globalInit) || globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK)
        return nullptr;
    return &curl;
}

} // namespace

const CurlLibrary* CurlLibrary::Get()
{
    static const CurlLibrary* const loaded = Load();
    return loaded;
}
