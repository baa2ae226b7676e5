#pragma once
// tarvelon --check OPTION: what an export of the target would meet, found
// without changing anything: no file outside a temporary probe, no upload,
// no mail, no script, nothing on the image server.
#include <string>
#include <vector>

#include "app/config.h"
#include "app/dispatch.h"

namespace tarvelon {

enum class CheckLevel { Ok, Warning, Failed };

struct CheckRow {
  std::string name;    // what was checked
  CheckLevel level = CheckLevel::Ok;
  std::string reason;  // what was found (Windows-1252)
};

// The checks of one option key of the table, in their order.
std::vector<CheckRow> RunPreflight(const OptionEntry& option, const ExporterRegistry& exporters);
bool AnyCheckFailed(const std::vector<CheckRow>& rows);
// One line per row: level, check, reason (UTF-8).
std::string PreflightTable(const std::vector<CheckRow>& rows);

// Parts of the preflight, each appending its rows.
void CheckSettings(const IniFile& ini, const std::string& option, const SettingsUse& use, std::vector<CheckRow>& rows);
// What the later checks need to know of the extract.
struct ExtractFacts {
  long long bytes = 0;  // 0 when it is not there
  bool loaded = false;
  std::vector<std::string> clientCodes;  // CODECLIENT of the client entries, each once
};
ExtractFacts CheckExtract(const std::string& option, const Options& options, std::vector<CheckRow>& rows);
void CheckWorkFolder(long long extractBytes, std::vector<CheckRow>& rows);
void CheckServers(const IniFile& ini, const std::string& option, const SettingsUse& use, const ExtractFacts& extract,
                  std::vector<CheckRow>& rows);

// "a, b, c" of a list.
std::string JoinNames(const std::vector<std::string>& names);
// The client sections of a target: every section named option + "-" + something.
std::vector<std::string> ClientSections(const IniFile& ini, const std::string& option);

}  // namespace tarvelon
