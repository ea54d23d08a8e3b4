// The scrolling item list: layout, selection, outline, keyboard, mouse,
// scrolling and painting, driven through real events on the offscreen
// platform.
#include "ListFixture.h"

#include "gui/controls/ListLook.h"

#include <QScrollBar>
#include <QWheelEvent>

namespace qgm::gui::testing {
namespace {

using ScrollingCtrlTest = ListFixture;

TEST_F(ScrollingCtrlTest, FirstItemIsSelectedWithoutAnItemChangeAndSeveralChangesGiveOneCall) {
  Fill(3);
  Settle();
  EXPECT_TRUE(Item(0).Selected());
  EXPECT_EQ(list_->ItemIndex(), 0);
  EXPECT_EQ(changes_, 0);
  // Two selections in one event: one call, after the event.
  Item(1).Select();
  Item(2).Select();
  EXPECT_EQ(changes_, 0);
  Settle();
  EXPECT_EQ(changes_, 1);
  EXPECT_FALSE(Item(1).Selected());
  EXPECT_TRUE(Item(2).Selected());
  list_->Clear();
  Settle();
  EXPECT_EQ(changes_, 2);
  EXPECT_EQ(list_->Count(), 0);
  EXPECT_EQ(list_->SurfaceHeight(), 0);
  EXPECT_EQ(list_->SelectedItem(), nullptr);
}

TEST_F(ScrollingCtrlTest, LayoutFollowsSpacingAndPropertiesWaitForAnEmptyList) {
  list_->SetVertSpace(3);
  list_->SetTopOffset(4);
  list_->SetHorzSpace(5);
  Fill(4, 20);
  EXPECT_EQ(Item(0).Top(), 7);
  EXPECT_EQ(Item(1).Top(), 30);
  ExpectLaidOut();
  list_->SetHorzSpace(9);
  list_->SetVertSpace(9);
  list_->SetTopOffset(9);
  EXPECT_EQ(list_->HorzSpace(), 5);
  EXPECT_EQ(list_->VertSpace(), 3);
  EXPECT_EQ(list_->TopOffset(), 4);
  list_->SetDefaultItemHeight(3);
  EXPECT_EQ(list_->DefaultItemHeight(), 20);
  list_->SetDefaultStyle(4);
  EXPECT_EQ(list_->DefaultStyle(), 0);
  list_->SetDefaultStyle(2);
  EXPECT_EQ(list_->AddItem()->Style, 2);
  // Heights move the later items, hidden items take no room.
  Item(1).SetHeight(50);
  ExpectLaidOut();
  Item(2).SetVisible(false);
  ExpectLaidOut();
  Item(2).SetHeight(40);  // hidden: waits to be shown
  ExpectLaidOut();
  Item(2).SetVisible(true);
  EXPECT_EQ(Item(2).Height(), 40);
  ExpectLaidOut();
  Item(3).SetHeight(0);
  ExpectLaidOut();
}

TEST_F(ScrollingCtrlTest, MisuseRaisesItsMessageAndLeavesTheListAsItWas) {
  Fill(2, 18, {0, 1});
  const int surface = list_->SurfaceHeight();
  auto expectMessage = [](auto&& call, const char* message) {
    try {
      call();
      ADD_FAILURE() << "no error for " << message;
    } catch (const EListError& e) {
      EXPECT_STREQ(e.what(), message);
    }
  };
  expectMessage([&] { list_->GetItem(2); }, "GetItem: Range error.");
  expectMessage([&] { list_->GetItem(-1); }, "GetItem: Range error.");
  expectMessage([&] { list_->DeleteItem(2); }, "DeleteItem: index out of range.");
  expectMessage([&] { list_->DeleteItem(0); }, "DeleteItem: Can't delete items with children.");
  expectMessage([&] { list_->SetScrollItemClass<TScrollItem>(); },
                "SetScrollItemClass: item list must be empty.");
  EXPECT_EQ(list_->Count(), 2);
  EXPECT_EQ(list_->SurfaceHeight(), surface);
  EXPECT_TRUE(Item(0).Selected());
  list_->Clear();
  list_->SetScrollItemClass(nullptr);
  expectMessage([&] { list_->AddItem(); }, "No ScrollItemClass defined.");
  EXPECT_EQ(list_->Count(), 0);
}

TEST_F(ScrollingCtrlTest, CollapsingMovesTheSelectionUpAndExpandingShowsOnlyDirectChildren) {
  //  0 parent, 1 child, 2 grandchild, 3 child, 4 top level
  Fill(5, 18, {0, 1, 2, 1, 0});
  Item(2).Select();
  Settle();
  changes_ = 0;
  Item(0).SetCollapsed(true);
  EXPECT_TRUE(Item(0).Selected());
  EXPECT_FALSE(Item(2).Selected());
  for (int i = 1; i <= 3; ++i) EXPECT_FALSE(Item(i).Visible()) << i;
  EXPECT_EQ(Item(4).Top(), Item(0).Top() + 18 + list_->VertSpace());
  ExpectLaidOut();
  Settle();
  EXPECT_EQ(changes_, 1);
  Item(0).SetCollapsed(false);
  EXPECT_TRUE(Item(1).Visible());
  EXPECT_TRUE(Item(1).Collapsed());  // it has a child of its own
  EXPECT_FALSE(Item(2).Visible());
  EXPECT_TRUE(Item(3).Visible());
  ExpectLaidOut();
  // Selecting a hidden item does nothing.
  Item(2).Select();
  EXPECT_TRUE(Item(0).Selected());
  EXPECT_EQ(Item(2).Parent(), &Item(1));
  EXPECT_EQ(Item(4).Parent(), nullptr);
}

TEST_F(ScrollingCtrlTest, DeletingTheSelectedItemMovesTheSelection) {
  //  0 parent, 1 child, 2 child, 3 top level
  Fill(4, 18, {0, 1, 1, 0});
  Item(1).Select();
  list_->DeleteItem(1);  // next visible, same parent
  EXPECT_EQ(list_->Count(), 3);
  EXPECT_EQ(list_->ItemIndex(), 1);
  EXPECT_TRUE(Item(1).Selected());
  EXPECT_EQ(Item(1).Index(), 1);
  list_->DeleteItem(1);  // next visible has another parent: the previous one
  EXPECT_EQ(list_->ItemIndex(), 0);
  EXPECT_TRUE(Item(0).Selected());
  ExpectLaidOut();
  // The item above the selection goes: the index follows the item.
  Item(1).Select();
  list_->DeleteItem(0);
  EXPECT_EQ(list_->ItemIndex(), 0);
  EXPECT_TRUE(Item(0).Selected());
  // The last item: nothing selected, nothing left over.
  list_->DeleteItem(0);
  EXPECT_EQ(list_->Count(), 0);
  EXPECT_EQ(list_->SelectedItem(), nullptr);
  EXPECT_EQ(list_->SurfaceHeight(), 0);
}

TEST_F(ScrollingCtrlTest, LongSurfaceScalesTheScrollBarByPowersOfTwo) {
  list_->SetVertSpace(0);
  list_->SetTopOffset(0);
  list_->BeginUpdate();
  Fill(1000, 100);
  list_->EndUpdate();
  ASSERT_EQ(list_->SurfaceHeight(), 100000);
  EXPECT_EQ(list_->ScrollShift(), 2);  // 99999 halved twice is 24999
  EXPECT_TRUE(list_->HasVScroll());
  QScrollBar* bar = list_->verticalScrollBar();
  EXPECT_EQ(bar->maximum(), 24999 - list_->ClientHeight() / 4 + 1);
  // Positions keep every pixel; the bar shows them scaled.
  list_->ScrollTo(50001);
  EXPECT_EQ(list_->ScrollPos(), 50001);
  EXPECT_EQ(bar->value(), 12500);
  // Dragging the thumb to the end reaches the end of the surface.
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(list_->ScrollPos(), 100000 - list_->ClientHeight());
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(list_->ScrollPos(), 100000 - list_->ClientHeight() - 100);
  list_->ScrollTo(-5);
  EXPECT_EQ(list_->ScrollPos(), 0);
  list_->Clear();
  EXPECT_FALSE(list_->HasVScroll());
}

TEST_F(ScrollingCtrlTest, FirstVisibleAndItemAtYFollowTheScroll) {
  Fill(100, 18);  // each item 20 pixels apart
  list_->ScrollTo(200);
  // Item 9 covers -16..2 on screen: its bottom reaches the top margin.
  EXPECT_EQ(list_->FirstVisible(), 9);
  EXPECT_EQ(list_->ItemAtY(0), &Item(9));
  EXPECT_EQ(list_->ItemAtY(3), &Item(10));  // the gap belongs to the item below it
  EXPECT_EQ(list_->ItemAtY(30), &Item(11));
  EXPECT_EQ(list_->ItemAtY(-25), &Item(8));
  list_->ScrollTo(list_->SurfaceHeight());
  EXPECT_EQ(list_->ItemAtY(list_->ClientHeight() + 5), nullptr);
}

TEST_F(ScrollingCtrlTest, PaintingCoversOnlyWhatIsOnScreen) {
  list_->BeginUpdate();
  Fill(5000, 18);
  list_->EndUpdate();
  list_->ScrollTo(40000);
  auto paints = [&] {
    int sum = 0;
    for (int i = 0; i < list_->Count(); ++i) sum += static_cast<TCaptionItem&>(Item(i)).Paints;
    return sum;
  };
  list_->viewport()->grab();
  const int onScreen = list_->ClientHeight() / 20 + 2;
  EXPECT_GT(paints(), 0);
  EXPECT_LE(paints(), onScreen);
  EXPECT_GT(static_cast<TCaptionItem&>(Item(40000 / 20)).Paints, 0);
}

TEST_F(ScrollingCtrlTest, KeyboardWalksOverHiddenItems) {
  //  0, 1 parent, 2 child, 3 child, 4, 5 parent, 6 child
  Fill(7, 18, {0, 0, 1, 1, 0, 0, 1});
  Item(1).SetCollapsed(true);
  Item(5).SetCollapsed(true);
  Key(Qt::Key_Down);
  Key(Qt::Key_Down);
  EXPECT_EQ(list_->ItemIndex(), 4);
  Key(Qt::Key_Up);
  EXPECT_EQ(list_->ItemIndex(), 1);
  Key(Qt::Key_Right);  // expand
  EXPECT_TRUE(Item(2).Visible());
  Key(Qt::Key_Down);
  EXPECT_EQ(list_->ItemIndex(), 2);
  Key(Qt::Key_Left);  // collapses the parent, which takes the selection
  EXPECT_EQ(list_->ItemIndex(), 1);
  EXPECT_FALSE(Item(2).Visible());
  Key(Qt::Key_End);  // the last is hidden: the one before it that shows
  EXPECT_EQ(list_->ItemIndex(), 5);
  Key(Qt::Key_Home);
  EXPECT_EQ(list_->ItemIndex(), 0);
  Key(Qt::Key_Up);  // nothing before the first
  EXPECT_EQ(list_->ItemIndex(), 0);
  // Alt held: the list leaves the key alone.
  Key(Qt::Key_Down, Qt::AltModifier);
  EXPECT_EQ(list_->ItemIndex(), 0);
  // The owner's handler can take a key first.
  list_->OnKeyDown = [](QKeyEvent& e) { return e.key() == Qt::Key_Down; };
  Key(Qt::Key_Down);
  EXPECT_EQ(list_->ItemIndex(), 0);
}

TEST_F(ScrollingCtrlTest, PagesAndLinesScrollByTheClientAndTheItemHeight) {
  Fill(100, 18);  // 20 pixels apart, ten per 200-pixel page
  // The first page: the item at the bottom edge, scrolled fully in.
  Key(Qt::Key_PageDown);
  EXPECT_EQ(list_->ItemIndex(), 9);
  EXPECT_EQ(list_->ScrollPos(), 4);
  // From the bottom edge: a page further on.
  Key(Qt::Key_PageDown);
  EXPECT_EQ(list_->ItemIndex(), 20);
  EXPECT_EQ(Item(20).ScreenTop() + 18 + list_->VertSpace(), list_->ClientHeight());
  Key(Qt::Key_PageUp);
  Key(Qt::Key_PageUp);
  Key(Qt::Key_PageUp);
  EXPECT_EQ(list_->ItemIndex(), 0);
  EXPECT_EQ(list_->ScrollPos(), 0);
  list_->SetDefaultItemHeight(25);
  Key(Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(list_->ScrollPos(), 25);
  EXPECT_EQ(list_->ItemIndex(), 0);
  Key(Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_EQ(list_->ScrollPos(), 0);
  // The wheel: a notch is the desktop's wheel lines times the item height.
  QApplication::setWheelScrollLines(3);
  QWheelEvent wheel(QPointF(20, 20), list_->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(list_->viewport(), &wheel);
  EXPECT_EQ(list_->ScrollPos(), 75);
}

TEST_F(ScrollingCtrlTest, CheckBoxesToggleByKeyAndGlyphAndReportOnce) {
  Fill(2, 18);
  Item(0).ShowCheckBox = true;
  int reports = 0;
  list_->OnItemCheck = [&](TScrollItem& item) {
    ++reports;
    item.SetChecked(!item.Checked());  // no second report from inside
  };
  Key(Qt::Key_Space);
  EXPECT_EQ(reports, 1);
  EXPECT_FALSE(Item(0).Checked());  // the handler put it back
  list_->OnItemCheck = [&](TScrollItem&) { ++reports; };
  const QPoint glyph = Item(0).GlyphRect().center();
  QTest::mouseClick(list_->viewport(), Qt::LeftButton, Qt::NoModifier, glyph);
  EXPECT_TRUE(Item(0).Checked());
  EXPECT_EQ(reports, 2);
  // An item without a check box ignores it.
  Item(1).SetChecked(true);
  EXPECT_FALSE(Item(1).Checked());
  // A press beside the glyph only selects.
  QTest::mouseClick(list_->viewport(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(120, Item(1).ScreenTop() + 5));
  EXPECT_TRUE(Item(1).Selected());
}

TEST_F(ScrollingCtrlTest, SortIsStableAndCanKeepTheSelection) {
  Fill(6, 18, {0, 1, 0, 0, 0, 0});
  const int keys[6] = {3, 1, 2, 1, 3, 2};
  for (int i = 0; i < 6; ++i)
    static_cast<TCaptionItem&>(Item(i)).Caption = QString::number(keys[i] * 10 + i);
  Item(0).SetCollapsed(true);
  Item(4).Select();  // "34"
  auto byKey = [](const TScrollItem& a, const TScrollItem& b) {
    return static_cast<const TCaptionItem&>(a).Caption.left(1).compare(
        static_cast<const TCaptionItem&>(b).Caption.left(1));
  };
  list_->Sort(byKey, true);
  QStringList order;
  for (int i = 0; i < 6; ++i) order << static_cast<TCaptionItem&>(Item(i)).Caption;
  EXPECT_EQ(order.join(QLatin1Char(' ')), QStringLiteral("11 13 22 25 30 34"));
  EXPECT_EQ(list_->ItemIndex(), 5);
  EXPECT_TRUE(Item(5).Selected());
  for (int i = 0; i < 6; ++i) {
    EXPECT_TRUE(Item(i).Visible());
    EXPECT_EQ(Item(i).Index(), i);
  }
  ExpectLaidOut();
  Settle();
  changes_ = 0;
  list_->Sort([](const TScrollItem&, const TScrollItem&) { return 0; }, false);
  EXPECT_EQ(list_->ItemIndex(), 0);
  EXPECT_TRUE(Item(0).Selected());
  EXPECT_FALSE(Item(5).Selected());
  Settle();
  EXPECT_EQ(changes_, 1);
  // A comparison that fails leaves the order alone.
  EXPECT_THROW(
      list_->Sort([](const TScrollItem&, const TScrollItem&) -> int { throw EListError("x"); },
                  true),
      EListError);
  EXPECT_EQ(static_cast<TCaptionItem&>(Item(0)).Caption, QStringLiteral("11"));
  EXPECT_EQ(list_->Count(), 6);
}

TEST_F(ScrollingCtrlTest, SelectedRowsPaintInTheFocusColours) {
  list_->SetDefaultStyle(2);
  Fill(3, 18);
  const TListColours c = ListColours(list_->palette());
  auto pixel = [&](int item) {
    return list_->viewport()->grab().toImage().pixelColor(120, Item(item).ScreenTop() + 4);
  };
  EXPECT_EQ(pixel(0), c.ActiveCaption);
  other_->setFocus();
  Settle();
  // Without the focus the selection hides by default...
  EXPECT_NE(pixel(0), c.ActiveCaption);
  EXPECT_NE(pixel(0), c.InactiveCaption);
  // ...or shows in the inactive colour.
  list_->SetHideSelection(false);
  EXPECT_EQ(pixel(0), c.InactiveCaption);
  // The glyph sheet is the 400 x 16 sheet, magenta between the cells.
  EXPECT_EQ(ListGlyphs().size(), QSize(400, 16));
  EXPECT_EQ(ListGlyphs().toImage().pixelColor(0, 0), QColor(255, 0, 255));
  EXPECT_NE(ListGlyphs().toImage().pixelColor(GlyphCell(gcBoxTicked).center()),
            ListGlyphs().toImage().pixelColor(GlyphCell(gcBoxEmpty).center()));
}

}  // namespace
}  // namespace qgm::gui::testing
