#include "gui/setup/RadioPage.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/platform/DesktopAssociations.h"
#include "core/radio/Channels.h"
#include "core/util/CodePage.h"
#include "gui/app/Dialogs.h"
#include "gui/controls/FocusLabel.h"
#include "gui/controls/ItemEditor.h"
#include "gui/controls/ScrollHeader.h"
#include "gui/controls/ScrollingCtrl.h"
#include "gui/setup/MyItem.h"
#include "gui/setup/SetupLists.h"

namespace qgm::gui {

namespace {

const QString kFilter = QStringLiteral("Radio Lists (*.txt)");

QString Q(const std::string& cp1252) {
  return QString::fromStdString(Cp1252ToUtf8(cp1252));
}
std::string S(const QString& text) {
  return Utf8ToCp1252(text.toStdString());
}

TScrollingCtrl* MakeList(QWidget* parent, const char* name) {
  TScrollingCtrl* list = MakeSetupList(parent, name);
  list->setMinimumHeight(72);
  return list;
}

// A header with a count on the left and a hint on the right.
TScrollHeader* MakeHeader(QWidget* parent, QLabel*& count, QLabel*& hint, const QString& hintText) {
  auto* header = new TScrollHeader(parent);
  header->SetShadowEdges(TScrollHeader::seRight | TScrollHeader::seBottom);
  header->setFixedHeight(20);
  auto* row = new QHBoxLayout(header);
  row->setContentsMargins(6, 0, 6, 0);
  count = new QLabel(header);
  hint = new QLabel(hintText, header);
  hint->hide();
  row->addWidget(count);
  row->addStretch();
  row->addWidget(hint);
  return header;
}

TFocusLabel* MakeListen(QWidget* parent, const char* name) {
  auto* label = new TFocusLabel(QObject::tr("Listen"), parent);
  label->setObjectName(QString::fromLatin1(name));
  label->SetAutoSize(true);
  label->SetTabStop(true);  // reached by the keyboard once it is enabled
  label->setCursor(Qt::PointingHandCursor);
  label->setEnabled(false);
  // Its own size, kept in a layout.
  label->setMinimumSize(label->size());
  return label;
}

// The desktop's entry for a program, for its name and icon.
TDesktopApplication ApplicationOf(const std::string& program) {
  const QString base = QFileInfo(QString::fromStdString(program)).fileName();
  for (const TDesktopApplication& app : AudioApplications())
    if (app.Program == program || QFileInfo(QString::fromStdString(app.Program)).fileName() == base)
      return app;
  return {};
}

}  // namespace

TRadioPage::TRadioPage(TSettings& settings, IDialogs& dialogs, QWidget* parent)
    : QWidget(parent), s_(settings), dialogs_(dialogs) {
  setObjectName(QStringLiteral("tsSetupRadio"));
  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(3);

  auto* availableTitle = new QLabel(tr("Available unmetered Channels"), this);
  auto* availableRow = new QHBoxLayout;
  availableRow->addWidget(availableTitle);
  availableRow->addStretch();
  flblRadioList2_ = MakeListen(this, "flblRadioList2");
  availableRow->addWidget(flblRadioList2_);
  layout->addLayout(availableRow);
  layout->addWidget(MakeHeader(this, lblRadioList2_, lblEditHint3_, tr("(ENTER to add)")));
  lblRadioList2_->setObjectName(QStringLiteral("lblRadioList2"));
  lblEditHint3_->setObjectName(QStringLiteral("lblEditHint3"));
  scRadio2_ = MakeList(this, "scRadio2");
  // Each list is told by the caption above it, and its keys by its hint.
  scRadio2_->setAccessibleName(availableTitle->text());
  scRadio2_->setAccessibleDescription(lblEditHint3_->text());
  layout->addWidget(scRadio2_, 1);

  auto* mineTitle = new QLabel(tr("Channels in QGM's Radio Menu"), this);
  auto* mineRow = new QHBoxLayout;
  mineRow->addWidget(mineTitle);
  mineRow->addStretch();
  flblRadioList1_ = MakeListen(this, "flblRadioList1");
  mineRow->addWidget(flblRadioList1_);
  layout->addLayout(mineRow);
  layout->addWidget(
      MakeHeader(this, lblRadioList_, lblEditHint2_, tr("(F2 to edit, DEL to delete)")));
  lblRadioList_->setObjectName(QStringLiteral("lblRadioList"));
  lblEditHint2_->setObjectName(QStringLiteral("lblEditHint2"));
  scRadio_ = MakeList(this, "scRadio");
  scRadio_->setAccessibleName(mineTitle->text());
  scRadio_->setAccessibleDescription(lblEditHint2_->text());
  layout->addWidget(scRadio_, 1);

  ieRadio_ = MakeTwoFieldEditor(this, "ieRadio", tr("Caption"), eRadioName_, "eRadioName",
                                tr("URL:Port"), eRadioURL_, "eRadioURL", false);
  eRadioURL_->setMaxLength(static_cast<int>(kMaxChannelAddress));
  scRadio_->SetItemEditor(ieRadio_);
  ieRadio_->OnBeforeEnter = [this] {
    auto* item = static_cast<TMyItem*>(ieRadio_->Item());
    eRadioName_->setText(item->Caption);
    eRadioURL_->setText(item->Value);
  };
  CommitAfterExit(ieRadio_, scRadio_, this, [this](TMyItem* item) { CommitChannel(item); });

  auto* buttons = new QHBoxLayout;
  btnRadioClear_ = new QPushButton(tr("C&lear All"), this);
  btnRadioClear_->setObjectName(QStringLiteral("btnRadioClear"));
  auto* backup = new QPushButton(tr("Bac&kup ..."), this);
  backup->setObjectName(QStringLiteral("bRadioBackup"));
  auto* restore = new QPushButton(tr("Res&tore ..."), this);
  restore->setObjectName(QStringLiteral("bRadioRestore"));
  for (QPushButton* b : {btnRadioClear_, backup, restore}) buttons->addWidget(b);
  layout->addLayout(buttons);

  auto* playerCaption = new QLabel(tr("Radio channels will be played with"), this);
  layout->addWidget(playerCaption);
  auto* playerRow = new QHBoxLayout;
  shApplication_ = new TScrollHeader(this);
  shApplication_->setObjectName(QStringLiteral("shApplication"));
  playerCaption->setBuddy(shApplication_);  // names the player panel
  shApplication_->SetParentBackground(true);
  shApplication_->SetShadowEdges({});
  shApplication_->setFixedHeight(24);
  shApplication_->OnPaint = [this](QPainter& p) { PaintPlayer(p); };
  auto* change = new QPushButton(tr("&Change ..."), this);
  change->setObjectName(QStringLiteral("bChangeApp"));
  playerRow->addWidget(shApplication_, 1);
  playerRow->addWidget(change);
  layout->addLayout(playerRow);

  scRadio2_->OnKeyDown = [this](QKeyEvent& e) {
    if (e.key() != Qt::Key_Return && e.key() != Qt::Key_Enter) return false;
    AddSelectedAvailable();
    return true;
  };
  scRadio2_->OnDblClick = [this](QMouseEvent&) { AddSelectedAvailable(); };
  scRadio_->OnKeyDown = [this](QKeyEvent& e) {
    if (e.key() != Qt::Key_Delete) return false;
    DeleteChannel();
    return true;
  };
  for (TScrollingCtrl* list : {scRadio_, scRadio2_}) list->installEventFilter(this);
  flblRadioList1_->OnClick = [this] { Listen(scRadio_); };
  flblRadioList2_->OnClick = [this] { Listen(scRadio2_); };
  connect(btnRadioClear_, &QPushButton::clicked, this, [this] { ClearChannels(); });
  connect(backup, &QPushButton::clicked, this, [this] { BackupChannels(); });
  connect(restore, &QPushButton::clicked, this, [this] { RestoreChannels(); });
  connect(change, &QPushButton::clicked, this, [this] { ChoosePlayer(); });
  LoadFromModel();
}

void TRadioPage::LoadFromModel() {
  FillMyList();
  UpdateChannelCount();
}

void TRadioPage::FillMyList() {
  scRadio_->BeginUpdate();
  scRadio_->Clear();
  for (const TRadioChannel& c : s_.RadioChannels) {
    auto* item = static_cast<TMyItem*>(scRadio_->AddItem());
    item->Caption = Q(c.Name);
    item->Value = Q(c.Address);
  }
  scRadio_->EndUpdate();
  btnRadioClear_->setEnabled(scRadio_->Count() > 0);
}

void TRadioPage::ShowAvailable(const std::vector<TRadioChannel>& channels) {
  scRadio2_->BeginUpdate();
  scRadio2_->Clear();
  for (const TRadioChannel& c : channels) {
    auto* item = static_cast<TMyItem*>(scRadio2_->AddItem());
    item->Caption = Q(ShownCaption(c.Name));
    item->Value = Q(c.Address);
    item->ReadOnly = true;
  }
  scRadio2_->EndUpdate();
  lblRadioList2_->setText(QString::fromStdString(AvailableChannelCount(channels.size())));
  UpdateFocusHints();
}

void TRadioPage::Activated() {
  UpdateChannelCount();
  if (scRadio2_->Count() == 0 && OnNeedAvailable)
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (scRadio2_->Count() == 0 && OnNeedAvailable) OnNeedAvailable();
        },
        Qt::QueuedConnection);
}

void TRadioPage::AddSelectedAvailable() {
  auto* selected = static_cast<TMyItem*>(scRadio2_->SelectedItem());
  if (!selected) return;
  if (AddChannel(s_.RadioChannels, {S(selected->Caption), S(selected->Value)})) {
    FillMyList();
    flblRadioList1_->setEnabled(true);
    UpdateChannelCount();
    Changed();
  }
  if (selected->Index() + 1 < scRadio2_->Count())
    scRadio2_->GetItem(selected->Index() + 1)->Select();
}

void TRadioPage::DeleteChannel() {
  TScrollItem* selected = scRadio_->SelectedItem();
  if (!selected) return;
  scRadio_->DeleteItem(selected->Index());
  btnRadioClear_->setEnabled(scRadio_->Count() > 0);
  flblRadioList1_->setEnabled(scRadio_->Count() > 0);
  StoreMyList();
  UpdateChannelCount();
  Changed();
}

void TRadioPage::ClearChannels() {
  scRadio_->Clear();
  btnRadioClear_->setEnabled(false);
  flblRadioList1_->setEnabled(false);
  StoreMyList();
  UpdateChannelCount();
  Changed();
}

void TRadioPage::BackupChannels() {
  // The dialog adds ".txt", so the file it asks about replacing is the one
  // written.
  const QString file = dialogs_.SaveFileName(this, tr("Backup Radio List"),
                                             QString::fromStdString(DataFolder) + QLatin1Char('/'),
                                             kFilter, QStringLiteral("txt"));
  if (file.isEmpty()) return;
  if (!WriteChannelFile(file.toStdString(), s_.RadioChannels))
    dialogs_.Warning(this, tr("Backup Radio List"),
                     tr("The radio list could not be written to %1.").arg(file));
}

void TRadioPage::RestoreChannels() {
  const QString file = dialogs_.OpenFileName(this, tr("Restore Radio List"),
                                             QString::fromStdString(DataFolder), kFilter);
  if (file.isEmpty()) return;
  const auto channels = ReadChannelFile(file.toStdString());
  if (!channels) {
    dialogs_.Warning(this, tr("Restore Radio List"), tr("%1 could not be read.").arg(file));
    return;
  }
  s_.RadioChannels = *channels;
  FillMyList();
  UpdateChannelCount();
  Changed();
}

void TRadioPage::ChoosePlayer() {
  // The desktop's audio players, and any other program.
  QDialog dialog(this);
  dialog.setWindowTitle(tr("Radio Player"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* apps = new QListWidget(&dialog);
  apps->setObjectName(QStringLiteral("lstPlayers"));
  auto* desktopDefault = new QListWidgetItem(tr("The desktop's default player"), apps);
  desktopDefault->setData(Qt::UserRole, QString());
  for (const TDesktopApplication& app : AudioApplications()) {
    auto* item = new QListWidgetItem(QIcon::fromTheme(QString::fromStdString(app.Icon)),
                                     QString::fromStdString(app.Name), apps);
    item->setData(Qt::UserRole, QString::fromStdString(app.Program));
    if (app.Program == s_.RadioPlayer) apps->setCurrentItem(item);
  }
  if (!apps->currentItem()) apps->setCurrentRow(0);
  layout->addWidget(apps);
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QPushButton* other = box->addButton(tr("&Other program ..."), QDialogButtonBox::ActionRole);
  QString chosen;
  bool picked = false;
  connect(box, &QDialogButtonBox::accepted, &dialog, [&] {
    if (QListWidgetItem* item = apps->currentItem()) {
      chosen = item->data(Qt::UserRole).toString();
      picked = true;
    }
    dialog.accept();
  });
  connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  connect(other, &QPushButton::clicked, &dialog, [&] {
    const QString file = dialogs_.OpenFileName(&dialog, tr("Radio Player"),
                                               QStringLiteral("/usr/bin"), tr("Programs (*)"));
    if (file.isEmpty()) return;
    chosen = file;
    picked = true;
    dialog.accept();
  });
  connect(apps, &QListWidget::itemDoubleClicked, box, &QDialogButtonBox::accepted);
  layout->addWidget(box);
  dialog.exec();
  if (!picked || S(chosen) == s_.RadioPlayer) return;
  s_.RadioPlayer = S(chosen);
  shApplication_->update();
  Changed();
}

void TRadioPage::PaintPlayer(QPainter& painter) {
  const std::string program = s_.RadioPlayer;
  const TDesktopApplication app = ApplicationOf(program);
  QString name = program.empty() ? tr("the desktop's default player")
                                 : QFileInfo(QString::fromStdString(program)).fileName();
  if (!app.Name.empty()) name = QString::fromStdString(app.Name);
  QIcon icon = QIcon::fromTheme(QString::fromStdString(app.Icon));
  if (icon.isNull()) icon = QIcon::fromTheme(QStringLiteral("audio-x-generic"));
  if (!icon.isNull()) painter.drawPixmap(0, 4, icon.pixmap(16, 16));
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(QRect(20, 0, shApplication_->width() - 20, shApplication_->height()),
                   Qt::AlignVCenter, name);
}

void TRadioPage::Listen(TScrollingCtrl* list) {
  auto* selected = static_cast<TMyItem*>(list->SelectedItem());
  if (selected && OnPlay) OnPlay(S(selected->Value));
}

void TRadioPage::CommitChannel(TMyItem* item) {
  if (eRadioName_->text().isEmpty()) {
    item->Select();
    DeleteChannel();
    return;
  }
  item->Caption = eRadioName_->text();
  item->Value = eRadioURL_->text();
  StoreMyList();
  Changed();
}

void TRadioPage::StoreMyList() {
  std::vector<TRadioChannel> list;
  for (int i = 0; i < scRadio_->Count(); ++i) {
    const auto& item = static_cast<const TMyItem&>(*scRadio_->GetItem(i));
    list.push_back({S(item.Caption), S(item.Value)});
  }
  s_.RadioChannels = std::move(list);
}

void TRadioPage::Changed() {
  if (OnChange) OnChange();
}

void TRadioPage::UpdateChannelCount() {
  lblRadioList_->setText(
      QString::fromStdString(ChannelCount(static_cast<size_t>(scRadio_->Count()))));
}

void TRadioPage::UpdateFocusHints() {
  lblEditHint2_->setVisible(scRadio_->hasFocus() && scRadio_->Count() > 0);
  lblEditHint3_->setVisible(scRadio2_->hasFocus() && scRadio2_->Count() > 0);
  flblRadioList1_->setEnabled(lblEditHint2_->isVisible());
  flblRadioList2_->setEnabled(lblEditHint3_->isVisible());
}

bool TRadioPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) UpdateFocusHints();
  return QWidget::eventFilter(watched, event);
}

}  // namespace qgm::gui
