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
  static bool Available() {
    return assumeAvailable_ >= 0 ? assumeAvailable_ == 1 : QSystemTrayIcon::isSystemTrayAvailable();
  }
  // For tests on a desktop without a tray: 1 acts as if there were one, 0
  // as if there were none, -1 asks the desktop again.
  static void AssumeAvailable(int available) { assumeAvailable_ = available; }

  std::function<void()> OnClick;
  std::function<void()> OnDoubleClick;

 private:
  static inline int assumeAvailable_ = -1;
  QSystemTrayIcon tray_;
  QString hint_;
  bool hasPicture_ = false;
};

}  // namespace qgm::gui
