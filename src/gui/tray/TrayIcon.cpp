#include "gui/tray/TrayIcon.h"

#include <QAction>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QSystemTrayIcon>

#include <cmath>

#include "core/tray/TrayIconSizes.h"

namespace qgm::gui {

QPixmap ToQPixmap(const TPixmap& picture) {
  // The core's pixels are 0xAARRGGBB with straight alpha: Qt's ARGB32.
  QImage image(reinterpret_cast<const uchar*>(picture.Pixels.data()), picture.Width, picture.Height,
               picture.Width * 4, QImage::Format_ARGB32);
  return QPixmap::fromImage(image.copy());
}

QIcon TrayIconAtSizes(const std::function<TPixmap(int size)>& draw) {
  const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
  QIcon icon;
  QList<int> drawn;
  // (Qt sends a StatusNotifier host the pictures up to 64 pixels.)
  for (const int size : kTrayIconSizes) {
    for (const int pixels : {size, static_cast<int>(std::lround(size * ratio))}) {
      if (drawn.contains(pixels)) continue;
      drawn.append(pixels);
      icon.addPixmap(ToQPixmap(draw(pixels)));
    }
  }
  return icon;
}

TTrayIcon::TTrayIcon(QObject* parent) : QObject(parent) {
  hosts_.OnChanged = [this] { HostsChanged(); };
  if (Kind() != ETrayKind::None) Build();
}

void TTrayIcon::HostsChanged() {
  const bool there = (assumed_ ? *assumed_ : hosts_.Kind()) != ETrayKind::None;
  if (!tray_) {
    if (!there) return;
    Build();
    if (OnArrived) OnArrived();
    return;
  }
  // Qt's way into the tray stays what it was when the icon was made; the
  // host behind it may go (a panel that crashed, an extension switched
  // off) and come back.
  if (there != gone_) return;
  gone_ = !there;
  UpdateFigureRows();
  if (gone_) {
    if (OnGone) OnGone();
  } else {
    Readd();
    if (OnArrived) OnArrived();
  }
}

TTrayIcon::~TTrayIcon() = default;

ETrayKind TTrayIcon::Kind() const {
  if (assumed_) return *assumed_;
  // Qt chose its way into the tray when the icon was made: it stays while
  // a host is there.
  if (tray_) return gone_ ? ETrayKind::None : builtKind_;
  return hosts_.Kind();
}

void TTrayIcon::Build() {
  builtKind_ = Kind();
  tray_ = new QSystemTrayIcon(this);
  connect(tray_, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) {
            if (Kind() == ETrayKind::StatusNotifier) {
              if (reason == QSystemTrayIcon::Trigger && OnActivate) OnActivate();
              if (reason == QSystemTrayIcon::MiddleClick && OnSecondaryActivate)
                OnSecondaryActivate();
              return;
            }
            if (reason == QSystemTrayIcon::Trigger && OnClick) OnClick();
            if (reason == QSystemTrayIcon::DoubleClick && OnDoubleClick) OnDoubleClick();
          });
  if (!icon_.isNull()) tray_->setIcon(icon_);
  tray_->setToolTip(hint_);
  if (menu_) tray_->setContextMenu(menu_);
  UpdateFigureRows();
  if (wanted_) Show();
}

void TTrayIcon::SetIcon(const QIcon& icon) {
  icon_ = icon;
  if (!tray_) return;
  tray_->setIcon(icon_);
  // Asked to show before the first picture came: it shows with it.
  if (wanted_ && !icon_.isNull() && !tray_->isVisible()) tray_->show();
}

void TTrayIcon::SetHint(const QString& hint) {
  hint_ = hint.left(127);
  if (tray_) tray_->setToolTip(hint_);
  UpdateFigureRows();
}

void TTrayIcon::SetMenu(QMenu* menu) {
  menu_ = menu;
  figureRows_.clear();
  if (menu_) {
    connect(menu_, &QMenu::aboutToShow, this, [this] {
      if (Kind() != ETrayKind::StatusNotifier && OnMenuOpened) OnMenuOpened();
    });
    connect(menu_, &QMenu::aboutToHide, this, [this] {
      if (Kind() == ETrayKind::StatusNotifier && OnMenuOpened) OnMenuOpened();
    });
  }
  UpdateFigureRows();
  if (tray_) tray_->setContextMenu(menu);
}

void TTrayIcon::UpdateFigureRows() {
  if (!menu_) return;
  QStringList lines = hint_.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  const bool shown = Kind() == ETrayKind::StatusNotifier && !lines.isEmpty();
  // As many rows as the longest hint has lines (an account's name, then
  // three), and the separator; made the first time they are needed.
  constexpr size_t kRows = 4;
  if (figureRows_.empty() && !shown) return;
  while (figureRows_.size() <= kRows) {
    QAction* before = menu_->actions().value(static_cast<qsizetype>(figureRows_.size()));
    QAction* row = new QAction(menu_);
    if (figureRows_.size() == kRows) {
      row->setSeparator(true);
    } else {
      row->setEnabled(false);
    }
    menu_->insertAction(before, row);
    figureRows_.push_back(row);
  }
  for (size_t i = 0; i < kRows; ++i) {
    const qsizetype line = static_cast<qsizetype>(i);
    // A menu takes "&" for the next letter's key.
    QString text = lines.value(line);
    figureRows_[i]->setText(text.replace(QLatin1Char('&'), QStringLiteral("&&")));
    figureRows_[i]->setVisible(shown && line < lines.size());
  }
  figureRows_[kRows]->setVisible(shown);
}

void TTrayIcon::Show() {
  wanted_ = true;
  if (tray_ && !icon_.isNull()) tray_->show();
}

void TTrayIcon::Readd() {
  // Only an XEmbed tray loses icons; a StatusNotifier host follows the
  // item by its bus name, and a new registration would only stand beside
  // the old one there for a while.
  if (!tray_ || icon_.isNull() || Kind() != ETrayKind::XEmbed) return;
  tray_->hide();
  tray_->show();
}

bool TTrayIcon::Visible() const {
  return tray_ && tray_->isVisible() && Kind() != ETrayKind::None;
}

}  // namespace qgm::gui
