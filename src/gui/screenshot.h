#pragma once
// A picture of a window as the operator sees it, for the documentation.
#include <QString>

class QWidget;

namespace tarvelon {

// Lets pending layout and paint events settle, then writes the window as PNG.
bool SaveWindowPicture(QWidget& window, const QString& path);

}  // namespace tarvelon
