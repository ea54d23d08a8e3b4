#pragma once
// The program's 8-bit text (Windows-1252) to and from Qt's strings.

#include <QString>

#include <string>

#include "core/util/CodePage.h"

namespace qgm::gui {

inline QString Q(const std::string& text1252) {
  return QString::fromStdString(Cp1252ToUtf8(text1252));
}
inline std::string S(const QString& text) {
  return Utf8ToCp1252(text.toStdString());
}

}  // namespace qgm::gui
