#pragma once
// The notice popup: a borderless, always-on-top window in the bottom-right
// corner of the work area with a title, the message, an optional "more
// information" link and "Close". It frees itself when closed.

#include <QWidget>

#include <functional>
#include <memory>

#include "core/usage/Notices.h"
#include "core/util/Timing.h"

class QLabel;

namespace qgm::gui {

class TFocusLabel;

class TMessageForm : public QWidget {
  Q_OBJECT
 public:
  // `openUrl` opens the link address; `onClosed` receives the reference of
  // a notice the user closed (by "Close" or by the link); the auto-close
  // timer comes from `timers`.
  TMessageForm(const TNoticeRequest& notice, std::function<void(const std::string&)> openUrl,
               std::function<void(const std::string&)> onClosed, ITimerFactory& timers);
  ~TMessageForm() override;

  TFocusLabel* MoreInfo() const { return lblGetMoreInfo_; }
  TFocusLabel* CloseLink() const { return lblClose_; }
  // The notice's title and text, as shown.
  QString Caption() const { return caption_; }
  QString Body() const { return body_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QString caption_;
  QString body_;
  std::string linkUrl_;
  std::function<void()> linkClick_;
  std::string reference_;
  int autoCloseSeconds_;
  std::function<void(const std::string&)> openUrl_;
  std::function<void(const std::string&)> onClosed_;
  std::unique_ptr<ITimer> timer1_;
  TFocusLabel* lblGetMoreInfo_;
  TFocusLabel* lblClose_;
};

}  // namespace qgm::gui
