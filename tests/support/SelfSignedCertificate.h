#pragma once

// A self-signed certificate for 127.0.0.1 made with OpenSSL at test time
// (an EC P-256 key, valid for a day), and its PEM text for a client that is
// told to trust it.

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdlib>
#include <string>

namespace kestrel::testing {

class SelfSignedCertificate {
public:
    SelfSignedCertificate() {
        key_ = EVP_EC_gen("P-256");
        certificate_ = X509_new();
        if (!key_ || !certificate_) std::abort();
        X509_set_version(certificate_, 2);
        ASN1_INTEGER_set(X509_get_serialNumber(certificate_), 1);
        X509_gmtime_adj(X509_getm_notBefore(certificate_), -60);
        X509_gmtime_adj(X509_getm_notAfter(certificate_), 24 * 3600);
        X509_set_pubkey(certificate_, key_);
        X509_NAME* name = X509_get_subject_name(certificate_);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1,
                                   -1, 0);
        X509_set_issuer_name(certificate_, name);
        AddExtension(NID_subject_alt_name, "IP:127.0.0.1");
        AddExtension(NID_basic_constraints, "critical,CA:TRUE");
        if (X509_sign(certificate_, key_, EVP_sha256()) == 0) std::abort();
    }
    ~SelfSignedCertificate() {
        X509_free(certificate_);
        EVP_PKEY_free(key_);
    }
    SelfSignedCertificate(const SelfSignedCertificate&) = delete;
    SelfSignedCertificate& operator=(const SelfSignedCertificate&) = delete;

    X509* certificate() const { return certificate_; }
    EVP_PKEY* key() const { return key_; }

    std::string Pem() const {
        BIO* memory = BIO_new(BIO_s_mem());
        PEM_write_bio_X509(memory, certificate_);
        char* data = nullptr;
        const long length = BIO_get_mem_data(memory, &data);
        std::string pem(data, static_cast<std::size_t>(length));
        BIO_free(memory);
        return pem;
    }

private:
    void AddExtension(int nid, const char* value) {
        X509V3_CTX context;
        X509V3_set_ctx_nodb(&context);
        X509V3_set_ctx(&context, certificate_, certificate_, nullptr, nullptr, 0);
        X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
        if (!extension) std::abort();
        X509_add_ext(certificate_, extension, -1);
        X509_EXTENSION_free(extension);
    }

    EVP_PKEY* key_ = nullptr;
    X509* certificate_ = nullptr;
};

}  // namespace kestrel::testing
