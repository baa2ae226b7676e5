#include "gui/command_line.h"

namespace tarvelon {

GuiCommandLine ParseGuiCommandLine(const QStringList& arguments) {
  GuiCommandLine result;
  result.exportArguments = arguments;
  if (arguments.size() >= 2 && arguments[0] == QLatin1String("--screenshot")) {
    result.screenshotPath = arguments[1];
    result.exportArguments = arguments.mid(2);
  }
  return result;
}

}  // namespace tarvelon
