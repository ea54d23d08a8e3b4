#pragma once
// A scrolling list (and optionally an item editor) in an active window on
// the offscreen platform, so focus, keys and painting behave as on a desktop.

#include "gui/controls/ItemEditor.h"
#include "gui/controls/ScrollingCtrl.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTest>

#include <memory>
#include <vector>

namespace qgm::gui::testing {

// An item that counts its paints and draws a caption.
class TCaptionItem : public TScrollItem {
 public:
  void Paint(QPainter& painter) override {
    TScrollItem::Paint(painter);
    ++Paints;
    const QRect glyph = GlyphRect();
    painter.drawText(QRect(glyph.right() + 6, ScreenTop(), 400, Height()), Qt::AlignVCenter,
                     Caption);
  }
  QString Caption;
  int Paints = 0;
};

class ListFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<QWidget>();
    window_->resize(320, 260);
    list_ = new TScrollingCtrl(window_.get());
    list_->setGeometry(10, 10, 242, 200);
    list_->SetScrollItemClass<TCaptionItem>();
    list_->OnItemChange = [this] { ++changes_; };
    other_ = new QLineEdit(window_.get());
    other_->setGeometry(10, 220, 100, 24);
    window_->show();
    window_->activateWindow();
    QApplication::setActiveWindow(window_.get());
    list_->setFocus();
    QApplication::processEvents();
  }

  // `n` items of `height` pixels (levels as given, else 0).
  void Fill(int n, int height = 18, const std::vector<int>& levels = {}) {
    list_->SetDefaultItemHeight(height);
    for (int i = 0; i < n; ++i) {
      auto* item = static_cast<TCaptionItem*>(list_->AddItem());
      item->Caption = QStringLiteral("Item %1").arg(i);
      if (static_cast<size_t>(i) < levels.size()) item->Level = levels[static_cast<size_t>(i)];
    }
  }
  TScrollItem& Item(int i) { return *list_->GetItem(i); }
  void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(list_, key, mods);
  }
  // Delivers the list's posted messages.
  void Settle() { QApplication::processEvents(); }
  // Every item's top follows the one before it, as the surface height does.
  void ExpectLaidOut() {
    int top = list_->VertSpace() + list_->TopOffset();
    for (int i = 0; i < list_->Count(); ++i) {
      EXPECT_EQ(Item(i).Top(), top) << "item " << i;
      const int h = Item(i).Visible() ? Item(i).Height() : 0;
      if (h > 0) top += h + list_->VertSpace();
    }
    EXPECT_EQ(list_->SurfaceHeight(), top);
  }

  std::unique_ptr<QWidget> window_;
  TScrollingCtrl* list_ = nullptr;
  QLineEdit* other_ = nullptr;
  int changes_ = 0;
};

}  // namespace qgm::gui::testing
