#pragma once
// The window's command line: the export option(s), and a hidden
// "--screenshot PATH" in front of them that saves the window as a PNG once the
// start-up run is over and quits (documentation pictures, unattended).
#include <QString>
#include <QStringList>

namespace tarvelon {

struct GuiCommandLine {
  QString screenshotPath;  // empty: a normal start
  QStringList exportArguments;
};

GuiCommandLine ParseGuiCommandLine(const QStringList& argumentsAfterProgram);

}  // namespace tarvelon
