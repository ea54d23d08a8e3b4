#include "TestCertificates.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <stdexcept>

namespace corvalink::sim {
namespace {

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("certificate setup failed: ") + what);
}

EVP_PKEY* NewKey() {
  EVP_PKEY* key = EVP_EC_gen("P-256");
  Check(key != nullptr, "key");
  return key;
}

void AddExtension(X509* cert, X509* issuer, int nid, const char* value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
  Check(ext != nullptr, "extension");
  X509_add_ext(cert, ext, -1);
  X509_EXTENSION_free(ext);
}

X509* NewCert(EVP_PKEY* key, const char* commonName, X509* issuer, EVP_PKEY* issuerKey) {
  X509* cert = X509_new();
  Check(cert != nullptr, "certificate");
  X509_set_version(cert, 2);
  unsigned char serial[16];
  RAND_bytes(serial, sizeof serial);
  serial[0] &= 0x7F;
  BIGNUM* bn = BN_bin2bn(serial, sizeof serial, nullptr);
  BN_to_ASN1_INTEGER(bn, X509_get_serialNumber(cert));
  BN_free(bn);
  X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
  X509_gmtime_adj(X509_getm_notAfter(cert), 7L * 24 * 3600);
  X509_set_pubkey(cert, key);
  X509_NAME* name = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>("Corvalink simulator"), -1, -1,
                             0);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
  X509_set_issuer_name(cert, issuer ? X509_get_subject_name(issuer) : name);
  X509* signer = issuer ? issuer : cert;
  if (!issuer) {
    AddExtension(cert, signer, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(cert, signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    AddExtension(cert, signer, NID_subject_key_identifier, "hash");
  } else {
    AddExtension(cert, signer, NID_basic_constraints, "critical,CA:FALSE");
    AddExtension(cert, signer, NID_key_usage, "critical,digitalSignature");
    AddExtension(cert, signer, NID_ext_key_usage, "serverAuth");
    AddExtension(cert, signer, NID_subject_alt_name, "DNS:localhost,IP:127.0.0.1");
    AddExtension(cert, signer, NID_authority_key_identifier, "keyid:always");
  }
  Check(X509_sign(cert, issuerKey, EVP_sha256()) > 0, "signature");
  return cert;
}

}  // namespace

TestCertificates::TestCertificates() {
  caKey_ = NewKey();
  caCert_ = NewCert(caKey_, "Corvalink simulator test CA", nullptr, caKey_);
  serverKey_ = NewKey();
  serverCert_ = NewCert(serverKey_, "localhost", caCert_, caKey_);
}

TestCertificates::~TestCertificates() {
  X509_free(serverCert_);
  EVP_PKEY_free(serverKey_);
  X509_free(caCert_);
  EVP_PKEY_free(caKey_);
}

std::string TestCertificates::CaPem() const {
  BIO* bio = BIO_new(BIO_s_mem());
  PEM_write_bio_X509(bio, caCert_);
  char* data = nullptr;
  const long len = BIO_get_mem_data(bio, &data);
  std::string pem(data, static_cast<size_t>(len));
  BIO_free(bio);
  return pem;
}

}  // namespace corvalink::sim
