#include "Http/CertificateCheck.h"

#include "Http/CurlLibrary.h"

#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

namespace {

bool Tolerated(int error)
{
    switch (error) {
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_CERT_UNTRUSTED:
    case X509_V_ERR_CERT_NOT_YET_VALID:
    case X509_V_ERR_CERT_HAS_EXPIRED:
    case X509_V_ERR_HOSTNAME_MISMATCH:
        return true;
    default:
        return false;
    }
}

// OpenSSL calls this for each problem it finds in the server's chain.
int Verify(int passed, X509_STORE_CTX* store)
{
    return passed || Tolerated(CurlLibrary::Get()->x509_store_ctx_get_error(store)) ? 1 : 0;
}

CURLcode OnTlsContext(CURL*, void* context, void* library)
{
    static_cast<const CurlLibrary*>(library)->ssl_ctx_set_verify(static_cast<SSL_CTX*>(context), SSL_VERIFY_PEER,
                                                                 &Verify);
    return CURLE_OK;
}

} // namespace

bool UseCertificateRule(const CurlLibrary& curl, CURL* easy, CertificateRule rule)
{
    if (rule == CertificateRule::Verified) {
        return curl.easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L) == CURLE_OK &&
               curl.easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L) == CURLE_OK;
    }
    if (curl.easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 0L) != CURLE_OK ||
        curl.easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 0L) != CURLE_OK)
        return false;
    if (!curl.ssl_ctx_set_verify || !curl.x509_store_ctx_get_error)
        return true;
    return curl.easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, &OnTlsContext) == CURLE_OK &&
           curl.easy_setopt(easy, CURLOPT_SSL_CTX_DATA, &curl) == CURLE_OK;
}
