#pragma once
// One advisory on the Advisories tab: a rounded panel with a ball (orange
// while unseen, green once seen) that opens its link, a paper clip's place
// for an enclosed report, and the title, word-wrapped and justified; a click
// shows or hides the description.

#include <QRect>
#include <QString>

#include <cstdint>
#include <functional>

#include "gui/controls/ScrollItem.h"

class QFontMetrics;

namespace qgm::gui {

class TMyScrollItem : public TScrollItem {
 public:
  QString Title;
  QString Description;
  QString Link;
  QString EnclosureUrl;
  QString EnclosureType;
  uint32_t EnclosureLength = 0;
  bool Expanded = false;
  bool IsNew = false;

  // Opens a link in the browser (the page's).
  std::function<void(const QString& url)> OpenLink;

  // The text width W and the icons' width I.
  int TextWidth() const;
  int IconsWidth() const { return EnclosureUrl.isEmpty() ? 14 : 30; }
  QRect LinkIconRect() const;
  QRect EnclosureIconRect() const;
  // The height the item takes at text width `width`.
  int MeasureHeight(int width) const;
  // Shows or hides the description, adjusting the height.
  void SetExpanded(bool expanded);

  void Paint(QPainter& painter) override;
  void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
  void MouseMove(Qt::KeyboardModifiers shift, int x, int y) override;
  // A double-click opens no editor.
  void DblClick() override {}

  // Told as the title; the description says "new" or "seen" before the
  // text. The item opens to show its description, and opens its link and
  // its report as the mouse does on the ball and the clip.
  QString AccessibleText() const override { return Title; }
  QString AccessibleDescription() const override;
  bool CanExpand() const override { return !Description.isEmpty(); }
  bool ShowsExpanded() const override { return Expanded; }
  void ExpandItem(bool expanded) override { SetExpanded(expanded); }
  QStringList ItemActions() const override;
  void DoItemAction(const QString& action) override;
  static QString OpenLinkAction();
  static QString OpenReportAction();
};

}  // namespace qgm::gui
