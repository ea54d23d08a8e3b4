#pragma once
// The notification-area icon: the picture, a hint cut to 127 characters,
// the menu, and clicks, over QSystemTrayIcon.

#include <QObject>
#include <QSystemTrayIcon>

#include <functional>

#include "core/util/Pixmap.h"

class QMenu;

namespace qgm::gui {

QPixmap ToQPixmap(const TPixmap& picture);

class TTrayIcon : public QObject {
  Q_OBJECT
 public:
  explicit TTrayIcon(QObject* parent = nullptr);

  void SetPicture(const TPixmap& picture);
  // The hint as the notification area takes it: at most 127 characters.
  void SetHint(const QString& hint);
  QString Hint() const { return hint_; }
  void SetMenu(QMenu* menu);
  // Shows the icon (no effect before it has a picture).
  void Show();
  // Removes the icon and adds it again (a tray host that lost it).
  void Readd();
  bool Visible() const { return tray_.isVisible(); }
  static bool Available() { return QSystemTrayIcon::isSystemTrayAvailable(); }

  std::function<void()> OnClick;
  std::function<void()> OnDoubleClick;

 private:
  QSystemTrayIcon tray_;
  QString hint_;
  bool hasPicture_ = false;
};

}  // namespace qgm::gui
