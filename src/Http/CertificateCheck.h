#pragma once
// How an https transfer checks the server's certificate. Verified: libcurl checks the
// chain against the system's store and the name against the host. Tolerant (hosts in
// TlsExceptions only): an unknown or self-signed issuer, a host name that does not
// match, and dates outside the validity period are let through; when libcurl's TLS
// library is OpenSSL a check of our own takes libcurl's place in the handshake, so
// that any other problem (a certificate not meant for servers, an unusable chain)
// still ends the upload. With another TLS library every problem is then tolerated.

#include <curl/curl.h>

struct CurlLibrary;

enum class CertificateRule { Verified, Tolerant };

// Sets the rule on a transfer; false when libcurl cannot take it.
bool UseCertificateRule(const CurlLibrary& curl, CURL* easy, CertificateRule rule);
