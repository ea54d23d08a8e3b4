#pragma once
// The Setup tab: the "General" page (account, start-up, tray colour) and the
// "Proxy" page. Edits go into the settings model; the window reacts to them.

#include <QWidget>

#include <functional>
#include <string>

#include "core/settings/Settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTabWidget;

namespace qgm::gui {

class IDialogs;
class TEmailPage;
class TAlertsPage;
class TRadioPage;
class TNumedit;

class TSetupPage : public QWidget {
  Q_OBJECT
 public:
  // `dialogs` answers the Radio page's file dialogs.
  TSetupPage(TSettings& settings, IDialogs& dialogs, QWidget* parent = nullptr);

  // Fills the controls from the model (after loading).
  void LoadFromModel();
  // The tray-icon preview.
  void SetTrayPreview(const QPixmap& picture);
  // Back to the "General" page (each time the tab is shown).
  void ShowGeneral();

  // An account field or the type changed: (type changed, credentials edited).
  std::function<void(bool typeChanged, bool credentialsEdited)> OnAccountChange;
  std::function<void()> OnProxyChange;
  std::function<void()> OnTrayColourChange;
  std::function<void()> OnStayOnTopChange;
  // Any edit of the model, after the handlers above.
  std::function<void()> OnChange;
  // A login to a mailbox, for the Email page's test.
  std::function<bool(const std::string& login, const std::string& password)> OnTestMailbox;

  // The CallHaven fields or box changed (the tab's visibility follows).
  std::function<void()> OnCallhavenChange;
  std::function<void()> OnResetCallHistory;
  // Off while a CallHaven download runs.
  void SetResetEnabled(bool on);

  TEmailPage* EmailPage() const { return email_; }
  TRadioPage* RadioPage() const { return radio_; }
  QTabWidget* Pages() const { return pages_; }

 private:
  void ChooseTrayColour();
  void UpdatePreviewPanel();
  void Changed();
  // The proxy's fields are editable while the proxy is used.
  void EnableProxyFields();

  TSettings& s_;
  bool loading_ = false;
  QTabWidget* pages_;
  QComboBox* cbAccountType_;
  QLineEdit* eUsername_;
  QLineEdit* ePassword_;
  QCheckBox* cbRunOnStartup_;
  QCheckBox* cbStartMinimized_;
  QCheckBox* cbStayOnTop_;
  QCheckBox* cbCheckForUpdates_;
  QSlider* tbUpdateDelay_;
  QLabel* lblUpdateDelay_;
  QWidget* pnlTrayIcon_;
  QLabel* imgTray_;
  QCheckBox* cbUseProxy_;
  QLineEdit* eProxyServer_;
  TNumedit* neProxyPort_;
  TEmailPage* email_;
  QLineEdit* eChPhoneNo_;
  QLineEdit* eChPassword_;
  QCheckBox* cbSetupCallhaven_;
  QPushButton* btnResetChHist_;
  TRadioPage* radio_;
  TAlertsPage* alerts_;
  QLineEdit* eProxyUsername_;
  QLineEdit* eProxyPassword_;
};

}  // namespace qgm::gui
