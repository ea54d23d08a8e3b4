#pragma once
// The Setup tab's Radio page: the provider's unmetered channels beside the
// user's own list (the tray's "Radio Stations"), edited in place, cleared,
// backed up and restored, and the player that plays them.

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "core/settings/Settings.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace qgm::gui {

class IDialogs;
class TFocusLabel;
class TItemEditor;
class TMyItem;
class TScrollHeader;
class TScrollingCtrl;

class TRadioPage : public QWidget {
  Q_OBJECT
 public:
  TRadioPage(TSettings& settings, IDialogs& dialogs, QWidget* parent = nullptr);

  // Plays a channel's address.
  std::function<void(const std::string& address)> OnPlay;
  // The user's list or the player changed.
  std::function<void()> OnChange;
  // The page was shown while the available list is empty.
  std::function<void()> OnNeedAvailable;
  // Where backups are kept.
  std::string DataFolder;

  // The provider's channels, sorted by caption.
  void ShowAvailable(const std::vector<TRadioChannel>& channels);
  // The user's list from the settings (changes none of them).
  void LoadFromModel();
  // The page became the active page of the Setup tab.
  void Activated();

  void AddSelectedAvailable();
  void DeleteChannel();
  void ClearChannels();
  void BackupChannels();
  void RestoreChannels();
  void ChoosePlayer();
  void Listen(TScrollingCtrl* list);

  TScrollingCtrl* MyList() const { return scRadio_; }
  TScrollingCtrl* AvailableList() const { return scRadio2_; }
  TItemEditor* Editor() const { return ieRadio_; }
  QLineEdit* CaptionEdit() const { return eRadioName_; }
  QLineEdit* AddressEdit() const { return eRadioURL_; }
  QLabel* MyCount() const { return lblRadioList_; }
  QLabel* AvailableCount() const { return lblRadioList2_; }
  QPushButton* ClearButton() const { return btnRadioClear_; }
  TFocusLabel* MyListen() const { return flblRadioList1_; }
  TFocusLabel* AvailableListen() const { return flblRadioList2_; }
  TScrollHeader* PlayerHeader() const { return shApplication_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FillMyList();
  void Changed();
  void UpdateChannelCount();
  void UpdateFocusHints();
  void CommitChannel(TMyItem* item);
  void StoreMyList();
  void PaintPlayer(QPainter& painter);

  TSettings& s_;
  IDialogs& dialogs_;
  TScrollingCtrl* scRadio2_;
  TScrollingCtrl* scRadio_;
  TItemEditor* ieRadio_;
  QLineEdit* eRadioName_;
  QLineEdit* eRadioURL_;
  QLabel* lblRadioList_;
  QLabel* lblRadioList2_;
  QLabel* lblEditHint2_;
  QLabel* lblEditHint3_;
  TFocusLabel* flblRadioList1_;
  TFocusLabel* flblRadioList2_;
  TScrollHeader* shApplication_;
  QPushButton* btnRadioClear_;
};

}  // namespace qgm::gui
