#include "core/platform/ProcessValues.h"

#include <clocale>

#include "core/util/Format.h"

namespace qgm {

std::string VersionText() {
  return QGM_VERSION;
}

std::string ProgramUserAgent() {
  return "QGM/" + VersionText();
}

void InitLocale() {
  std::setlocale(LC_ALL, "");
  LoadFormatSettingsFromLocale();
  // Numbers are read and written with "." whatever the locale says.
  std::setlocale(LC_NUMERIC, "C");
}

}  // namespace qgm
