#pragma once
// A throw-away certificate authority and a server certificate for
// "localhost" / 127.0.0.1 signed by it, made in memory at start-up.

#include <memory>
#include <string>

typedef struct x509_st X509;
typedef struct evp_pkey_st EVP_PKEY;

namespace corvalink::sim {

class TestCertificates {
 public:
  TestCertificates();  // throws std::runtime_error when OpenSSL fails
  ~TestCertificates();
  TestCertificates(const TestCertificates&) = delete;
  TestCertificates& operator=(const TestCertificates&) = delete;

  X509* ServerCert() const { return serverCert_; }
  EVP_PKEY* ServerKey() const { return serverKey_; }
  std::string CaPem() const;

 private:
  EVP_PKEY* caKey_ = nullptr;
  X509* caCert_ = nullptr;
  EVP_PKEY* serverKey_ = nullptr;
  X509* serverCert_ = nullptr;
};

}  // namespace corvalink::sim
