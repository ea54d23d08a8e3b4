#pragma once
// The About tab: the program and its version, the release check's link
// (" QGM Updates "), the computer's clock against the provider's time
// (" Computer Clock ") and the program's home page.

#include <QWidget>

#include <functional>
#include <string>

#include "core/about/Maintenance.h"

class QLabel;

namespace qgm::gui {

class TFocusLabel;

class TAboutPage : public QWidget, public IMaintenanceView {
  Q_OBJECT
 public:
  explicit TAboutPage(const std::string& homePage, QWidget* parent = nullptr);

  // IMaintenanceView
  void SetVersionLink(const std::string& text, bool clickable) override;
  void SetClockState(const std::string& text) override;
  void LetPendingEventsRun() override;

  std::function<void()> OnCheckVersion;                   // a click on the version link
  std::function<void(const std::string& url)> OnOpenUrl;  // the home page link

  TFocusLabel* VersionLink() const { return lblNewVersion_; }

 private:
  TFocusLabel* lblNewVersion_;
  bool versionClickable_ = false;
  QLabel* lblClockState_;
  TFocusLabel* lblQgmUrl_;
};

}  // namespace qgm::gui
