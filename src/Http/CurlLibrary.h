#pragma once
// libcurl, loaded the first time a transfer needs it. Linking it would load the
// network stack (libcurl and some thirty libraries behind it) into every program
// using the module at start-up, uploads or not; loaded here, it costs only the
// programs that send.

#include <curl/curl.h>

struct ssl_ctx_st;
struct x509_store_ctx_st;

struct CurlLibrary {
    decltype(&::curl_easy_init) easy_init;
    decltype(&::curl_easy_cleanup) easy_cleanup;
    decltype(&::curl_easy_setopt) easy_setopt;
    decltype(&::curl_easy_getinfo) easy_getinfo;
    decltype(&::curl_multi_init) multi_init;
    decltype(&::curl_multi_cleanup) multi_cleanup;
    decltype(&::curl_multi_add_handle) multi_add_handle;
    decltype(&::curl_multi_remove_handle) multi_remove_handle;
    decltype(&::curl_multi_perform) multi_perform;
    decltype(&::curl_multi_poll) multi_poll;
    decltype(&::curl_multi_info_read) multi_info_read;
    decltype(&::curl_slist_append) slist_append;
    decltype(&::curl_slist_free_all) slist_free_all;
    decltype(&::curl_url) url;
    decltype(&::curl_url_cleanup) url_cleanup;
    decltype(&::curl_url_set) url_set;
    decltype(&::curl_url_get) url_get;
    decltype(&::curl_free) free;
    // From OpenSSL when libcurl sends through it; null with another TLS library.
    void (*ssl_ctx_set_verify)(ssl_ctx_st* context, int mode, int (*verify)(int, x509_store_ctx_st*)) = nullptr;
    int (*x509_store_ctx_get_error)(x509_store_ctx_st* store) = nullptr;

    // The library, loaded and globally initialised on the first call (any thread);
    // null when it cannot be loaded or lacks a function.
    static const CurlLibrary* Get();
};
