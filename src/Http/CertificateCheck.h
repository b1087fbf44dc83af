#pragma once
// The certificate problems an https upload tolerates: an unknown or self-signed
// issuer, a host name that does not match, and dates outside the validity period.
// libcurl's own checks are off; when its TLS library is OpenSSL this check takes their
// place in the handshake, so that any other problem (a certificate not meant for
// servers, an unusable chain) still ends the upload. With another TLS library every
// certificate problem is tolerated.

#include <curl/curl.h>

struct CurlLibrary;

// Sets the check on a transfer; false when libcurl cannot take it.
bool UseCertificateCheck(const CurlLibrary& curl, CURL* easy);
