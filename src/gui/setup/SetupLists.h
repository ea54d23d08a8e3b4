#pragma once
// What the Setup tab's lists share: the list itself (rows of TMyItem), an
// item editor of two labelled fields, and the commit that follows the
// editor's closing.

#include <QString>

#include <functional>

class QLineEdit;
class QWidget;

namespace qgm::gui {

class TItemEditor;
class TMyItem;
class TScrollingCtrl;

// A list of rows in the Setup tab's look.
TScrollingCtrl* MakeSetupList(QWidget* parent, const char* name);

// An editor holding two labelled fields (the second may be a password),
// with Enter and Escape as the Setup lists' fields have them.
TItemEditor* MakeTwoFieldEditor(QWidget* parent, const char* name, const QString& label1,
                                QLineEdit*& field1, const char* field1Name, const QString& label2,
                                QLineEdit*& field2, const char* field2Name, bool password2);

// Runs `commit` on the edited item once the editor has closed (it may
// delete the item), if the item is still in the list then.
void CommitAfterExit(TItemEditor* editor, TScrollingCtrl* list, QWidget* context,
                     std::function<void(TMyItem*)> commit);

}  // namespace qgm::gui
