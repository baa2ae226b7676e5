#include "cli/status_command.h"

#include <iostream>

#include "app/run_status.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace tarvelon {

int RunStatusCommand(bool json) {
  const IniFile ini(ProgramFolder() + "Tarvelon.ini");
  const std::string path = JournalPath(ini);
  std::vector<TargetStatus> targets;
  if (FileExists(path)) {
    RunJournal journal(path);
    targets = CollectStatus(journal.Runs(), ini, Now());
  } else if (!json) {
    std::cout << AnsiToUtf8(Ansi("Aucun export enregistré : ") + path) << '\n';
  }
  std::cout << (json ? StatusJson(targets) : StatusTable(targets));
  for (const TargetStatus& t : targets)
    if (!t.flags.empty()) return kExitFlagged;
  return 0;
}

}  // namespace tarvelon
