// What a screen reader learns of the program's own controls: their roles,
// names, values, states and actions, on the controls alone and on the real
// window with the demo's figures.
#include <QAccessible>
#include <QApplication>
#include <QFormLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "core/platform/dummy/DummyPlatform.h"
#include "gui/app/MainForm.h"
#include "gui/app/Program.h"
#include "gui/broadband/BroadbandPage.h"
#include "gui/broadband/PercentBar.h"
#include "gui/controls/FocusLabel.h"
#include "gui/controls/ItemEditor.h"
#include "gui/controls/NumEdit.h"
#include "gui/controls/ScrollHeader.h"
#include "gui/setup/SetupLists.h"
#include "gui/setup/SetupPage.h"
#include "gui/tray/MessageForm.h"
#include "support/DemoProgram.h"
#include "support/FakeDialogs.h"
#include "support/FakeTime.h"
#include "support/SimulatorFixture.h"

namespace qgm::gui {
namespace {

QAccessibleInterface* Of(QObject* object) {
  QAccessible::setActive(true);
  return QAccessible::queryAccessibleInterface(object);
}

TEST(Accessibility, FocusLabelIsAButtonOrALinkNamedByItsCaption) {
  QWidget window;
  auto* command = new TFocusLabel(QStringLiteral("&Refresh Advisories"), &window);
  command->SetTabStop(true);
  int clicks = 0;
  command->OnClick = [&clicks] { ++clicks; };
  auto* link = new TFocusLabel(QStringLiteral("Contact && Links"), &window);
  link->SetOpensAddress(true);
  link->move(0, 30);
  window.show();

  QAccessibleInterface* c = Of(command);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->role(), QAccessible::Button);
  EXPECT_EQ(c->text(QAccessible::Name), QStringLiteral("Refresh Advisories"));
  EXPECT_TRUE(c->state().focusable);
  EXPECT_FALSE(c->state().disabled);
  QAccessibleInterface* l = Of(link);
  ASSERT_TRUE(l);
  EXPECT_EQ(l->role(), QAccessible::Link);
  EXPECT_EQ(l->text(QAccessible::Name), QStringLiteral("Contact & Links"));

  // Press does what a click does; a disabled label does nothing.
  QAccessibleActionInterface* actions = c->actionInterface();
  ASSERT_TRUE(actions);
  EXPECT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
  actions->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(clicks, 1);
  command->setEnabled(false);
  EXPECT_TRUE(c->state().disabled);
  EXPECT_FALSE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
  actions->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(clicks, 1);
}

TEST(Accessibility, FocusLabelFollowsItsCaptionAndTheFocus) {
  QWidget window;
  auto* first = new QLineEdit(&window);
  auto* label = new TFocusLabel(QStringLiteral("Check if there's a newer version"), &window);
  label->SetTabStop(true);
  label->OnClick = [] {};
  label->move(0, 30);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  first->setFocus();

  // The interface Qt keeps follows the caption.
  QAccessibleInterface* a = Of(label);
  ASSERT_TRUE(a);
  EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Check if there's a newer version"));
  label->SetCaption(QStringLiteral("&Download the update"));
  EXPECT_EQ(Of(label), a);
  EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Download the update"));
  EXPECT_EQ(a->text(QAccessible::Accelerator),
            QKeySequence(QStringLiteral("Alt+D")).toString(QKeySequence::NativeText));
  EXPECT_FALSE(a->state().focused);

  // Tab reaches it; it says so and shows it has the focus.
  QTest::keyClick(first, Qt::Key_Tab);
  EXPECT_TRUE(label->hasFocus());
  EXPECT_TRUE(a->state().focused);
}

TEST(Accessibility, NumberFieldIsASpinBoxNamedByItsCaption) {
  QWidget window;
  auto* form = new QFormLayout(&window);
  auto* port = new TNumedit(&window);
  port->SetMinVal(1);
  port->SetMaxVal(65535);
  port->SetValue(8080);
  form->addRow(QStringLiteral("&Port:"), port);
  window.show();

  QAccessibleInterface* a = Of(port);
  ASSERT_TRUE(a);
  EXPECT_EQ(a->role(), QAccessible::SpinBox);
  EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Port"));
  EXPECT_TRUE(a->state().editable);
  QAccessibleValueInterface* value = a->valueInterface();
  ASSERT_TRUE(value);
  EXPECT_EQ(value->currentValue().toInt(), 8080);
  EXPECT_EQ(value->minimumValue().toInt(), 1);
  EXPECT_EQ(value->maximumValue().toInt(), 65535);
  // Set through the field's own rules: out of range becomes the lower limit.
  value->setCurrentValue(3128);
  EXPECT_EQ(port->Value(), 3128);
  value->setCurrentValue(70000);
  EXPECT_EQ(port->Value(), 1);
  QAccessibleTextInterface* text = a->textInterface();
  ASSERT_TRUE(text);
  EXPECT_EQ(text->text(0, text->characterCount()), port->text());
}

TEST(Accessibility, HeaderEditorAndFieldsAreNamedByTheirCaptions) {
  QWidget window;
  auto* header = new TScrollHeader(&window);
  new QLabel(QStringLiteral("Email Accounts"), header);
  QLineEdit* name = nullptr;
  QLineEdit* password = nullptr;
  TItemEditor* editor =
      MakeTwoFieldEditor(&window, "ieEmail", QStringLiteral("Name"), name, "eEmailName",
                         QStringLiteral("Password"), password, "eEmailPwd", true);
  editor->show();
  window.show();

  QAccessibleInterface* h = Of(header);
  ASSERT_TRUE(h);
  EXPECT_EQ(h->role(), QAccessible::ColumnHeader);
  EXPECT_EQ(h->text(QAccessible::Name), QStringLiteral("Email Accounts"));
  auto* panel = new TScrollHeader(&window);
  auto* playedWith = new QLabel(QStringLiteral("Radio channels will be played with"), &window);
  playedWith->setBuddy(panel);
  QAccessibleInterface* pa = Of(panel);
  ASSERT_TRUE(pa);
  EXPECT_EQ(pa->text(QAccessible::Name), QStringLiteral("Radio channels will be played with"));
  QAccessibleInterface* e = Of(editor);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->role(), QAccessible::Grouping);
  EXPECT_EQ(e->text(QAccessible::Name), QStringLiteral("Name, Password"));
  QAccessibleInterface* n = Of(name);
  QAccessibleInterface* p = Of(password);
  ASSERT_TRUE(n && p);
  EXPECT_EQ(n->text(QAccessible::Name), QStringLiteral("Name"));
  EXPECT_FALSE(n->state().passwordEdit);
  EXPECT_EQ(p->text(QAccessible::Name), QStringLiteral("Password"));
  EXPECT_TRUE(p->state().passwordEdit);
}

TEST(Accessibility, NoticePopupIsAnAlertWithItsTitleAndText) {
  test::FakeTimerFactory timers;
  std::vector<std::string> opened;
  TNoticeRequest n;
  n.Caption = "Planned maintenance";
  n.Body = "The mail servers restart at 2 am.";
  n.LinkAddress = "https://example.test/maint";
  auto* form = new TMessageForm(
      n, [&opened](const std::string& url) { opened.push_back(url); }, {}, timers);
  form->show();
  QApplication::processEvents();

  QAccessibleInterface* a = Of(form);
  ASSERT_TRUE(a);
  EXPECT_EQ(a->role(), QAccessible::AlertMessage);
  EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Planned maintenance"));
  EXPECT_EQ(a->text(QAccessible::Description), QStringLiteral("The mail servers restart at 2 am."));
  QAccessibleInterface* close = Of(form->CloseLink());
  ASSERT_TRUE(close);
  EXPECT_EQ(close->role(), QAccessible::Button);
  EXPECT_EQ(close->text(QAccessible::Name), QStringLiteral("Close"));
  QAccessibleInterface* more = Of(form->MoreInfo());
  ASSERT_TRUE(more);
  EXPECT_EQ(more->role(), QAccessible::Link);
  EXPECT_EQ(more->text(QAccessible::Name), QStringLiteral("For more information click here"));
  QPointer<TMessageForm> alive = form;
  more->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(opened, std::vector<std::string>{n.LinkAddress});
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(alive);  // closed, as a click closes it
}

TEST(Accessibility, SetupPageFieldsAreNamedAndValued) {
  TSettings s;
  s.ProxyPort = 3128;
  test::FakeDialogs dialogs;
  TSetupPage page(s, dialogs);
  page.LoadFromModel();
  page.show();
  QApplication::processEvents();
  auto* port = page.findChild<TNumedit*>(QStringLiteral("neProxyPort"));
  ASSERT_TRUE(port);
  QAccessibleInterface* p = Of(port);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->role(), QAccessible::SpinBox);
  EXPECT_EQ(p->text(QAccessible::Name), QStringLiteral("Port"));
  ASSERT_TRUE(p->valueInterface());
  EXPECT_EQ(p->valueInterface()->currentValue().toInt(), 3128);
  const struct {
    const char* field;
    QString name;
    bool password;
  } kFields[] = {{"eEmailName", QStringLiteral("Name"), false},
                 {"eEmailPwd", QStringLiteral("Password"), true}};
  for (const auto& f : kFields) {
    SCOPED_TRACE(f.field);
    auto* edit = page.findChild<QLineEdit*>(QString::fromLatin1(f.field));
    ASSERT_TRUE(edit);
    QAccessibleInterface* a = Of(edit);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->text(QAccessible::Name), f.name);
    EXPECT_EQ(a->state().passwordEdit, f.password);
  }
  auto* header = page.findChild<TScrollHeader*>(QStringLiteral("shEmail"));
  ASSERT_TRUE(header);
  QAccessibleInterface* h = Of(header);
  ASSERT_TRUE(h);
  EXPECT_EQ(h->role(), QAccessible::ColumnHeader);
  EXPECT_FALSE(h->text(QAccessible::Name).isEmpty());
}

class AccessibleWindow : public test::SimulatorTest {
 protected:
  void SetUp() override {
    SimulatorTest::SetUp();
    ASSERT_TRUE(home_.isValid());
    QAccessible::setActive(true);
    program_ = test::StartDemoProgram(home_, Sim(), timers_);
    std::lock_guard lock(dummy::Record().Lock);
    dummy::Record().Opened.clear();
    dummy::Record().OpenSucceeds = true;
  }
  void TearDown() override { program_.reset(); }

  static bool Ours(QObject* o) {
    return qobject_cast<TFocusLabel*>(o) || qobject_cast<TNumedit*>(o) ||
           qobject_cast<TScrollHeader*>(o) || qobject_cast<TItemEditor*>(o) ||
           qobject_cast<TPercentBar*>(o) || qobject_cast<TMessageForm*>(o);
  }
  // Every node below `a`, `a` included.
  static void Walk(QAccessibleInterface* a, const std::function<void(QAccessibleInterface*)>& f,
                   int depth = 0) {
    if (!a || depth > 40) return;
    f(a);
    for (int i = 0; i < a->childCount(); ++i) Walk(a->child(i), f, depth + 1);
  }

  QTemporaryDir home_;
  test::FakeTimerFactory timers_;
  std::unique_ptr<TProgram> program_;
};

TEST_F(AccessibleWindow, BarsAreProgressBarsWithTheirPercentages) {
  TMainForm& form = program_->Window();
  form.show();
  QApplication::processEvents();
  const struct {
    const char* name;
    QString caption;
    const char* figure;
  } kBars[] = {{"imgAmtLeft", QStringLiteral("Metered usage remaining"), "lblAmtLeft"},
               {"imgDaysLeft", QStringLiteral("Days in month remaining"), "lblDaysLeft"}};
  for (const auto& b : kBars) {
    SCOPED_TRACE(b.name);
    auto* bar = form.BroadbandPage().findChild<QWidget*>(QString::fromLatin1(b.name));
    ASSERT_TRUE(bar);
    QAccessibleInterface* a = Of(bar);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->role(), QAccessible::ProgressBar);
    EXPECT_EQ(a->text(QAccessible::Name), b.caption);
    QAccessibleValueInterface* value = a->valueInterface();
    ASSERT_TRUE(value);
    EXPECT_EQ(value->minimumValue().toInt(), 0);
    EXPECT_EQ(value->maximumValue().toInt(), 100);
    const int percent = value->currentValue().toInt();
    EXPECT_GE(percent, 0);
    EXPECT_LE(percent, 100);
    EXPECT_EQ(a->text(QAccessible::Value), QStringLiteral("%1%").arg(percent));
    // Reached by the Tab key, it tells the figure beside it ("34,740 MB").
    EXPECT_TRUE(a->state().focusable);
    auto* figure = form.BroadbandPage().findChild<QLabel*>(QString::fromLatin1(b.figure));
    ASSERT_TRUE(figure);
    EXPECT_FALSE(figure->text().isEmpty());
    EXPECT_EQ(a->text(QAccessible::Description), figure->text());
  }
  // The demo's month is under way: neither bar is still the full start.
  auto* days = qobject_cast<TPercentBar*>(
      form.BroadbandPage().findChild<QWidget*>(QStringLiteral("imgDaysLeft")));
  ASSERT_TRUE(days);
  EXPECT_LT(days->Percent(), 100);
}

TEST_F(AccessibleWindow, PressingALinkOpensItsAddressAsAClickDoes) {
  TMainForm& form = program_->Window();
  form.show();
  QApplication::processEvents();
  auto* webmail = form.findChild<TFocusLabel*>(QStringLiteral("lblWebmailUrl"));
  ASSERT_TRUE(webmail);
  QAccessibleInterface* a = Of(webmail);
  ASSERT_TRUE(a);
  EXPECT_EQ(a->role(), QAccessible::Link);
  EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Webmail"));
  a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  std::vector<std::string> byPress;
  {
    std::lock_guard lock(dummy::Record().Lock);
    byPress = dummy::Record().Opened;
    dummy::Record().Opened.clear();
  }
  ASSERT_EQ(byPress.size(), 1u);
  webmail->Click();
  std::lock_guard lock(dummy::Record().Lock);
  EXPECT_EQ(dummy::Record().Opened, byPress);
}

TEST_F(AccessibleWindow, EveryFocusableControlOfOursHasARoleAndAName) {
  TMainForm& form = program_->Window();
  form.show();
  QApplication::processEvents();
  auto* tabs = form.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
  ASSERT_TRUE(tabs);
  int ours = 0;
  QStringList nameless;
  auto check = [&](QAccessibleInterface* a) {
    QObject* o = a->object();
    if (!o || !Ours(o) || !a->state().focusable || a->state().invisible) return;
    ++ours;
    const QString name = a->text(QAccessible::Name);
    const QAccessible::Role role = a->role();
    if (name.trimmed().isEmpty() || name.contains(QRegularExpression(QStringLiteral("&\\S"))) ||
        role == QAccessible::Client || role == QAccessible::NoRole)
      nameless << QStringLiteral("%1 (%2) role %3 name \"%4\"")
                      .arg(o->objectName(), QString::fromLatin1(o->metaObject()->className()))
                      .arg(static_cast<int>(role))
                      .arg(name);
  };
  // Each tab in turn, as the user goes through them.
  for (int i = 0; i < tabs->count(); ++i) {
    tabs->setCurrentIndex(i);
    QApplication::processEvents();
    Walk(Of(&form), check);
  }
  // Every label that does something can be reached with the keyboard.
  for (TFocusLabel* l : form.findChildren<TFocusLabel*>())
    if (l->OnClick) {
      EXPECT_TRUE(l->TabStop()) << l->objectName().toStdString();
    }
  EXPECT_GT(ours, 10);
  EXPECT_TRUE(nameless.isEmpty()) << nameless.join(u'\n').toStdString();
}

}  // namespace
}  // namespace qgm::gui
