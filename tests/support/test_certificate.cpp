#include "support/test_certificate.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <cstdlib>

namespace fw::test {
namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "test certificate: %s failed\n", what);
    ERR_print_errors_fp(stderr);
    std::abort();
}

void Require(bool ok, const char* what) {
    if (!ok) {
        Fail(what);
    }
}

struct BioDeleter {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
struct ExtensionDeleter {
    void operator()(X509_EXTENSION* extension) const { X509_EXTENSION_free(extension); }
};

std::string BioText(BIO* bio) {
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio, &data);
    return std::string(data, static_cast<std::size_t>(length));
}

void AddExtension(X509* certificate, X509* issuer, int nid, const std::string& value) {
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    std::unique_ptr<X509_EXTENSION, ExtensionDeleter> extension(
        X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str()));
    Require(extension != nullptr, "X509V3_EXT_conf_nid");
    Require(X509_add_ext(certificate, extension.get(), -1) == 1, "X509_add_ext");
}

}  // namespace

CertificateOptions ExpiredCertificateOptions(std::string commonName) {
    CertificateOptions options;
    options.commonName = std::move(commonName);
    options.notBefore = -std::chrono::hours(24 * 365 * 2);
    options.notAfter = -std::chrono::hours(24 * 365);
    return options;
}

std::string TestCertificate::KeyPem() const {
    std::unique_ptr<BIO, BioDeleter> bio(BIO_new(BIO_s_mem()));
    Require(bio && PEM_write_bio_PrivateKey(bio.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1,
            "PEM_write_bio_PrivateKey");
    return BioText(bio.get());
}

std::string TestCertificate::CertificatePem() const {
    std::unique_ptr<BIO, BioDeleter> bio(BIO_new(BIO_s_mem()));
    Require(bio && PEM_write_bio_X509(bio.get(), certificate.get()) == 1, "PEM_write_bio_X509");
    return BioText(bio.get());
}

TestCertificate MakeCertificate(const CertificateOptions& options, const TestCertificate* issuer) {
    TestCertificate made;
    made.key.reset(EVP_EC_gen("P-256"));
    Require(made.key != nullptr, "EVP_EC_gen");
    made.certificate.reset(X509_new());
    X509* certificate = made.certificate.get();
    Require(certificate != nullptr, "X509_new");

    Require(X509_set_version(certificate, 2) == 1, "X509_set_version");
    unsigned char serial[16];
    Require(RAND_bytes(serial, sizeof serial) == 1, "RAND_bytes");
    serial[0] &= 0x7F;
    BIGNUM* serialNumber = BN_bin2bn(serial, sizeof serial, nullptr);
    Require(serialNumber != nullptr && BN_to_ASN1_INTEGER(serialNumber, X509_get_serialNumber(certificate)),
            "serial number");
    BN_free(serialNumber);

    Require(X509_gmtime_adj(X509_getm_notBefore(certificate), static_cast<long>(options.notBefore.count())),
            "notBefore");
    Require(X509_gmtime_adj(X509_getm_notAfter(certificate), static_cast<long>(options.notAfter.count())),
            "notAfter");

    X509_NAME* subject = X509_get_subject_name(certificate);
    Require(X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_UTF8,
                                       reinterpret_cast<const unsigned char*>(options.commonName.c_str()), -1,
                                       -1, 0) == 1,
            "subject name");
    X509* signer = issuer != nullptr ? issuer->certificate.get() : certificate;
    Require(X509_set_issuer_name(certificate, X509_get_subject_name(signer)) == 1, "issuer name");
    Require(X509_set_pubkey(certificate, made.key.get()) == 1, "X509_set_pubkey");

    AddExtension(certificate, signer, NID_basic_constraints,
                 options.isAuthority ? "critical,CA:TRUE" : "critical,CA:FALSE");
    AddExtension(certificate, signer, NID_subject_key_identifier, "hash");
    if (!options.extendedKeyUsage.empty()) {
        AddExtension(certificate, signer, NID_ext_key_usage, options.extendedKeyUsage);
    }
    std::string alternatives;
    for (const std::string& name : options.dnsNames) {
        alternatives += (alternatives.empty() ? "DNS:" : ",DNS:") + name;
    }
    for (const std::string& address : options.ipAddresses) {
        alternatives += (alternatives.empty() ? "IP:" : ",IP:") + address;
    }
    if (!alternatives.empty()) {
        AddExtension(certificate, signer, NID_subject_alt_name, alternatives);
    }

    EVP_PKEY* signingKey = issuer != nullptr ? issuer->key.get() : made.key.get();
    Require(X509_sign(certificate, signingKey, EVP_sha256()) > 0, "X509_sign");
    return made;
}

}  // namespace fw::test
