#pragma once
// Text crosses into and out of Qt here: inside the programs it is UTF-8.
#include <QString>
#include <string>
#include <string_view>

namespace platform {

inline QString toQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toText(const QString& text) {
  return text.toUtf8().toStdString();
}

}  // namespace platform
