// The numeric edit's rules, driven by real key events (offscreen platform).
#include "gui/controls/NumEdit.h"
#include "support/Pictures.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>

namespace qgm::gui {
namespace {

// The field and a neighbour in one active window, so focus really moves.
class NumEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<QWidget>();
    window_->resize(300, 60);
    edit_ = new TNumedit(window_.get());
    edit_->setGeometry(0, 0, 120, 24);
    other_ = new QLineEdit(window_.get());
    other_->setGeometry(0, 30, 120, 24);
    window_->show();
    window_->activateWindow();
    QApplication::setActiveWindow(window_.get());
    edit_->setFocus();
    QApplication::processEvents();
  }
  void Type(const char* keys) { QTest::keyClicks(edit_, QString::fromLatin1(keys)); }
  std::unique_ptr<QWidget> window_;
  TNumedit* edit_ = nullptr;
  QLineEdit* other_ = nullptr;
};

TEST_F(NumEditTest, IntegerFieldRefusesTheSeparator) {
  Type("1.5");
  EXPECT_EQ(edit_->text(), QStringLiteral("15"));
  Type("x");
  EXPECT_EQ(edit_->text(), QStringLiteral("15"));
}

TEST_F(NumEditTest, DecimalPlacesLimitTyping) {
  edit_->SetNumericType(TNumedit::ntGeneral);
  edit_->SetDecimalPlaces(2);
  edit_->setText(QString());
  Type("3.141");
  EXPECT_EQ(edit_->text(), QStringLiteral("3.14"));
}

TEST_F(NumEditTest, OutOfRangeShowsRedAndReadsTheLimit) {
  edit_->SetMinVal(1);
  edit_->SetMaxVal(10);
  edit_->setText(QString());
  Type("12");
  EXPECT_EQ(edit_->text(), QStringLiteral("12"));
  EXPECT_FALSE(edit_->InRange());
  // Red, as dark as it needs to be to read on the field.
  const QColor red = edit_->palette().color(QPalette::Text);
  EXPECT_EQ(red.hue(), 0);
  EXPECT_EQ(red.green(), 0);
  EXPECT_GE(red.red(), 200);
  EXPECT_GE(test::Contrast(red.rgb(), edit_->palette().color(QPalette::Base).rgb()), 4.5);
  EXPECT_EQ(edit_->Value(), 1.0L);
  edit_->SetMinVal(-5);
  edit_->SetMaxVal(5);
  edit_->setText(QStringLiteral("9"));
  EXPECT_EQ(edit_->Value(), 0.0L);
}

TEST_F(NumEditTest, UpAndDownWithinTheLimits) {
  edit_->setText(QStringLiteral("0"));
  QTest::keyClick(edit_, Qt::Key_Up);  // both limits 0: no step up from 0
  EXPECT_EQ(edit_->Value(), 0.0L);
  QTest::keyClick(edit_, Qt::Key_Down);
  EXPECT_EQ(edit_->Value(), 0.0L);
  edit_->SetMaxVal(3);
  edit_->setText(QStringLiteral("2"));
  QTest::keyClick(edit_, Qt::Key_Up);
  QTest::keyClick(edit_, Qt::Key_Up);
  EXPECT_EQ(edit_->text(), QStringLiteral("3"));
}

TEST_F(NumEditTest, DisplayFormats) {
  edit_->clearFocus();
  edit_->SetNumericType(TNumedit::ntGeneral);
  edit_->SetDecimalPlaces(2);
  edit_->SetDecimalsTruncated(true);
  edit_->SetValue(12.5);
  EXPECT_EQ(edit_->DisplayText(), QStringLiteral("12.5"));
  edit_->SetValue(3);
  EXPECT_EQ(edit_->DisplayText(), QStringLiteral("3"));
  edit_->SetValue(1234.5);
  EXPECT_EQ(edit_->DisplayText(), QStringLiteral("1,234.5"));
  edit_->SetNumericType(TNumedit::ntPercent);
  EXPECT_EQ(edit_->DisplayText(), QStringLiteral("1234.50%"));
}

TEST_F(NumEditTest, FocusEmptiesZeroAndLeavingShowsItAgain) {
  other_->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(edit_->text(), QStringLiteral("0"));
  edit_->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(edit_->text(), QString());
  other_->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(edit_->text(), QStringLiteral("0"));
}

TEST_F(NumEditTest, TextWiderThanTheFieldIsRefused) {
  edit_->setGeometry(0, 0, 40, 24);
  edit_->setText(QString());
  Type("123456789012345");
  EXPECT_LT(edit_->text().size(), 15);
  EXPECT_GT(edit_->text().size(), 0);
}

TEST_F(NumEditTest, EditingKeysAndPaste) {
  edit_->setText(QStringLiteral("1234"));
  edit_->setCursorPosition(4);
  QTest::keyClick(edit_, Qt::Key_Backspace);
  EXPECT_EQ(edit_->text(), QStringLiteral("123"));
  edit_->setCursorPosition(0);
  QTest::keyClick(edit_, Qt::Key_Delete);
  EXPECT_EQ(edit_->text(), QStringLiteral("23"));
  QApplication::clipboard()->setText(QStringLiteral("$ 1,000"));
  edit_->selectAll();
  QTest::keyClick(edit_, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit_->text(), QStringLiteral("1000"));
  EXPECT_EQ(TNumedit::CleanText(QStringLiteral("-1,234.5 %")), QStringLiteral("-1234.5"));
}

TEST_F(NumEditTest, EveryOtherWayOfEditingFollowsTheSameRules) {
  int changes = 0;
  QObject::connect(edit_, &TNumedit::changed, [&changes] { ++changes; });
  Type("80");
  changes = 0;
  // Shift+Insert pastes like Ctrl+V: only the characters a number holds.
  QApplication::clipboard()->setText(QStringLiteral("x1"));
  QTest::keyClick(edit_, Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(edit_->text(), QStringLiteral("801"));
  EXPECT_EQ(edit_->Value(), 801.0L);
  EXPECT_EQ(changes, 1);
  // The context menu's Paste and a drop insert through the same path.
  edit_->insert(QStringLiteral("x0"));
  EXPECT_EQ(edit_->text(), QStringLiteral("8010"));
  EXPECT_EQ(changes, 2);
  // A separator in an integer field is refused, whatever inserts it.
  edit_->insert(QStringLiteral("."));
  EXPECT_EQ(edit_->text(), QStringLiteral("8010"));
  EXPECT_EQ(changes, 2);
  // Undo gives a text the rules check again.
  edit_->undo();
  EXPECT_EQ(edit_->Value(), static_cast<long double>(edit_->text().toInt()));
}

}  // namespace
}  // namespace qgm::gui
