#pragma once
// Text from outside (servers, feeds, settings, the command line) shows as
// it stands: never as markup that Qt would otherwise guess at and render,
// with its styles, links and images.

#include <QString>

class QWidget;

namespace qgm::gui {

// Every label under `root` (and `root` itself when it is one) takes its
// text as plain text.
void MakeLabelsPlain(QWidget& root);

// A tooltip that shows `text` literally, line breaks kept; empty stays empty.
QString PlainToolTip(const QString& text);

}  // namespace qgm::gui
