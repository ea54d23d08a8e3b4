// The Setup page against the settings model.
#include "gui/setup/SetupPage.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "gui/controls/NumEdit.h"
#include "support/FakeDialogs.h"

namespace qgm::gui {
namespace {

TEST(SetupPage, ShowsAndEditsTheModel) {
  TSettings s;
  s.AccountName = "john";
  s.Password = "secret";
  s.AccountType = 2;
  s.StartDelay = 60;
  s.UseProxy = false;
  s.ProxyPort = 3128;
  s.TrayFontColor = 0xFFFFFF;  // white text: the preview panel turns grey
  test::FakeDialogs dialogs;
  TSetupPage page(s, dialogs);
  page.resize(307, 420);
  page.LoadFromModel();
  page.show();
  QApplication::processEvents();

  auto* name = page.findChild<QLineEdit*>(QStringLiteral("eUsername"));
  auto* port = page.findChild<TNumedit*>(QStringLiteral("neProxyPort"));
  ASSERT_TRUE(name && port);
  EXPECT_EQ(name->text(), QStringLiteral("john"));
  EXPECT_EQ(port->Value(), 3128.0L);
  EXPECT_FALSE(port->isEnabled());  // proxy off: its fields are off too

  int edits = 0;
  bool marked = false;
  page.OnAccountChange = [&](bool, bool credentials) {
    ++edits;
    marked = credentials;
  };
  name->setFocus();
  QTest::keyClicks(name, QStringLiteral("ny"));
  EXPECT_EQ(s.AccountName, "johnny");
  EXPECT_TRUE(marked);
  EXPECT_EQ(edits, 2);
}

}  // namespace
}  // namespace qgm::gui
