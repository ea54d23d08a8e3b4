#include "gui/accessibility/TabRowsAccessible.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QTabWidget>

#include <map>

#include "gui/accessibility/AccessibleText.h"
#include "gui/accessibility/LeafAccessible.h"
#include "gui/controls/TabRows.h"

namespace qgm::gui {
namespace {

class TTabAccessible : public TLeafAccessible, public QAccessibleActionInterface {
 public:
  TTabAccessible(TTabRows* rows, int index) : rows_(rows), index_(index) {}

  bool isValid() const override { return rows_ && index_ < rows_->Tabs()->count(); }
  QWindow* window() const override { return rows_->window()->windowHandle(); }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(rows_);
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return WithoutAccelerator(rows_->Tabs()->tabText(index_));
    if (t == QAccessible::Accelerator) {
      const QString caption = rows_->Tabs()->tabText(index_);
      const int at = caption.indexOf(QLatin1Char('&'));
      if (at >= 0 && at + 1 < caption.size() && caption[at + 1] != QLatin1Char('&'))
        return QStringLiteral("Alt+") + caption[at + 1].toUpper();
    }
    return {};
  }
  QRect rect() const override {
    const QRect r = rows_->TabRect(index_);
    return r.isEmpty() ? QRect() : QRect(rows_->mapToGlobal(r.topLeft()), r.size());
  }
  QAccessible::Role role() const override { return QAccessible::PageTab; }
  QAccessible::State state() const override {
    QAccessible::State s;
    s.selectable = true;
    s.selected = rows_->Tabs()->currentIndex() == index_;
    s.invisible = !rows_->Tabs()->isTabVisible(index_);
    s.disabled = !rows_->Tabs()->isTabEnabled(index_);
    return s;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : nullptr;
  }
  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& name) override {
    if (name == pressAction() && isValid()) rows_->Tabs()->setCurrentIndex(index_);
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  QPointer<TTabRows> rows_;
  int index_;
};

class TTabRowsAccessible : public QAccessibleWidget {
 public:
  explicit TTabRowsAccessible(TTabRows* rows) : QAccessibleWidget(rows, QAccessible::PageTabList) {}
  ~TTabRowsAccessible() override {
    for (const auto& [index, id] : tabs_) QAccessible::deleteAccessibleInterface(id);
  }

  int childCount() const override { return Rows()->Tabs()->count(); }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount()) return nullptr;
    auto found = tabs_.find(index);
    if (found == tabs_.end()) {
      auto* tab = new TTabAccessible(Rows(), index);
      found = tabs_.emplace(index, QAccessible::registerAccessibleInterface(tab)).first;
    }
    return QAccessible::accessibleInterface(found->second);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (const auto& [index, id] : tabs_) {
      if (QAccessible::accessibleInterface(id) == child) return index;
    }
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    const QPoint at = Rows()->mapFromGlobal(QPoint(x, y));
    for (int i = 0; i < childCount(); ++i) {
      if (Rows()->TabRect(i).contains(at)) return child(i);
    }
    return nullptr;
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return Rows()->accessibleName();
    return QAccessibleWidget::text(t);
  }

 private:
  TTabRows* Rows() const { return static_cast<TTabRows*>(widget()); }
  mutable std::map<int, QAccessible::Id> tabs_;
};

// The main window and the notice popups: windows, named by their titles.
class TWindowAccessible : public QAccessibleWidget {
 public:
  TWindowAccessible(QWidget* window, QAccessible::Role role) : QAccessibleWidget(window, role) {}
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return widget()->windowTitle();
    return QAccessibleWidget::text(t);
  }
};

}  // namespace

QAccessibleInterface* MakeTabRowsAccessible(QObject* object) {
  if (auto* rows = qobject_cast<TTabRows*>(object)) return new TTabRowsAccessible(rows);
  // By name: the window is made above this layer.
  if (object->inherits("qgm::gui::TMainForm"))
    return new TWindowAccessible(static_cast<QWidget*>(object), QAccessible::Window);
  return nullptr;
}

}  // namespace qgm::gui
