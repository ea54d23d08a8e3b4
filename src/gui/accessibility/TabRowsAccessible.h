#pragma once
// The tab rows as a screen reader meets them: a page tab list with one page
// tab per visible caption (its name without the accelerator's "&", selected
// while its page shows, pressed to show it); and the main window and the
// popups as windows named by their titles.

class QAccessibleInterface;
class QObject;

namespace qgm::gui {

// The interface for a TTabRows or one of the program's top-level windows;
// null for anything else.
QAccessibleInterface* MakeTabRowsAccessible(QObject* object);

}  // namespace qgm::gui
