#include "gui/platform/TerminationSignals.h"

namespace qgm::gui {

// The dummy platform leaves the process's signals alone.
struct TTerminationSignals::TImpl {};

TTerminationSignals::TTerminationSignals(std::function<void()>, QObject* parent)
    : QObject(parent) {}
TTerminationSignals::~TTerminationSignals() = default;

}  // namespace qgm::gui
