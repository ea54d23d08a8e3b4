#pragma once
// Which notification area the desktop offers: a StatusNotifier host (KDE,
// waybar, GNOME's AppIndicator extension, XFCE's plugin), an XEmbed tray
// manager (X11 panels), or none at all; and word when that may have changed
// (a panel that starts after the program).

#include <QObject>

#include <functional>
#include <memory>

namespace qgm::gui {

enum class ETrayKind { None, XEmbed, StatusNotifier };

inline const char* TrayKindName(ETrayKind kind) {
  return kind == ETrayKind::StatusNotifier ? "statusnotifier"
         : kind == ETrayKind::XEmbed       ? "xembed"
                                           : "none";
}

class TTrayHosts : public QObject {
  Q_OBJECT
 public:
  explicit TTrayHosts(QObject* parent = nullptr);
  ~TTrayHosts() override;

  // A StatusNotifier host comes first, as Qt's own tray code prefers it.
  ETrayKind Kind() const;
  // Called from the event loop when a host or tray manager came or went.
  std::function<void()> OnChanged;

 private Q_SLOTS:
  // A host registered or left (the bus names its signals by string).
  void HostsChanged();

 private:
  struct TState;
  std::unique_ptr<TState> state_;
};

}  // namespace qgm::gui
