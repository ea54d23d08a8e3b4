// The item editor over a list: stretching and restoring the item, the exit
// path on every way it closes, the focus target and narrowed fields; and
// the scroll header's edges.
#include "ListFixture.h"

#include "gui/controls/ListLook.h"
#include "gui/controls/ScrollHeader.h"

#include <QScrollBar>
#include <QWheelEvent>

#include <cstdlib>

namespace qgm::gui::testing {
namespace {

class ItemEditorTest : public ListFixture {
 protected:
  void SetUp() override {
    ListFixture::SetUp();
    list_->SetVertSpace(0);
    list_->SetTopOffset(4);
    list_->SetHorzSpace(2);
    list_->SetDefaultStyle(2);
    editor_ = new TItemEditor(window_.get());
    editor_->resize(200, 51);
    name_ = new QLineEdit(editor_);
    name_->setGeometry(20, 3, 100, 21);
    address_ = new QLineEdit(editor_);
    address_->setGeometry(20, 27, 300, 21);
    list_->SetItemEditor(editor_);
    editor_->OnBeforeEnter = [this] {
      ++enters_;
      name_->setText(static_cast<TCaptionItem*>(editor_->Item())->Caption);
    };
    editor_->OnExit = [this] {
      ++exits_;
      static_cast<TCaptionItem*>(editor_->Item())->Caption = name_->text();
    };
  }
  TCaptionItem& Caption(int i) { return static_cast<TCaptionItem&>(Item(i)); }

  TItemEditor* editor_ = nullptr;
  QLineEdit* name_ = nullptr;
  QLineEdit* address_ = nullptr;
  int enters_ = 0;
  int exits_ = 0;
};

TEST_F(ItemEditorTest, OpenEditorStretchesTheItemAndLeavingGivesItsHeightBack) {
  Fill(4, 18);
  Item(1).Select();
  const int thirdTop = Item(2).Top();
  Key(Qt::Key_F2);
  ASSERT_TRUE(editor_->Open());
  EXPECT_EQ(enters_, 1);
  EXPECT_EQ(Item(1).Height(), 51);
  EXPECT_EQ(Item(2).Top(), thirdTop + 33);
  EXPECT_EQ(editor_->geometry(), QRect(0, Item(1).ScreenTop(), list_->ClientWidth(), 51));
  EXPECT_TRUE(name_->hasFocus());  // first in the tab order
  EXPECT_EQ(name_->text(), QStringLiteral("Item 1"));
  // A field wider than the editor is narrowed to end at its edge.
  EXPECT_EQ(address_->geometry().right() + 1, list_->ClientWidth());
  ExpectLaidOut();
  // The user moves on to another control: the fields are stored, the item
  // shrinks back, and the focus stays where the user put it.
  name_->setText(QStringLiteral("Renamed"));
  other_->setFocus();
  Settle();
  EXPECT_FALSE(editor_->Open());
  EXPECT_FALSE(editor_->isVisible());
  EXPECT_EQ(exits_, 1);
  EXPECT_EQ(Caption(1).Caption, QStringLiteral("Renamed"));
  EXPECT_EQ(Item(1).Height(), 18);
  EXPECT_EQ(Item(2).Top(), thirdTop);
  EXPECT_EQ(editor_->LastItemIndex(), 1);
  EXPECT_TRUE(other_->hasFocus());
  ExpectLaidOut();
  // F2 on the item it just closed on opens it again.
  list_->setFocus();
  Key(Qt::Key_F2);
  EXPECT_TRUE(editor_->Open());
  EXPECT_EQ(enters_, 2);
}

TEST_F(ItemEditorTest, ScrollingTheWheelOrResizingClosesTheEditorThroughItsExitPath) {
  Fill(40, 18);
  auto open = [&] {
    list_->setFocus();
    Item(2).Select();
    Key(Qt::Key_Return);
    ASSERT_TRUE(editor_->Open());
    ASSERT_EQ(Item(2).Height(), 51);
  };
  auto expectClosed = [&](const char* how) {
    EXPECT_FALSE(editor_->Open()) << how;
    EXPECT_EQ(Item(2).Height(), 18) << how;
    EXPECT_TRUE(list_->hasFocus()) << how;
    ExpectLaidOut();
  };
  open();
  list_->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  expectClosed("scroll bar");
  open();
  QWheelEvent wheel(QPointF(20, 20), list_->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(list_->viewport(), &wheel);
  expectClosed("wheel");
  open();
  list_->resize(list_->width(), list_->height() - 30);
  expectClosed("resize");
  open();
  editor_->HideOnDblClick = true;
  QTest::mouseDClick(editor_, Qt::LeftButton, Qt::NoModifier, QPoint(150, 5));
  expectClosed("double-click");
  EXPECT_EQ(exits_, 4);
}

TEST_F(ItemEditorTest, ReadOnlyItemsOnlyScrollIntoView) {
  Fill(40, 18);
  Item(30).ReadOnly = true;
  Item(30).Select();
  list_->ScrollTo(0);
  Key(Qt::Key_Return);
  EXPECT_FALSE(editor_->Open());
  EXPECT_GE(Item(30).ScreenTop(), 0);
  EXPECT_LE(Item(30).ScreenTop() + 18, list_->ClientHeight());
  // A double-click asks for the editor after the event; read-only refuses.
  QTest::mouseDClick(list_->viewport(), Qt::LeftButton, Qt::NoModifier,
                     QPoint(120, Item(30).ScreenTop() + 5));
  Settle();
  EXPECT_FALSE(editor_->Open());
  Item(31).Select();
  QTest::mouseDClick(list_->viewport(), Qt::LeftButton, Qt::NoModifier,
                     QPoint(120, Item(31).ScreenTop() + 5));
  EXPECT_FALSE(editor_->Open());  // not before the event is over
  Settle();
  EXPECT_TRUE(editor_->Open());
  EXPECT_EQ(editor_->Item(), &Item(31));
}

TEST_F(ItemEditorTest, DeletingTheEditedItemDetachesTheEditor) {
  Fill(3, 18);
  Item(1).Select();
  Key(Qt::Key_F2);
  ASSERT_TRUE(editor_->Open());
  list_->DeleteItem(1);
  EXPECT_FALSE(editor_->Open());
  EXPECT_EQ(editor_->Item(), nullptr);
  EXPECT_EQ(exits_, 0);  // nothing left to store into
  EXPECT_EQ(list_->Count(), 2);
  ExpectLaidOut();
  EXPECT_TRUE(list_->hasFocus());
}

TEST_F(ItemEditorTest, EditorWithoutAFocusableFieldRaisesAndStaysHidden) {
  Fill(2, 18);
  name_->setEnabled(false);
  address_->setFocusPolicy(Qt::NoFocus);
  try {
    editor_->DoEdit(&Item(1));
    ADD_FAILURE() << "no error";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "DoEdit: No control to take focus");
  }
  EXPECT_TRUE(Item(1).Selected());
  EXPECT_EQ(enters_, 1);
  EXPECT_FALSE(editor_->Open());
  EXPECT_FALSE(editor_->isVisible());
  EXPECT_EQ(Item(1).Height(), 18);
  ExpectLaidOut();
  // From a key the error stays inside the list.
  Key(Qt::Key_F2);
  EXPECT_FALSE(editor_->Open());
}

TEST_F(ItemEditorTest, CollapsingUnderTheEditorReopensItOnTheParent) {
  Fill(4, 18, {0, 1, 1, 0});
  Item(2).Select();
  Key(Qt::Key_F2);
  ASSERT_EQ(editor_->Item(), &Item(2));
  Item(0).SetCollapsed(true);
  EXPECT_TRUE(editor_->Open());
  EXPECT_EQ(editor_->Item(), &Item(0));
  EXPECT_EQ(Item(0).Height(), 51);
  EXPECT_EQ(Item(2).Height(), 18);  // hidden with its own height back
  ExpectLaidOut();
  // A press on the editor's outline button expands again, and the editor
  // stays on the parent.
  const QPoint glyph = Item(0).GlyphRect().center() - editor_->pos();
  QTest::mouseClick(editor_, Qt::LeftButton, Qt::NoModifier, glyph);
  Settle();
  EXPECT_FALSE(Item(0).Collapsed());
  EXPECT_TRUE(Item(1).Visible());
  EXPECT_TRUE(editor_->Open());
  EXPECT_EQ(editor_->Item(), &Item(0));
  ExpectLaidOut();
}

TEST_F(ItemEditorTest, AutoShowEditorFollowsTheSelection) {
  list_->SetAutoShowEditor(true);
  Fill(3, 18);
  list_->setFocus();
  Item(1).Select();
  ASSERT_TRUE(editor_->Open());
  EXPECT_EQ(editor_->Item(), &Item(1));
  EXPECT_EQ(enters_, 1);
  Item(2).Select();
  EXPECT_EQ(editor_->Item(), &Item(2));
  EXPECT_EQ(exits_, 1);
  EXPECT_EQ(Item(1).Height(), 18);
  EXPECT_EQ(Item(2).Height(), 51);
  ExpectLaidOut();
}

TEST_F(ItemEditorTest, ListAndEditorOutliveEachOther) {
  Fill(3, 18);
  Key(Qt::Key_F2);
  ASSERT_TRUE(editor_->Open());
  // The list goes first: the editor, the owner's, stays in the window.
  delete list_;
  list_ = nullptr;
  ASSERT_EQ(editor_->parentWidget(), window_.get());
  EXPECT_FALSE(editor_->Open());
  // The editor goes first: the list has none and keys open nothing.
  list_ = new TScrollingCtrl(window_.get());
  list_->SetScrollItemClass<TCaptionItem>();
  list_->SetItemEditor(editor_);
  list_->SetDefaultItemHeight(18);
  list_->AddItem();
  list_->AddItem();
  list_->show();
  list_->setFocus();
  Key(Qt::Key_F2);
  ASSERT_TRUE(editor_->Open());
  delete editor_;
  editor_ = nullptr;
  EXPECT_EQ(list_->ItemEditor(), nullptr);
  EXPECT_EQ(Item(0).Height(), 18);
  ExpectLaidOut();
  Key(Qt::Key_F2);
  EXPECT_EQ(list_->Count(), 2);
}

TEST(ScrollHeaderTest, ShadowEdgesDrawOnlyTheChosenLines) {
  TScrollHeader header;
  header.resize(120, 20);
  header.SetColor(QColor(200, 210, 220));
  const TListColours c = ListColours(header.palette());
  QImage all = header.grab().toImage();
  EXPECT_EQ(all.pixelColor(0, 10), c.BtnHighlight);
  EXPECT_EQ(all.pixelColor(60, 0), c.BtnHighlight);
  EXPECT_EQ(all.pixelColor(119, 10), c.BtnShadow);
  EXPECT_EQ(all.pixelColor(60, 19), c.BtnShadow);
  header.SetShadowEdges({});
  QImage none = header.grab().toImage();
  for (const QPoint p :
       {QPoint(0, 10), QPoint(60, 0), QPoint(119, 10), QPoint(60, 19), QPoint(60, 10)})
    EXPECT_EQ(none.pixelColor(p), QColor(200, 210, 220)) << p.x() << "," << p.y();
  header.SetShadowEdges(TScrollHeader::seRight | TScrollHeader::seBottom);
  QImage two = header.grab().toImage();
  EXPECT_EQ(two.pixelColor(0, 10), QColor(200, 210, 220));
  EXPECT_EQ(two.pixelColor(119, 10), c.BtnShadow);
}

// The demonstration list: panels and rows, a check box, an outline and the
// editor open. Saved as a picture when QGM_TEST_SHOTS names a folder.
TEST_F(ItemEditorTest, DemonstrationListDrawsEachPart) {
  window_->resize(520, 300);
  window_->setWindowTitle(QStringLiteral("List controls"));
  other_->hide();
  TScrollHeader* header = new TScrollHeader(window_.get());
  header->setGeometry(270, 10, 242, 22);
  header->SetShadowEdges(TScrollHeader::seRight | TScrollHeader::seBottom);
  auto* caption = new QLabel(QStringLiteral(" Email Accounts"), header);
  caption->setGeometry(4, 2, 200, 18);
  header->show();
  caption->show();
  auto* panels = new TScrollingCtrl(window_.get());
  panels->SetScrollItemClass<TCaptionItem>();
  panels->setGeometry(10, 10, 242, 250);
  panels->SetDefaultStyle(1);
  panels->SetDefaultItemHeight(26);
  panels->SetDefaultItemColor(QColor(0xEF, 0xF1, 0xE6));
  panels->SetHorzSpace(1);
  panels->SetVertSpace(3);
  panels->SetHideSelection(false);
  const char* titles[] = {"Outage: Northside exchange",
                          "Maintenance Tuesday 2am",
                          "Faster upload plans",
                          "Holiday support hours",
                          "Mail server move",
                          "New radio channels",
                          "Price review",
                          "Speed test mirror",
                          "Backup line works"};
  for (const char* t : titles)
    static_cast<TCaptionItem*>(panels->AddItem())->Caption = QString::fromLatin1(t);
  panels->GetItem(1)->SetHeight(44);
  panels->show();
  list_->setGeometry(270, 32, 242, 200);
  list_->SetDefaultItemColor(QColor(0xF2, 0xF1, 0xE6));
  Fill(6, 18, {0, 1, 1, 0, 0, 1});
  Item(0).ShowCheckBox = true;
  Item(0).SetChecked(true);
  Item(4).SetCollapsed(true);
  Item(2).Select();
  list_->setFocus();
  Key(Qt::Key_F2);
  ASSERT_TRUE(editor_->Open());
  Settle();
  const QImage shot = window_->grab().toImage();
  // The open editor in its colour, and the glyphs from the sheet.
  const QPoint inEditor =
      list_->viewport()->mapTo(window_.get(), editor_->geometry().topLeft() + QPoint(150, 48));
  EXPECT_EQ(shot.pixelColor(inEditor), ListColours(list_->palette()).InactiveCaption);
  const QPoint tick = list_->viewport()->mapTo(window_.get(), Item(0).GlyphRect().topLeft());
  EXPECT_EQ(shot.copy(QRect(tick, QSize(13, 13))),
            ListGlyphs().toImage().copy(GlyphCell(gcBoxTicked)).convertToFormat(shot.format()));
  if (const char* dir = std::getenv("QGM_TEST_SHOTS"))
    shot.save(QString::fromLocal8Bit(dir) + QStringLiteral("/list-controls.png"));
}

}  // namespace
}  // namespace qgm::gui::testing
