#pragma once
// The Advisories tab: the tips panel with its two links above the list of
// the provider's advisories (scAdvisories), the list's layout and keys.

#include <QWidget>

#include <functional>
#include <vector>

#include "core/advisories/Advisories.h"
#include "core/settings/Settings.h"

class QLabel;
class QSplitter;

namespace qgm::gui {

class TFocusLabel;
class TMyScrollItem;
class TScrollingCtrl;

class TAdvisoriesPage : public QWidget, public IAdvisoriesView {
  Q_OBJECT
 public:
  TAdvisoriesPage(TSettings& settings, QWidget* parent = nullptr);

  // The refresh link (the list is emptied first and shown so).
  std::function<void()> OnRefresh;
  // Opens an advisory's link or report.
  std::function<void(const std::string& url)> OnOpenLink;

  // IAdvisoriesView
  void ShowAdvisories(const std::vector<TAdvisory>& advisories) override;

  // The tab became the active page.
  void Activated();
  void SetTipsVisible(bool visible);
  bool TipsVisible() const;
  // Recomputes every item's height for the list's width.
  void LayoutAdvisories();
  // Enter (13), Left (37) and Right (39) on the selected advisory.
  void AdvisoryKeyAction(int key);

  TScrollingCtrl* List() const { return scAdvisories_; }
  TMyScrollItem* Item(int index) const;
  QWidget* TipsPanel() const { return pnlAdvisories_; }
  TFocusLabel* HideTipsLink() const { return lblHideAdvTips_; }
  TFocusLabel* RefreshLink() const { return lblRefreshAdvisories_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void RefreshClicked();
  void TipsPanelResized();

  TSettings& settings_;
  QSplitter* splitter_ = nullptr;
  QWidget* pnlAdvisories_ = nullptr;
  QLabel* lblAdvisoriesTop_ = nullptr;
  QLabel* lblAdvisoriesBtm_ = nullptr;
  TFocusLabel* lblRefreshAdvisories_ = nullptr;
  TFocusLabel* lblHideAdvTips_ = nullptr;
  TScrollingCtrl* scAdvisories_ = nullptr;
};

}  // namespace qgm::gui
