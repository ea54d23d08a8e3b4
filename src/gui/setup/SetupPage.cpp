#include "gui/setup/SetupPage.h"
#include "gui/app/Dialogs.h"
#include "gui/app/Text.h"
#include "gui/setup/AlertsPage.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/tray/NumberIcon.h"
#include "core/util/CodePage.h"
#include "gui/controls/NumEdit.h"
#include "gui/setup/EmailPage.h"
#include "gui/setup/OneLineGuard.h"
#include "gui/setup/RadioPage.h"

namespace qgm::gui {
TSetupPage::TSetupPage(TSettings& settings, IDialogs& dialogs, QWidget* parent)
    : QWidget(parent), s_(settings) {
  auto* layout = new QVBoxLayout(this);
  pages_ = new QTabWidget(this);
  // Its tab bar takes the focus (the arrow keys then go from page to page);
  // the frame around the pages has nothing to show it on. The tab widget
  // hands its policy on to the bar, its focus proxy, so the bar's comes
  // after.
  pages_->setFocusPolicy(Qt::NoFocus);
  pages_->tabBar()->setFocusPolicy(Qt::TabFocus);
  layout->addWidget(pages_);

  // General.
  auto* general = new QWidget(pages_);
  auto* g = new QVBoxLayout(general);
  auto* account = new QGroupBox(tr(" Account "), general);
  auto* form = new QFormLayout(account);
  cbAccountType_ = new QComboBox(account);
  cbAccountType_->addItems({tr("Home / SOHO"), tr("Business"), tr("RoamMobile")});
  form->addRow(tr("Account type:"), cbAccountType_);
  eUsername_ = new QLineEdit(account);
  eUsername_->setObjectName(QStringLiteral("eUsername"));
  form->addRow(tr("Username:"), eUsername_);
  ePassword_ = new QLineEdit(account);
  ePassword_->setObjectName(QStringLiteral("ePassword"));
  ePassword_->setEchoMode(QLineEdit::Password);
  form->addRow(tr("Password:"), ePassword_);
  g->addWidget(account);

  cbRunOnStartup_ = new QCheckBox(tr("Run on Startup"), general);
  cbStartMinimized_ = new QCheckBox(tr("Start Minimized"), general);
  cbStayOnTop_ = new QCheckBox(tr("Stay on Top"), general);
  cbCheckForUpdates_ = new QCheckBox(tr("Automatically Check for QGM Updates"), general);
  cbCheckForUpdates_->setObjectName(QStringLiteral("cbCheckForUpdates"));
  for (QCheckBox* c : {cbRunOnStartup_, cbStartMinimized_, cbStayOnTop_, cbCheckForUpdates_})
    g->addWidget(c);
  lblUpdateDelay_ = new QLabel(general);
  tbUpdateDelay_ = new QSlider(Qt::Horizontal, general);
  tbUpdateDelay_->setRange(0, 18);  // 0 to 180 seconds in steps of 10
  g->addWidget(lblUpdateDelay_);
  g->addWidget(tbUpdateDelay_);
  // The caption above names the slider for a screen reader (and says the
  // seconds it stands for).
  lblUpdateDelay_->setBuddy(tbUpdateDelay_);

  auto* trayRow = new QHBoxLayout;
  auto* colour = new QPushButton(tr("Tray Icon Text &Colour ..."), general);
  pnlTrayIcon_ = new QWidget(general);
  pnlTrayIcon_->setFixedSize(40, 40);
  pnlTrayIcon_->setAutoFillBackground(true);
  imgTray_ = new QLabel(pnlTrayIcon_);
  imgTray_->setObjectName(QStringLiteral("imgTray"));
  trayRow->addWidget(colour);
  trayRow->addWidget(pnlTrayIcon_);
  trayRow->addStretch();
  g->addLayout(trayRow);
  g->addStretch();
  pages_->addTab(general, tr("&General"));

  // Proxy.
  auto* proxy = new QWidget(pages_);
  auto* p = new QFormLayout(proxy);
  cbUseProxy_ = new QCheckBox(tr("Use a proxy server"), proxy);
  p->addRow(cbUseProxy_);
  eProxyServer_ = new QLineEdit(proxy);
  eProxyServer_->setObjectName(QStringLiteral("eProxyServer"));
  p->addRow(tr("Server:"), eProxyServer_);
  neProxyPort_ = new TNumedit(proxy);
  neProxyPort_->setObjectName(QStringLiteral("neProxyPort"));
  p->addRow(tr("Port:"), neProxyPort_);
  eProxyUsername_ = new QLineEdit(proxy);
  eProxyUsername_->setObjectName(QStringLiteral("eProxyUsername"));
  p->addRow(tr("Username:"), eProxyUsername_);
  eProxyPassword_ = new QLineEdit(proxy);
  eProxyPassword_->setObjectName(QStringLiteral("eProxyPassword"));
  eProxyPassword_->setEchoMode(QLineEdit::Password);
  p->addRow(tr("Password:"), eProxyPassword_);
  pages_->addTab(proxy, tr("Pro&xy"));

  // Email.
  email_ = new TEmailPage(s_, pages_);
  email_->OnTestMailbox = [this](const std::string& login, const std::string& password) {
    return !OnTestMailbox || OnTestMailbox(login, password);
  };
  email_->OnChange = [this] { Changed(); };
  pages_->addTab(email_, tr("&Email"));

  // Usage alerts.
  alerts_ = new TAlertsPage(s_, pages_);
  alerts_->OnChange = [this] { Changed(); };
  pages_->addTab(alerts_, tr("&Alerts"));

  // Radio.
  radio_ = new TRadioPage(s_, dialogs, pages_);
  pages_->addTab(radio_, tr("&Radio"));

  // Phone.
  auto* phone = new QWidget(pages_);
  phone->setObjectName(QStringLiteral("tsSetupPhone"));
  auto* ph = new QVBoxLayout(phone);
  auto* chAccount = new QGroupBox(tr("CallHaven Account"), phone);
  auto* chForm = new QFormLayout(chAccount);
  eChPhoneNo_ = new QLineEdit(chAccount);
  eChPhoneNo_->setObjectName(QStringLiteral("eChPhoneNo"));
  eChPhoneNo_->setValidator(
      // Line breaks get past the validator to be dropped or refused (with a
      // reason) like those of the other fields.
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9\\r\\n]*")),
                                      eChPhoneNo_));
  chForm->addRow(tr("Phone No."), eChPhoneNo_);
  eChPassword_ = new QLineEdit(chAccount);
  eChPassword_->setObjectName(QStringLiteral("eChPassword"));
  eChPassword_->setEchoMode(QLineEdit::Password);
  chForm->addRow(tr("Password"), eChPassword_);
  ph->addWidget(chAccount);
  cbSetupCallhaven_ = new QCheckBox(tr("&Log && Display CallHaven info in QGM:"), phone);
  cbSetupCallhaven_->setObjectName(QStringLiteral("cbSetupCallhaven"));
  ph->addWidget(cbSetupCallhaven_);
  btnResetChHist_ = new QPushButton(tr("Reset Call&Haven History"), phone);
  btnResetChHist_->setObjectName(QStringLiteral("btnResetChHist"));
  ph->addWidget(btnResetChHist_);
  auto* chNotes = new QLabel(
      tr("Notes:\n1. When 'Resetting' CallHaven history, it may\ntake several minutes for QGM to "
         "get "
         "all your\nCallHaven data. However, you should only\nneed to do this once.\n2. Your "
         "CallHaven history will also be\nupdated automatically once day."),
      phone);
  chNotes->setTextFormat(Qt::PlainText);
  ph->addWidget(chNotes);
  ph->addStretch();
  pages_->addTab(phone, tr("&Phone"));

  // Credentials and addresses go into protocol commands and headers as one
  // line: a pasted line break at the end is dropped, any other refused.
  // Guarded before the handlers below read the fields.
  const auto warn = [this, &dialogs](const QString& problem) {
    dialogs.Warning(this, window()->windowTitle(), problem);
  };
  for (const auto& [edit, what] : std::initializer_list<std::pair<QLineEdit*, const char*>>{
           {eUsername_, "user name"},
           {ePassword_, "password"},
           {eProxyServer_, "proxy server"},
           {eProxyUsername_, "proxy user name"},
           {eProxyPassword_, "proxy password"},
           {eChPhoneNo_, "phone number"},
           {eChPassword_, "CallHaven password"}})
    GuardOneLine(edit, what, warn);

  auto callhavenChanged = [this] {
    if (loading_) return;
    s_.CallhavenNo1 = S(eChPhoneNo_->text());
    s_.CallhavenNo2 = S(eChPassword_->text());
    s_.CallhavenVisible = cbSetupCallhaven_->isChecked();
    if (OnCallhavenChange) OnCallhavenChange();
    Changed();
  };
  connect(eChPhoneNo_, &QLineEdit::textEdited, this, callhavenChanged);
  connect(eChPassword_, &QLineEdit::textEdited, this, callhavenChanged);
  connect(cbSetupCallhaven_, &QCheckBox::toggled, this, callhavenChanged);
  connect(btnResetChHist_, &QPushButton::clicked, this, [this] {
    if (OnResetCallHistory) OnResetCallHistory();
  });
  connect(pages_, &QTabWidget::currentChanged, this, [this](int index) {
    if (pages_->widget(index) == email_) email_->Activated();
    if (pages_->widget(index) == radio_) radio_->Activated();
  });

  // Edits go into the model; filling the controls from the model (loading_)
  // changes nothing in it.
  connect(cbAccountType_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (loading_) return;
    s_.AccountType = index;
    if (OnAccountChange) OnAccountChange(true, false);
    Changed();
  });
  for (QLineEdit* e : {eUsername_, ePassword_}) {
    connect(e, &QLineEdit::textEdited, this, [this] {
      if (loading_) return;
      s_.AccountName = S(eUsername_->text());
      s_.Password = S(ePassword_->text());
      if (OnAccountChange) OnAccountChange(false, true);
      Changed();
    });
  }
  // A box bound to one setting; `after` reacts to the change.
  const auto bind = [this](QCheckBox* box, bool TSettings::*field,
                           std::function<void()> after = {}) {
    connect(box, &QCheckBox::toggled, this, [this, field, after = std::move(after)](bool on) {
      if (loading_) return;
      s_.*field = on;
      if (after) after();
      Changed();
    });
  };
  bind(cbRunOnStartup_, &TSettings::RunOnStartup);
  bind(cbStartMinimized_, &TSettings::StartMinimized);
  bind(cbStayOnTop_, &TSettings::StayOnTop, [this] {
    if (OnStayOnTopChange) OnStayOnTopChange();
  });
  bind(cbCheckForUpdates_, &TSettings::CheckForUpdates, [this, &dialogs] {
    if (s_.CheckForUpdates) return;
    // Turning the release check off is asked about; only Yes keeps it off.
    if (dialogs.Question(this, window()->windowTitle(),
                         tr("Are you REALLY sure you don't want to be notified when QGM is "
                            "updated?"),
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
      cbCheckForUpdates_->setChecked(true);
  });
  connect(tbUpdateDelay_, &QSlider::valueChanged, this, [this](int step) {
    if (loading_) return;
    s_.StartDelay = step * 10;
    lblUpdateDelay_->setText(tr("First Update Delay (%1sec)").arg(s_.StartDelay));
    Changed();
  });
  connect(colour, &QPushButton::clicked, this, [this] { ChooseTrayColour(); });
  auto proxyChanged = [this] {
    // While loading, the box is ticked before the edits are filled: copying
    // them then would wipe the stored proxy.
    if (loading_) return;
    s_.UseProxy = cbUseProxy_->isChecked();
    s_.ProxyAddress = S(eProxyServer_->text());
    s_.ProxyPort = static_cast<int>(neProxyPort_->Value());
    s_.ProxyUsername = S(eProxyUsername_->text());
    s_.ProxyPassword = S(eProxyPassword_->text());
    EnableProxyFields();
    if (OnProxyChange) OnProxyChange();
    Changed();
  };
  connect(cbUseProxy_, &QCheckBox::toggled, this, proxyChanged);
  for (QLineEdit* e : {eProxyServer_, eProxyUsername_, eProxyPassword_})
    connect(e, &QLineEdit::textEdited, this, proxyChanged);
  connect(neProxyPort_, &TNumedit::changed, this, proxyChanged);
}

void TSetupPage::LoadFromModel() {
  loading_ = true;
  cbAccountType_->setCurrentIndex(s_.AccountType);
  eUsername_->setText(Q(s_.AccountName));
  ePassword_->setText(Q(s_.Password));
  cbRunOnStartup_->setChecked(s_.RunOnStartup);
  cbStartMinimized_->setChecked(s_.StartMinimized);
  cbStayOnTop_->setChecked(s_.StayOnTop);
  cbCheckForUpdates_->setChecked(s_.CheckForUpdates);
  tbUpdateDelay_->setValue(s_.StartDelay / 10);
  lblUpdateDelay_->setText(tr("First Update Delay (%1sec)").arg(s_.StartDelay));
  cbUseProxy_->setChecked(s_.UseProxy);
  eProxyServer_->setText(Q(s_.ProxyAddress));
  neProxyPort_->SetValue(s_.ProxyPort);
  eProxyUsername_->setText(Q(s_.ProxyUsername));
  eProxyPassword_->setText(Q(s_.ProxyPassword));
  EnableProxyFields();
  UpdatePreviewPanel();
  eChPhoneNo_->setText(Q(s_.CallhavenNo1));
  eChPassword_->setText(Q(s_.CallhavenNo2));
  cbSetupCallhaven_->setChecked(s_.CallhavenVisible);
  alerts_->LoadFromModel();
  loading_ = false;
}

void TSetupPage::ShowGeneral() {
  pages_->setCurrentIndex(0);
}

void TSetupPage::SetTrayPreview(const QPixmap& picture) {
  imgTray_->setPixmap(picture);
  const QSize size = picture.deviceIndependentSize().toSize();
  imgTray_->setGeometry((pnlTrayIcon_->width() - size.width()) / 2,
                        (pnlTrayIcon_->height() - size.height()) / 2, size.width(), size.height());
}

void TSetupPage::UpdatePreviewPanel() {
  // Light text shows on a grey panel.
  QPalette p = pnlTrayIcon_->palette();
  p.setColor(QPalette::Window, GreyLevel(s_.TrayFontColor) > 128
                                   ? QColor(128, 128, 128)
                                   : palette().color(QPalette::Button));
  pnlTrayIcon_->setPalette(p);
}

void TSetupPage::ChooseTrayColour() {
  const uint32_t c = s_.TrayFontColor;
  const QColor chosen =
      QColorDialog::getColor(QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF), this);
  if (!chosen.isValid()) return;
  s_.TrayFontColor = static_cast<uint32_t>(chosen.red()) |
                     static_cast<uint32_t>(chosen.green()) << 8 |
                     static_cast<uint32_t>(chosen.blue()) << 16;
  s_.TrayFontColorChosen = true;
  UpdatePreviewPanel();
  if (OnTrayColourChange) OnTrayColourChange();
  Changed();
}

void TSetupPage::EnableProxyFields() {
  for (QWidget* w : std::initializer_list<QWidget*>{eProxyServer_, neProxyPort_, eProxyUsername_,
                                                    eProxyPassword_}) {
    w->setEnabled(s_.UseProxy);
  }
}

void TSetupPage::SetResetEnabled(bool on) {
  btnResetChHist_->setEnabled(on);
}

void TSetupPage::Changed() {
  if (OnChange) OnChange();
}

}  // namespace qgm::gui
