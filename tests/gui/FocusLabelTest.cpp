// The focus label's rules with real input events (offscreen platform).
#include "gui/controls/FocusLabel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

namespace qgm::gui {
namespace {

class FocusLabelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<QWidget>();
    window_->resize(400, 200);
    label_ = new TFocusLabel(QStringLiteral("&Refresh Advisories"), window_.get());
    label_->setGeometry(100, 50, 150, 24);
    window_->show();
    QApplication::setActiveWindow(window_.get());
    QApplication::processEvents();
  }
  std::unique_ptr<QWidget> window_;
  TFocusLabel* label_ = nullptr;
  int clicks_ = 0;
};

TEST_F(FocusLabelTest, SpaceClicksOnceOnRelease) {
  label_->SetTabStop(true);
  label_->setFocus();
  QApplication::processEvents();
  QTest::keyPress(label_, Qt::Key_Space);
  EXPECT_EQ(clicks_, 0);  // no handler yet: nothing happens
  QTest::keyRelease(label_, Qt::Key_Space);
  EXPECT_EQ(clicks_, 0);
  label_->OnClick = [this] { ++clicks_; };
  QTest::keyPress(label_, Qt::Key_Space);
  EXPECT_TRUE(label_->Pressed());
  EXPECT_EQ(clicks_, 0);
  QTest::keyRelease(label_, Qt::Key_Space);
  EXPECT_FALSE(label_->Pressed());
  EXPECT_EQ(clicks_, 1);
}

TEST_F(FocusLabelTest, MouseClickNeedsPressAndReleaseOnTheLabel) {
  label_->OnClick = [this] { ++clicks_; };
  QTest::mouseClick(label_, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(clicks_, 1);
  QTest::mousePress(label_, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(label_->Pressed());
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(label_, &leave);  // moving out clears the pressed look
  EXPECT_FALSE(label_->Pressed());
  QTest::mouseRelease(label_, Qt::LeftButton, {}, QPoint(400, 400));
  EXPECT_EQ(clicks_, 1);  // released outside: no click
}

TEST_F(FocusLabelTest, AcceleratorClicks) {
  label_->OnClick = [this] { ++clicks_; };
  QTest::keyClick(window_.get(), Qt::Key_R, Qt::AltModifier);
  EXPECT_EQ(clicks_, 1);
  label_->setEnabled(false);
  QTest::keyClick(window_.get(), Qt::Key_R, Qt::AltModifier);
  EXPECT_EQ(clicks_, 1);
}

TEST_F(FocusLabelTest, DisabledIgnoresHover) {
  QEnterEvent enter(QPointF(5, 5), QPointF(105, 55), QPointF(105, 55));
  QApplication::sendEvent(label_, &enter);
  EXPECT_TRUE(label_->MouseOver());
  label_->setEnabled(false);
  EXPECT_FALSE(label_->MouseOver());
  QApplication::sendEvent(label_, &enter);
  EXPECT_FALSE(label_->MouseOver());
}

TEST_F(FocusLabelTest, PaddingRules) {
  label_->SetPadding(40);
  EXPECT_EQ(label_->Padding(), 30);
  label_->SetPadding(0);
  EXPECT_EQ(label_->Padding(), 0);
  label_->SetTabStop(true);
  EXPECT_EQ(label_->Padding(), 2);
  label_->SetPadding(0);
  EXPECT_EQ(label_->Padding(), 2);
}

TEST_F(FocusLabelTest, CentredAutoSizeGrowsAboutItsCentre) {
  label_->SetAutoSize(true);
  const QRect before = label_->geometry();
  // Add text about 20 pixels wide.
  QString extra;
  while (label_->fontMetrics().horizontalAdvance(extra) < 20) extra += QLatin1Char('x');
  auto measure = [this](const QString& text) {
    return label_->fontMetrics()
        .boundingRect(QRect(0, 0, 1000, 100), Qt::TextShowMnemonic, text)
        .width();
  };
  const int grow = measure(label_->Caption() + extra) - measure(label_->Caption());
  label_->SetCaption(label_->Caption() + extra);
  const QRect after = label_->geometry();
  EXPECT_NEAR(after.width() - before.width(), grow, 1);
  EXPECT_NEAR(before.left() - after.left(), grow / 2, 1);
  EXPECT_NEAR(after.center().x(), before.center().x(), 1);
}

}  // namespace
}  // namespace qgm::gui
