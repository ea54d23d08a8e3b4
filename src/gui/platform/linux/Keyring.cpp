#include "gui/platform/Keyring.h"

#include <QEventLoop>
#include <QTimer>

#include <qt6keychain/keychain.h>

#include "core/platform/linux/KeyringText.h"

namespace qgm::gui {
namespace {

// A keyring that does not answer within this is taken as failing, and is
// not asked again by this run of the program (so a missing one costs the
// start-up one wait, not one per password).
constexpr int kAnswerLimitMs = 5000;

class TDesktopKeyring : public ISecretStore {
 public:
  explicit TDesktopKeyring(QString service) : service_(std::move(service)) {}

  EReadResult Read(const std::string& key, std::string& secret) override {
    QKeychain::ReadPasswordJob job(service_);
    if (!Run(job, key)) return EReadResult::Failed;
    switch (job.error()) {
      case QKeychain::NoError:
        // The entry's bytes as stored (textData would have made any that
        // are not UTF-8 into U+FFFD already).
        return PasswordFromKeyringText(job.binaryData().toStdString(), secret);
      case QKeychain::EntryNotFound:
        return EReadResult::NotFound;
      default:
        return EReadResult::Failed;  // locked, refused, ...
    }
  }
  bool Write(const std::string& key, const std::string& secret) override {
    QKeychain::WritePasswordJob job(service_);
    job.setTextData(QString::fromUtf8(QByteArray::fromStdString(KeyringTextOf(secret))));
    return Run(job, key) && job.error() == QKeychain::NoError;
  }
  bool Remove(const std::string& key) override {
    QKeychain::DeletePasswordJob job(service_);
    return Run(job, key) &&
           (job.error() == QKeychain::NoError || job.error() == QKeychain::EntryNotFound);
  }

 private:
  // Starts `job` and waits for its answer; false when there was none in
  // time. A time-out or a keyring that is not there ends the asking for
  // good.
  bool Run(QKeychain::Job& job, const std::string& key) {
    if (broken_) return false;
    job.setAutoDelete(false);
    job.setInsecureFallback(false);  // never a plain-text file instead
    job.setKey(QString::fromStdString(key));
    QEventLoop loop;
    bool finished = false;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, [&] {
      finished = true;
      loop.quit();
    });
    // A timer of this call's own: it goes with the call, and never wakes
    // the program later for a wait already over.
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(kAnswerLimitMs);
    job.start();
    if (!finished) loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!finished || job.error() == QKeychain::NoBackendAvailable ||
        job.error() == QKeychain::OtherError)
      broken_ = true;
    return finished;
  }

  QString service_;
  bool broken_ = false;
};

}  // namespace

std::unique_ptr<ISecretStore> MakeDesktopKeyring(const std::string& service) {
  return std::make_unique<TDesktopKeyring>(QString::fromStdString(service));
}

}  // namespace qgm::gui
