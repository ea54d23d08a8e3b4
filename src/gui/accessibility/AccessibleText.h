#pragma once
// Texts the accessible interfaces of our controls hand to a screen reader.

#include <QString>

class QWidget;

namespace qgm::gui {

// A caption as it reads: the accelerator's "&" dropped, "&&" a plain "&".
QString WithoutAccelerator(const QString& caption);
// The text of the label that names `widget` (a QLabel whose buddy it is),
// without its accelerator and a closing ":"; empty when none does.
QString BuddyCaption(const QWidget& widget);

}  // namespace qgm::gui
