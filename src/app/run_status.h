#pragma once
// What `tarvelon --status` reports: per target that has run, its last run and
// the flags that call for an operator (FAILED, STALE, DROP).
#include <string>
#include <vector>

#include "app/config.h"
#include "app/run_journal.h"

namespace tarvelon {

struct TargetStatus {
  JournalRun last;
  bool hasPrevious = false;  // a successful run before the last one
  int previousExported = 0;
  double ageHours = 0;            // since the last run started
  double hoursSinceSuccess = -1;  // -1: never succeeded
  std::vector<std::string> flags;
};

// Options "StaleHours" (default 26, a target section's own "StaleHours" wins)
// and "DropPercent" (default 50).
std::vector<TargetStatus> CollectStatus(const std::vector<JournalRun>& runs, const IniFile& ini,
                                        const DateTime& now);

std::string StatusTable(const std::vector<TargetStatus>& targets);  // UTF-8
std::string StatusJson(const std::vector<TargetStatus>& targets);   // UTF-8

}  // namespace tarvelon
