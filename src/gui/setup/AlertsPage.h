#pragma once
// The Setup tab's usage alerts: up to two levels of the allowance used, in
// per cent (empty: none), and the warning when the recent pace would use
// the allowance up before the rollover; and whether notices and alerts
// keep to the program's own popups where the desktop has notifications.

#include <QWidget>

#include <functional>

#include "core/settings/Settings.h"

class QCheckBox;
class QLineEdit;

namespace qgm::gui {

class TAlertsPage : public QWidget {
  Q_OBJECT
 public:
  explicit TAlertsPage(TSettings& settings, QWidget* parent = nullptr);
  void LoadFromModel();
  std::function<void()> OnChange;

 private:
  void Store();

  TSettings& s_;
  QLineEdit* eLevel1_;
  QLineEdit* eLevel2_;
  QCheckBox* cbPace_;
  QCheckBox* cbOwnPopups_;
  bool loading_ = false;
};

}  // namespace qgm::gui
