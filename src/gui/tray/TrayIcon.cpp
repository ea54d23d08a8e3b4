#include "gui/tray/TrayIcon.h"

#include <QImage>
#include <QMenu>

namespace qgm::gui {

QPixmap ToQPixmap(const TPixmap& picture) {
  // The core's pixels are 0xAARRGGBB with straight alpha: Qt's ARGB32.
  QImage image(reinterpret_cast<const uchar*>(picture.Pixels.data()), picture.Width, picture.Height,
               picture.Width * 4, QImage::Format_ARGB32);
  return QPixmap::fromImage(image.copy());
}

TTrayIcon::TTrayIcon(QObject* parent) : QObject(parent) {
  connect(&tray_, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger && OnClick) OnClick();
            if (reason == QSystemTrayIcon::DoubleClick && OnDoubleClick) OnDoubleClick();
          });
}

void TTrayIcon::SetPicture(const TPixmap& picture) {
  tray_.setIcon(QIcon(ToQPixmap(picture)));
  hasPicture_ = true;
}

void TTrayIcon::SetHint(const QString& hint) {
  hint_ = hint.left(127);
  tray_.setToolTip(hint_);
}

void TTrayIcon::SetMenu(QMenu* menu) {
  tray_.setContextMenu(menu);
}

void TTrayIcon::Show() {
  if (hasPicture_) tray_.show();
}

void TTrayIcon::Readd() {
  if (!hasPicture_) return;
  tray_.hide();
  tray_.show();
}

}  // namespace qgm::gui
