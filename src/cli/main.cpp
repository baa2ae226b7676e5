// tarvelon OPTION: runs one export without a window. Memo lines go to stdout
// as they come; the two progress labels show on stderr when it is a terminal.
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "app/dispatch.h"
#include "app/run_state.h"
#include "app/version.h"
#include "cli/check_command.h"
#include "cli/status_command.h"
#include "exporters/registry.h"
#include "platform/errors.h"
#include "platform/memory.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "transfer/http_post.h"

namespace {

using namespace tarvelon;

constexpr int kExitFinished = 0;
constexpr int kExitError = 1;
constexpr int kExitNoExport = 2;
constexpr int kExitDeliveryFailed = 3;

class ConsoleWindow : public WindowObserver {
 public:
  explicit ConsoleWindow(const WindowModel& model) : model_(model), live_(::isatty(2) && ::isatty(1)) {}

  void MemoLineAdded(const std::string& line) override {
    ClearStatus();
    // A piece at a time: a feed logs its whole result text, and each byte
    // stands for one character.
    constexpr size_t kPiece = 64 * 1024;
    for (size_t at = 0; at < line.size(); at += kPiece) std::cout << AnsiToUtf8(std::string_view(line).substr(at, kPiece));
    std::cout << '\n' << std::flush;
  }
  void LabelsChanged() override {
    if (!live_) return;
    std::string status = AnsiToUtf8(model_.label1() + " | " + model_.label2());
    if (status.size() > 150) status.resize(150);
    std::cerr << "\r\033[K" << status << std::flush;
    shown_ = true;
  }
  void ShowMessage(const std::string& text) override {
    ClearStatus();
    std::cerr << AnsiToUtf8(text) << std::endl;
  }
  void ClearStatus() {
    if (shown_) std::cerr << "\r\033[K" << std::flush;
    shown_ = false;
  }

 private:
  const WindowModel& model_;
  bool live_;
  bool shown_ = false;
};

void PrintUsage() {
  std::cout << "Usage: tarvelon OPTION\n"
               "       tarvelon --status [--json]\n"
               "       tarvelon --check OPTION\n"
               "       tarvelon --send-vivacar\n"
               "       tarvelon --help | --version\n\n"
               "Runs the export of one target. OPTION is one of (any case):\n ";
  for (const auto& entry : OptionTable()) std::cout << ' ' << entry.key;
  std::cout << "\n\nEnvironment:\n"
               "  SharedTemp           work folder (WorkDir); when empty, Windir + \\TEMP\n"
               "  Windir               default C:\\WINDOWS\n"
               "  TARVELON_DRIVE_<X>   host folder of drive X: (default $HOME/tarvelon/<x>)\n"
               "  TARVELON_HOME        folder of Tarvelon.ini and the mark images (default: the executable's)\n\n"
               "Exit status:\n"
               "  0  the export finished and every delivery succeeded\n"
               "  1  an error ended the export (its text is on stderr)\n"
               "  2  no export ran (syntax line, or an option outside the table)\n"
               "  3  the export finished, but at least one delivery failed\n"
               "  4  --status: a target is flagged FAILED, STALE or DROP\n"
               "--check: 0 no check failed, 1 a check failed, 2 an option outside the table\n\n"
               "--send-vivacar posts every file of the Vivacar folder to the Vivacar import service\n"
               "(Tarvelon.ini, section VIVACAR, key UrlImport) and keeps each reply beside it:\n"
               "0 when every post was answered with a 2xx, 3 when one was not, 1 when a reply file\n"
               "could not be written.\n"
               "--check OPTION reaches the settings, extract, work folder, photo store and servers the\n"
               "export of OPTION would use, and changes nothing (no upload, mail, script or file).\n"
               "--status lists the last run of every target from the run journal (--json for machines).\n";
}

}  // namespace

int main(int argc, char** argv) {
  TuneAllocatorForDocuments();
  SetExecutablePath(argc > 0 ? argv[0] : "");
  InitProcessLocale();
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--help") {
    PrintUsage();
    return kExitFinished;
  }
  if (args.size() == 1 && args[0] == "--version") {
    for (const auto& line : VersionLines()) std::cout << AnsiToUtf8(line) << '\n';
    return kExitFinished;
  }

  if (!args.empty() && args[0] == "--status" &&
      (args.size() == 1 || (args.size() == 2 && args[1] == "--json"))) {
    try {
      return RunStatusCommand(args.size() == 2);
    } catch (const std::exception& error) {
      std::cerr << AnsiToUtf8(error.what()) << std::endl;
      return kExitError;
    }
  }

  if (args.size() == 2 && args[0] == "--check") {
    try {
      return RunCheckCommand(Utf8ToAnsi(args[1]), BuiltInExporters());
    } catch (const std::exception& error) {
      std::cerr << AnsiToUtf8(error.what()) << std::endl;
      return kExitError;
    }
  }

  RunState state;
  ConsoleWindow console(state.window);
  state.window.SetObserver(&console);
  if (args.size() == 1 && args[0] == "--send-vivacar") {
    // "Envoi VIVACAR": the pass ran whatever the service answered; a reply
    // file that could not be written ends it with an error.
    try {
      SendVivacarFiles(state);
    } catch (const std::exception& error) {
      console.ClearStatus();
      std::cerr << AnsiToUtf8(error.what()) << std::endl;
      return kExitError;
    }
    console.ClearStatus();
    return state.AnyDeliveryFailed() ? kExitDeliveryFailed : kExitFinished;
  }
  if (args.size() != 1) {
    state.window.AddMemoLine(SyntaxLine());
    return kExitNoExport;
  }
  try {
    RunExport(state, Utf8ToAnsi(args[0]), BuiltInExporters());
  } catch (const std::exception& error) {
    console.ClearStatus();
    std::cerr << AnsiToUtf8(error.what()) << std::endl;
    return kExitError;
  }
  console.ClearStatus();
  if (state.finishedFlag) return state.AnyDeliveryFailed() ? kExitDeliveryFailed : kExitFinished;
  if (state.exportOption.empty()) {
    std::cout << AnsiToUtf8(state.window.caption()) << '\n' << AnsiToUtf8(state.window.boxServerCaption()) << '\n';
  }
  return kExitNoExport;
}
