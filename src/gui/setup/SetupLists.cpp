#include "gui/setup/SetupLists.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>

#include "gui/controls/ItemEditor.h"
#include "gui/controls/ScrollingCtrl.h"
#include "gui/setup/EditorKeys.h"
#include "gui/setup/MyItem.h"

namespace qgm::gui {

TScrollingCtrl* MakeSetupList(QWidget* parent, const char* name) {
  auto* list = new TScrollingCtrl(parent);
  list->setObjectName(QString::fromLatin1(name));
  list->SetScrollItemClass<TMyItem>();
  list->SetDefaultStyle(2);
  list->SetDefaultItemHeight(18);
  list->SetDefaultItemColor(QColor(0xF2, 0xF1, 0xE6));
  list->SetHorzSpace(2);
  list->SetVertSpace(0);
  list->SetTopOffset(4);
  list->SetHideSelection(false);
  return list;
}

TItemEditor* MakeTwoFieldEditor(QWidget* parent, const char* name, const QString& label1,
                                QLineEdit*& field1, const char* field1Name, const QString& label2,
                                QLineEdit*& field2, const char* field2Name, bool password2) {
  auto* editor = new TItemEditor(parent);
  editor->setObjectName(QString::fromLatin1(name));
  editor->resize(240, 51);
  auto* caption1 = new QLabel(label1, editor);
  caption1->setGeometry(8, 4, 60, 20);
  field1 = new QLineEdit(editor);
  field1->setObjectName(QString::fromLatin1(field1Name));
  field1->setGeometry(70, 3, 164, 21);
  caption1->setBuddy(field1);  // names the field for a screen reader
  auto* caption2 = new QLabel(label2, editor);
  caption2->setGeometry(8, 28, 60, 20);
  field2 = new QLineEdit(editor);
  caption2->setBuddy(field2);
  field2->setObjectName(QString::fromLatin1(field2Name));
  if (password2) field2->setEchoMode(QLineEdit::Password);
  field2->setGeometry(70, 27, 164, 21);
  new TEditorKeys(editor);
  return editor;
}

void CommitAfterExit(TItemEditor* editor, TScrollingCtrl* list, QWidget* context,
                     std::function<void(TMyItem*)> commit) {
  editor->OnExit = [editor, list, context, commit = std::move(commit)] {
    QPointer<TScrollingCtrl> alive = list;
    TScrollItem* item = editor->Item();
    QMetaObject::invokeMethod(
        context,
        [alive, item, commit] {
          for (int i = 0; alive && i < alive->Count(); ++i)
            if (alive->GetItem(i) == item) commit(static_cast<TMyItem*>(item));
        },
        Qt::QueuedConnection);
  };
}

}  // namespace qgm::gui
