#pragma once
// A provider or program notice: a small stay-on-top window in the bottom
// right corner of the work area, yellow for alerts, with an optional link.

#include <QWidget>

#include <functional>

#include "core/usage/Notices.h"

namespace qgm::gui {

class TNoticePopup : public QWidget {
  Q_OBJECT
 public:
  // `onClosed` receives the notice's reference when the user closes it.
  TNoticePopup(const TNoticeRequest& notice, std::function<void(const std::string&)> onClosed);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::string reference_;
  std::function<void(const std::string&)> onClosed_;
};

}  // namespace qgm::gui
