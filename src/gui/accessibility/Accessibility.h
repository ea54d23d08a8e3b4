#pragma once
// What a screen reader learns of the program's own controls: each has an
// accessible interface of its own (role, name, value, actions), handed to
// Qt's accessibility through one factory.

#include <QString>

class QAccessibleInterface;
class QObject;

namespace qgm::gui {

// Installs the factory; once, before the first window is made.
void InstallAccessibility();
// The interface for one of our controls, or null for every other object
// (Qt's own widgets keep Qt's interfaces).
QAccessibleInterface* MakeAccessible(const QString& className, QObject* object);

}  // namespace qgm::gui
