#pragma once
// The notification-area icon: the picture at every size a panel asks for,
// a hint cut to 127 characters, the menu, and presses, over QSystemTrayIcon.
// It knows which kind of tray it lives in (XEmbed, StatusNotifier or none)
// and moves into a tray that appears after the program started.

#include <QIcon>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

#include "core/util/Pixmap.h"
#include "gui/platform/TrayHosts.h"

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace qgm::gui {

QPixmap ToQPixmap(const TPixmap& picture);
// One picture drawn by `draw` at each tray size, and at each size times
// the screen's device pixel ratio, as one icon: the panel or the tray
// host picks the size it shows.
QIcon TrayIconAtSizes(const std::function<TPixmap(int size)>& draw);

class TTrayIcon : public QObject {
  Q_OBJECT
 public:
  explicit TTrayIcon(QObject* parent = nullptr);
  ~TTrayIcon() override;

  void SetIcon(const QIcon& icon);
  // The hint as the notification area takes it: at most 127 characters.
  // On a StatusNotifier host it is also the menu's first rows, disabled:
  // some hosts (GNOME's) show no tooltip.
  void SetHint(const QString& hint);
  QString Hint() const { return hint_; }
  void SetMenu(QMenu* menu);
  // Shows the icon (no effect before it has a picture); without a tray it
  // shows once one appears.
  void Show();
  // Removes the icon and adds it again (an XEmbed tray that lost it).
  void Readd();
  // Whether the icon sits in a tray now.
  bool Visible() const;
  // The tray the icon lives in (or would, once shown).
  ETrayKind Kind() const;
  bool Available() const { return Kind() != ETrayKind::None; }
  // For tests: act as if the desktop offered this kind of tray; nullopt
  // asks the desktop again.
  static void AssumeKind(std::optional<ETrayKind> kind) { assumed_ = kind; }

  // XEmbed trays: a click and a double click.
  std::function<void()> OnClick;
  std::function<void()> OnDoubleClick;
  // StatusNotifier hosts send one press and never a double click; the
  // middle button is the secondary press.
  std::function<void()> OnActivate;
  std::function<void()> OnSecondaryActivate;
  // The user opened the tray menu. On a StatusNotifier host that is known
  // when the menu closes: a host may fetch the menu ahead of any opening
  // (GNOME's does, after every change), and Qt reports both alike.
  std::function<void()> OnMenuOpened;
  // A tray appeared after the program started without one, or came back.
  std::function<void()> OnArrived;
  // The tray the icon sat in went away: until it comes back there is none.
  std::function<void()> OnGone;
  // Asks again which tray there is (the hosts say when it may have
  // changed; tests call it after AssumeKind).
  void HostsChanged();

 private:
  // Makes the Qt icon once there is a tray to put it in.
  void Build();
  // The hint's rows at the top of the menu, shown on StatusNotifier hosts.
  void UpdateFigureRows();

  static inline std::optional<ETrayKind> assumed_;
  TTrayHosts hosts_;
  QSystemTrayIcon* tray_ = nullptr;  // a child; null while there is no tray
  ETrayKind builtKind_ = ETrayKind::None;
  QIcon icon_;
  QString hint_;
  QMenu* menu_ = nullptr;
  std::vector<QAction*> figureRows_;  // the hint's lines, then a separator
  bool wanted_ = false;  // Show() was asked for
  bool gone_ = false;    // the tray it was made for went away
};

}  // namespace qgm::gui
