#include "gui/screenshot.h"

#include <QCoreApplication>
#include <QPixmap>
#include <QWidget>

namespace tarvelon {

bool SaveWindowPicture(QWidget& window, const QString& path) {
  QCoreApplication::processEvents();
  return window.grab().save(path, "PNG");
}

}  // namespace tarvelon
