#include "core/platform/SecretService.h"

#include <libsecret/secret.h>

#include "core/platform/linux/KeyringText.h"

namespace qgm {
namespace {

// The schema the tray program's keyring library writes with.
const SecretSchema* Schema() {
  static const SecretSchema schema = {"org.qt.keychain",
                                      SECRET_SCHEMA_DONT_MATCH_NAME,
                                      {{"user", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                       {"server", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                       {"type", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                       {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
                                      0,
                                      nullptr,
                                      nullptr,
                                      nullptr,
                                      nullptr,
                                      nullptr,
                                      nullptr,
                                      nullptr};
  return &schema;
}

class TSecretService : public ISecretStore {
 public:
  explicit TSecretService(std::string service) : service_(std::move(service)) {}

  EReadResult Read(const std::string& key, std::string& secret) override {
    if (broken_) return EReadResult::Failed;
    GError* error = nullptr;
    gchar* found = secret_password_lookup_sync(Schema(), nullptr, &error, "user", key.c_str(),
                                               "server", service_.c_str(), nullptr);
    if (error) {
      g_error_free(error);
      broken_ = true;  // no service or it refused: not asked again
      return EReadResult::Failed;
    }
    if (!found) return EReadResult::NotFound;
    const EReadResult result = PasswordFromKeyringText(found, secret);
    secret_password_free(found);
    return result;
  }
  bool Write(const std::string& key, const std::string& secret) override {
    if (broken_) return false;
    GError* error = nullptr;
    const gboolean ok = secret_password_store_sync(Schema(), SECRET_COLLECTION_DEFAULT,
                                                   service_.c_str(), KeyringTextOf(secret).c_str(),
                                                   nullptr, &error, "user", key.c_str(), "server",
                                                   service_.c_str(), "type", "plaintext", nullptr);
    if (error) g_error_free(error);
    return ok;
  }
  bool Remove(const std::string& key) override {
    if (broken_) return false;
    GError* error = nullptr;
    secret_password_clear_sync(Schema(), nullptr, &error, "user", key.c_str(), "server",
                               service_.c_str(), nullptr);
    if (!error) return true;
    g_error_free(error);
    return false;
  }

 private:
  std::string service_;
  bool broken_ = false;
};

}  // namespace

std::unique_ptr<ISecretStore> OpenSecretService(const std::string& service) {
  return std::make_unique<TSecretService>(service);
}

}  // namespace qgm
