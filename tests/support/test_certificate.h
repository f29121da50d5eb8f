#pragma once

// Certificates made at test time with the OpenSSL API, so that no key or certificate is checked in and no
// external tool runs. A certificate is self-signed unless an issuer is given.

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace fw::test {

struct EvpPkeyDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct X509Deleter {
    void operator()(X509* certificate) const { X509_free(certificate); }
};
using EvpPkeyPtr = std::unique_ptr<EVP_PKEY, EvpPkeyDeleter>;
using X509Ptr = std::unique_ptr<X509, X509Deleter>;

struct CertificateOptions {
    std::string commonName = "127.0.0.1";
    // Subject alternative names; none by default, so a client that checks names sees a mismatch unless the
    // common name matches.
    std::vector<std::string> dnsNames;
    std::vector<std::string> ipAddresses;
    // Validity relative to now: the defaults make a certificate valid from yesterday for a year.
    // Expired: notBefore -2 years, notAfter -1 year. Not yet valid: notBefore +1 year.
    std::chrono::seconds notBefore = -std::chrono::hours(24);
    std::chrono::seconds notAfter = std::chrono::hours(24 * 365);
    // "CA:TRUE" basic constraints (a certificate that may sign others).
    bool isAuthority = false;
    // Extended key usage as an OpenSSL value list, e.g. "serverAuth" or "clientAuth"; empty: none.
    std::string extendedKeyUsage;
};

// Expired a year ago, valid before that for a year.
CertificateOptions ExpiredCertificateOptions(std::string commonName);

struct TestCertificate {
    EvpPkeyPtr key;
    X509Ptr certificate;

    std::string KeyPem() const;
    std::string CertificatePem() const;
};

// A new P-256 key and a certificate for it, signed by `issuer` (self-signed when null). Aborts the test
// program on an OpenSSL failure: a test cannot go on without its certificate.
TestCertificate MakeCertificate(const CertificateOptions& options, const TestCertificate* issuer = nullptr);

}  // namespace fw::test
