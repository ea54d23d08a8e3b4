#pragma once
// A row of the Setup tab's lists: a mailbox (login name and password) or a
// radio channel (caption and stream address), drawn as a list row with its
// caption.

#include <QString>

#include "gui/controls/ScrollItem.h"

namespace qgm::gui {

class TMyItem : public TScrollItem {
 public:
  QString Caption;
  QString Value;     // a mailbox's password, a channel's address
  QString LastUidl;  // a mailbox's, kept as it was stored

  void Paint(QPainter& painter) override;
  QString AccessibleText() const override { return Caption; }
};

}  // namespace qgm::gui
