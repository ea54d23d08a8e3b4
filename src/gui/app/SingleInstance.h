#pragma once
// One running copy per user: the first start listens on a local socket named
// for the user; a later start asks it to show its window and exits.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>

#include <functional>
#include <memory>

namespace qgm::gui {

class TSingleInstance : public QObject {
  Q_OBJECT
 public:
  explicit TSingleInstance(QObject* parent = nullptr);
  // True for the first instance, which then calls `onShow` whenever a later
  // start asks for the window. False when another instance runs; it has been
  // asked to show its window.
  bool Claim(std::function<void()> onShow);

 private:
  std::unique_ptr<QLockFile> lock_;
  QLocalServer* server_ = nullptr;
};

}  // namespace qgm::gui
