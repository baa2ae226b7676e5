// The settings a target's export reads, as it would see them, and the keys of
// its sections that nothing reads (most often a misspelled key, which the
// export silently replaces by its built-in value).
#include "exporters/check/preflight.h"
#include "platform/text.h"

namespace tarvelon {
namespace {

bool IsSecret(const std::string& key) { return Contains(AnsiLower(key), "pass"); }

bool Listed(const std::vector<std::string>& names, const std::string& name) {
  for (const std::string& known : names)
    if (SameTextIgnoringCase(known, name)) return true;
  return false;
}

void CheckSection(const IniFile& ini, const std::string& section, const std::vector<std::string>& readKeys,
                  std::vector<CheckRow>& rows) {
  const std::vector<std::string> present = ini.Keys(section);
  std::vector<std::string> shown;
  for (const std::string& key : readKeys) {
    if (!Listed(present, key))
      shown.push_back(key + " (built-in)");
    else
      shown.push_back(key + "=" + (IsSecret(key) ? std::string("****") : ini.Read(section, key, "")));
  }
  rows.push_back({"settings [" + section + "]", CheckLevel::Ok, JoinNames(shown)});

  std::vector<std::string> unread;
  for (const std::string& key : present)
    if (!Listed(readKeys, key) && !Listed(unread, key)) unread.push_back(key);
  if (!unread.empty())
    rows.push_back({"unread keys [" + section + "]", CheckLevel::Warning,
                    "never read by the export (misspelled?): " + JoinNames(unread)});
}

}  // namespace

void CheckSettings(const IniFile& ini, const std::string& option, const SettingsUse& use, std::vector<CheckRow>& rows) {
  CheckSection(ini, "Pictlore", {"ServeurFTP", "User", "PassWord", "PathFTP"}, rows);
  // The status report reads its own key from every target section.
  std::vector<std::string> targetKeys = use.targetKeys;
  targetKeys.push_back("StaleHours");
  CheckSection(ini, option, targetKeys, rows);
  if (use.clientKeys.empty()) return;
  const std::vector<std::string> clients = ClientSections(ini, option);
  if (clients.empty())
    rows.push_back({"client sections", CheckLevel::Warning, "no section [" + option + "-<client code>]"});
  for (const std::string& section : clients) CheckSection(ini, section, use.clientKeys, rows);
}

}  // namespace tarvelon
