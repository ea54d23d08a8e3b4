#pragma once
// The Setup tab's Email page: the mailboxes checked at every update, edited
// in place in their list (F2, Enter, a double-click), each tested with a
// login when its editing ends.

#include <QWidget>

#include <functional>
#include <string>

#include "core/settings/Settings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace qgm::gui {

class TItemEditor;
class TMyItem;
class TScrollHeader;
class TScrollingCtrl;

class TEmailPage : public QWidget {
  Q_OBJECT
 public:
  explicit TEmailPage(TSettings& settings, QWidget* parent = nullptr);

  // Logs in to a mailbox; false when that fails.
  std::function<bool(const std::string& login, const std::string& password)> OnTestMailbox;
  // A setting changed.
  std::function<void()> OnChange;

  // Fills the page from the settings (changes none of them).
  void LoadFromModel();
  // The page became the active page of the Setup tab.
  void Activated();

  void AddAccount();
  void DeleteAccount();
  // Applies the editor's fields to an item after the editor closed.
  void CommitMailbox(TMyItem* item);

  TScrollingCtrl* List() const { return scEmail_; }
  TItemEditor* Editor() const { return ieEmail_; }
  QLineEdit* NameEdit() const { return eEmailName_; }
  QLineEdit* PasswordEdit() const { return eEmailPwd_; }
  QLabel* CountLabel() const { return lblEmailList_; }
  QLabel* Warning() const { return lblEmailTestFailed_; }
  QLabel* EditHint() const { return lblEditHint1_; }
  QPushButton* DeleteButton() const { return bDelEmail_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void UpdateMailboxCount();
  void HideWarning();
  // The list's mailboxes into the settings.
  void StoreMailboxes();
  TMyItem* ItemAt(int index) const;

  TSettings& s_;
  bool loading_ = false;
  QCheckBox* cbCheckEmails_;
  QPushButton* bAddEmail_;
  QPushButton* bDelEmail_;
  TScrollHeader* shEmail_;
  QLabel* lblEmailList_;
  QLabel* lblEditHint1_;
  TScrollingCtrl* scEmail_;
  TItemEditor* ieEmail_;
  QLineEdit* eEmailName_;
  QLineEdit* eEmailPwd_;
  QLabel* lblEmailTestFailed_;
  QTimer* DudEmailTimer_;
};

}  // namespace qgm::gui
