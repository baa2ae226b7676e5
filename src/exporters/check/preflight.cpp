#include "exporters/check/preflight.h"

#include <cstdio>

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace tarvelon {

std::string JoinNames(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

std::vector<std::string> ClientSections(const IniFile& ini, const std::string& option) {
  std::vector<std::string> sections;
  const std::string prefix = option + "-";
  for (const std::string& section : ini.Sections())
    if (section.size() > prefix.size() && SameTextIgnoringCase(section.substr(0, prefix.size()), prefix))
      sections.push_back(section);
  return sections;
}

std::vector<CheckRow> RunPreflight(const OptionEntry& option, const ExporterRegistry& exporters) {
  std::vector<CheckRow> rows;
  const IniFile ini(ProgramFolder() + "Tarvelon.ini");
  if (FileExists(ini.path()))
    rows.push_back({"settings file", CheckLevel::Ok, ini.path()});
  else
    rows.push_back({"settings file", CheckLevel::Failed, "not found: " + ini.path() + " (every key at its built-in value)"});

  const SettingsUse* use = exporters.FindSettingsUse(option.key);
  if (!exporters.Find(option.key) || !use) {
    rows.push_back({"exporter", CheckLevel::Failed, Ansi("Export non disponible dans cette version : ") + option.key});
    return rows;
  }
  Options options;
  try {
    options = Options::Load(ini);
  } catch (const std::exception& e) {
    rows.push_back({"settings [Options]", CheckLevel::Failed, e.what()});
  }
  CheckSettings(ini, option.key, *use, rows);
  const ExtractFacts extract = CheckExtract(option.key, options, rows);
  CheckWorkFolder(extract.bytes, rows);
  CheckServers(ini, option.key, *use, extract, rows);
  return rows;
}

bool AnyCheckFailed(const std::vector<CheckRow>& rows) {
  for (const CheckRow& row : rows)
    if (row.level == CheckLevel::Failed) return true;
  return false;
}

std::string PreflightTable(const std::vector<CheckRow>& rows) {
  static const char* const kLevels[] = {"ok", "warning", "FAILED"};
  std::string out;
  char line[128];
  std::snprintf(line, sizeof line, "%-8s %-32s %s\n", "STATUS", "CHECK", "REASON");
  out += line;
  for (const CheckRow& row : rows) {
    std::snprintf(line, sizeof line, "%-8s %-32s ", kLevels[static_cast<int>(row.level)],
                  AnsiToUtf8(row.name).c_str());
    out += line + AnsiToUtf8(row.reason) + "\n";
  }
  return out;
}

}  // namespace tarvelon
