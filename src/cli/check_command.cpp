#include "cli/check_command.h"

#include <iostream>

#include "exporters/check/preflight.h"
#include "platform/text.h"

namespace tarvelon {

int RunCheckCommand(const std::string& option, const ExporterRegistry& exporters) {
  const OptionEntry* entry = FindOption(AnsiUpper(option));
  if (!entry) {
    std::cerr << AnsiToUtf8("Option inconnue : " + option) << std::endl;
    return 2;
  }
  const std::vector<CheckRow> rows = RunPreflight(*entry, exporters);
  std::cout << "Check of " << entry->key << "\n" << PreflightTable(rows);
  return AnyCheckFailed(rows) ? 1 : 0;
}

}  // namespace tarvelon
