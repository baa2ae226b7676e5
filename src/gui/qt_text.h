#pragma once
// The program's texts are Windows-1252; Qt's are Unicode. Every text crossing
// into or out of a widget goes through these two.
#include <QString>
#include <string>

#include "platform/text.h"

namespace tarvelon {

inline QString ToQString(const std::string& ansi) { return QString::fromUtf8(AnsiToUtf8(ansi)); }
inline std::string FromQString(const QString& text) { return Utf8ToAnsi(text.toUtf8().toStdString()); }

}  // namespace tarvelon
