#pragma once
// One running copy per user: the first start holds a lock file and listens on
// a local socket in the user's runtime folder; a later start connects to ask
// for the window and exits.

#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace qgm::gui {

class TSingleInstance : public QObject {
  Q_OBJECT
 public:
  // `folder` holds the lock and the socket; empty means the runtime folder.
  explicit TSingleInstance(QString folder = {}, QObject* parent = nullptr);
  ~TSingleInstance() override;
  // True for the first instance, which then calls `onShow` whenever a later
  // start asks for the window. False when another instance runs; it has been
  // asked to show its window.
  bool Claim(std::function<void()> onShow);

 private:
  void Accept();

  QString folder_;
  std::unique_ptr<QLockFile> lock_;
  int listener_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  std::function<void()> onShow_;
};

}  // namespace qgm::gui
