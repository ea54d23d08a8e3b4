#pragma once
// The system asking the program to end (Linux: SIGTERM from a shutdown or
// `kill`, SIGINT from a terminal, SIGHUP from a closed session): the
// program hears it on its event loop, never inside a signal handler, so it
// can save its settings and quit as Exit does.

#include <QObject>

#include <functional>
#include <memory>

namespace qgm::gui {

class TTerminationSignals : public QObject {
  Q_OBJECT
 public:
  // `onSignal` runs on the event loop for each request to end.
  explicit TTerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
  ~TTerminationSignals() override;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

}  // namespace qgm::gui
