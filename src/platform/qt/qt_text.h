#pragma once

#include <QString>
#include <string>

namespace memro {

// The program keeps its texts in UTF-8; the windows show QStrings.
inline QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace memro
