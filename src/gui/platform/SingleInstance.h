#pragma once
// One running copy per user: the first start claims the user's instance; a
// later start asks that copy to show its window and exits (Linux: a lock
// file and a local socket in the user's runtime folder).

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace qgm::gui {

class TSingleInstance : public QObject {
  Q_OBJECT
 public:
  // `folder` holds what the claim needs; empty means the runtime folder.
  explicit TSingleInstance(QString folder = {}, QObject* parent = nullptr);
  ~TSingleInstance() override;
  // True for the first instance, which then calls `onShow` whenever a later
  // start asks for the window. False when another instance runs; it has been
  // asked to show its window when `askRunning` is true.
  bool Claim(std::function<void()> onShow, bool askRunning = true);
  // Counts this copy among the running ones, until it ends (each running
  // copy holds a lock of its own in the same folder).
  void Register();
  // How many copies run now: those registered and still alive.
  int CountRunning() const;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

}  // namespace qgm::gui
