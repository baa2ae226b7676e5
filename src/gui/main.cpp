// tarvelon-gui [OPTION]: the operator window. With one option the export runs
// at once and the window closes 30 seconds after it has finished; without,
// the operator picks a target and presses "Démarrer".
#include <QApplication>
#include <QStringList>
#include <cstdio>

#include "app/run_state.h"
#include "exporters/registry.h"
#include "gui/command_line.h"
#include "gui/main_window.h"
#include "gui/screenshot.h"
#include "platform/memory.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "transfer/http_post.h"

int main(int argc, char** argv) {
  using namespace tarvelon;
  TuneAllocatorForDocuments();
  SetExecutablePath(argc > 0 ? argv[0] : "");
  QApplication app(argc, argv);  // takes out Qt's own arguments (-platform, -style ...)
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const GuiCommandLine commandLine = ParseGuiCommandLine(arguments);

  RunState state;
  MainWindow window(state, BuiltInExporters());
  window.SetVivacarSender(SendVivacarFiles);
  // After the window has shown the host's formats, and after QApplication has
  // set the C library's locale from the environment.
  InitProcessLocale();
  window.Start(commandLine.exportArguments);
  window.show();
  if (!commandLine.screenshotPath.isEmpty()) {
    if (SaveWindowPicture(window, commandLine.screenshotPath)) return 0;
    std::fprintf(stderr, "cannot write %s\n", commandLine.screenshotPath.toLocal8Bit().constData());
    return 1;
  }
  return app.exec();
}
