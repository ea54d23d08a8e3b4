#include "gui/setup/EmailPage.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "core/util/CodePage.h"
#include "gui/controls/Contrast.h"
#include "gui/controls/ItemEditor.h"
#include "gui/controls/LinkStyle.h"
#include "gui/controls/ScrollHeader.h"
#include "gui/controls/ScrollingCtrl.h"
#include "gui/setup/MyItem.h"
#include "gui/setup/OneLineGuard.h"
#include "gui/setup/SetupLists.h"

namespace qgm::gui {

namespace {

constexpr int kWarningMs = 10000;

QString Q(const std::string& cp1252) {
  return QString::fromStdString(Cp1252ToUtf8(cp1252));
}
std::string S(const QString& text) {
  return Utf8ToCp1252(text.toStdString());
}

}  // namespace

TEmailPage::TEmailPage(TSettings& settings, QWidget* parent) : QWidget(parent), s_(settings) {
  setObjectName(QStringLiteral("tsSetupEmail"));
  auto* layout = new QVBoxLayout(this);
  cbCheckEmails_ = new QCheckBox(tr("&Monitor the following email accounts:"), this);
  cbCheckEmails_->setObjectName(QStringLiteral("cbCheckEmails"));
  layout->addWidget(cbCheckEmails_);

  shEmail_ = new TScrollHeader(this);
  shEmail_->setObjectName(QStringLiteral("shEmail"));
  shEmail_->SetShadowEdges(TScrollHeader::seRight | TScrollHeader::seBottom);
  shEmail_->setFixedHeight(20);
  auto* header = new QHBoxLayout(shEmail_);
  header->setContentsMargins(6, 0, 6, 0);
  lblEmailList_ = new QLabel(shEmail_);
  lblEmailList_->setObjectName(QStringLiteral("lblEmailList"));
  lblEditHint1_ = new QLabel(tr("(F2 to edit)"), shEmail_);
  lblEditHint1_->setObjectName(QStringLiteral("lblEditHint1"));
  lblEditHint1_->hide();
  header->addWidget(lblEmailList_);
  header->addStretch();
  header->addWidget(lblEditHint1_);
  layout->setSpacing(4);
  layout->addWidget(shEmail_);

  scEmail_ = MakeSetupList(this, "scEmail");
  scEmail_->setMinimumHeight(110);
  layout->addWidget(scEmail_, 1);

  // The editor: two fields over the selected row.
  ieEmail_ = MakeTwoFieldEditor(this, "ieEmail", tr("Name"), eEmailName_, "eEmailName",
                                tr("Password"), eEmailPwd_, "eEmailPwd", true);
  scEmail_->SetItemEditor(ieEmail_);
  ieEmail_->OnBeforeEnter = [this] {
    auto* item = static_cast<TMyItem*>(ieEmail_->Item());
    eEmailName_->setText(item->Caption);
    eEmailPwd_->setText(item->Value);
  };
  CommitAfterExit(ieEmail_, scEmail_, this, [this](TMyItem* item) { CommitMailbox(item); });
  // The name and password go into POP3 commands: one line each.
  const auto warn = [this](const QString& problem) {
    lblEmailTestFailed_->setText(problem);
    lblEmailTestFailed_->show();
    DudEmailTimer_->start();
  };
  GuardOneLine(eEmailName_, "mailbox name", warn);
  GuardOneLine(eEmailPwd_, "mailbox password", warn);

  auto* buttons = new QHBoxLayout;
  bAddEmail_ = new QPushButton(tr("Add Account"), this);
  bAddEmail_->setObjectName(QStringLiteral("bAddEmail"));
  bDelEmail_ = new QPushButton(tr("Delete Account"), this);
  bDelEmail_->setObjectName(QStringLiteral("bDelEmail"));
  buttons->addWidget(bAddEmail_);
  buttons->addWidget(bDelEmail_);
  layout->addLayout(buttons);

  lblEmailTestFailed_ = new QLabel(this);
  lblEmailTestFailed_->setObjectName(QStringLiteral("lblEmailTestFailed"));
  lblEmailTestFailed_->setAlignment(Qt::AlignCenter);
  SetTextColour(*lblEmailTestFailed_, LegibleOn(*this, QColor(0xC0, 0, 0)));
  lblEmailTestFailed_->hide();
  layout->addWidget(lblEmailTestFailed_);
  auto* notes = new QLabel(
      tr("Notes:\n1. Accounts will be checked hourly at the same\ntime usage is updated.\n"
         "2. If accounts have new mail, an envelope icon\nwill flash in the taskbar "
         "notification area.\n3. Only Corvalink accounts will be monitored."),
      this);
  notes->setTextFormat(Qt::PlainText);
  layout->addWidget(notes);

  DudEmailTimer_ = new QTimer(this);
  DudEmailTimer_->setObjectName(QStringLiteral("DudEmailTimer"));
  DudEmailTimer_->setInterval(kWarningMs);
  connect(DudEmailTimer_, &QTimer::timeout, this, [this] { HideWarning(); });
  scEmail_->OnItemChange = [this] { HideWarning(); };
  scEmail_->OnKeyDown = [this](QKeyEvent& e) {
    if (e.key() != Qt::Key_Delete) return false;
    DeleteAccount();
    return true;
  };
  scEmail_->installEventFilter(this);

  connect(cbCheckEmails_, &QCheckBox::toggled, this, [this](bool on) {
    if (loading_) return;
    s_.CheckEmail = on;
    if (OnChange) OnChange();
  });
  connect(bAddEmail_, &QPushButton::clicked, this, [this] { AddAccount(); });
  connect(bDelEmail_, &QPushButton::clicked, this, [this] { DeleteAccount(); });
  LoadFromModel();
}

void TEmailPage::LoadFromModel() {
  loading_ = true;
  cbCheckEmails_->setChecked(s_.CheckEmail);
  scEmail_->BeginUpdate();
  scEmail_->Clear();
  for (const TMailboxSetting& m : s_.Mailboxes) {
    auto* item = static_cast<TMyItem*>(scEmail_->AddItem());
    item->Caption = Q(m.Name);
    item->Value = Q(m.Password);
    item->LastUidl = Q(m.LastUidl);
  }
  scEmail_->EndUpdate();
  bDelEmail_->setEnabled(scEmail_->Count() > 0);
  UpdateMailboxCount();
  loading_ = false;
}

void TEmailPage::Activated() {
  bDelEmail_->setEnabled(scEmail_->Count() > 0);
  UpdateMailboxCount();
}

TMyItem* TEmailPage::ItemAt(int index) const {
  return static_cast<TMyItem*>(scEmail_->GetItem(index));
}

void TEmailPage::AddAccount() {
  TScrollItem* item = scEmail_->AddItem();
  scEmail_->setFocus();
  ieEmail_->DoEdit(item);
}

void TEmailPage::DeleteAccount() {
  if (TScrollItem* selected = scEmail_->SelectedItem()) {
    scEmail_->DeleteItem(selected->Index());
    bDelEmail_->setEnabled(scEmail_->Count() > 0);
    UpdateMailboxCount();
    StoreMailboxes();
  }
}

void TEmailPage::CommitMailbox(TMyItem* item) {
  HideWarning();
  const QString name = eEmailName_->text();
  if (!name.isEmpty()) {
    const qsizetype at = name.indexOf(QLatin1Char('@'));
    item->Caption = at < 0 ? name : name.left(at);
    item->Value = eEmailPwd_->text();
    StoreMailboxes();
    UpdateMailboxCount();
    const QString caption = item->Caption;
    // The login pumps window events while it waits; the item may be gone
    // by the time it answers, so only its caption is used after it.
    if (OnTestMailbox && !OnTestMailbox(S(caption), S(item->Value))) {
      lblEmailTestFailed_->setText(
          tr("Warning: there was a problem\naccessing account \"%1\".").arg(caption));
      lblEmailTestFailed_->show();
      DudEmailTimer_->start();
    }
    return;
  }
  scEmail_->DeleteItem(item->Index());
  bDelEmail_->setEnabled(scEmail_->Count() > 0);
  UpdateMailboxCount();
  StoreMailboxes();
}

void TEmailPage::UpdateMailboxCount() {
  const int n = scEmail_->Count();
  lblEmailList_->setText(n == 1 ? tr("1 Email Account") : tr("%1 Email Accounts").arg(n));
  // The list is told by its caption, and its keys by the hint beside it.
  scEmail_->setAccessibleName(lblEmailList_->text());
  scEmail_->setAccessibleDescription(lblEditHint1_->text());
  if (scEmail_->hasFocus()) lblEditHint1_->setVisible(n > 0);
}

void TEmailPage::HideWarning() {
  DudEmailTimer_->stop();
  lblEmailTestFailed_->hide();
}

void TEmailPage::StoreMailboxes() {
  std::vector<TMailboxSetting> boxes;
  for (int i = 0; i < scEmail_->Count(); ++i) {
    const TMyItem& item = *ItemAt(i);
    boxes.push_back({S(item.Caption), S(item.Value), S(item.LastUidl)});
  }
  if (boxes == s_.Mailboxes) return;
  s_.Mailboxes = std::move(boxes);
  if (OnChange) OnChange();
}

bool TEmailPage::eventFilter(QObject* watched, QEvent* event) {
  // The edit hint shows while the list has the focus and something to edit.
  if (watched == scEmail_ && event->type() == QEvent::FocusIn)
    lblEditHint1_->setVisible(scEmail_->Count() > 0);
  if (watched == scEmail_ && event->type() == QEvent::FocusOut) lblEditHint1_->hide();
  return QWidget::eventFilter(watched, event);
}

}  // namespace qgm::gui
