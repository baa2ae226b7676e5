#pragma once
// The option table and RunExport: from the operator's or the scheduler's
// option to the exporter that serves it.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/run_state.h"

namespace tarvelon {

struct OptionEntry {
  const char* key;              // upper case, as compared
  const char* argument;         // what the exporter receives ("" when none)
  const char* referencePrefix;  // ReferencePrefix
};
const std::vector<OptionEntry>& OptionTable();
const OptionEntry* FindOption(const std::string& upperKey);

// The targets offered in the drop-down list, in their order.
const std::vector<std::string>& DropDownTargets();

// What an exporter reads from the settings and how it delivers, declared as
// data so that a preflight can show the settings and reach the servers
// without running the export.
struct SettingsUse {
  std::vector<std::string> targetKeys;  // keys of the target's own section
  bool targetFtp = false;               // sends to the target section's FTP account
  std::vector<std::string> clientKeys;  // keys of the client sections, KEY + "-" + client code
  bool clientFtp = false;               // each client section names an FTP account it sends to
  bool mail = false;                    // sends a mail (section "StrInfoLog")
  bool vivacarPost = false;             // posts to the Vivacar import service
};

// Exporters are registered by option key; RunExport calls the one found.
class ExporterRegistry {
 public:
  using EntryPoint = std::function<void(RunState&, const std::string& argument)>;
  void Register(const std::string& optionKey, EntryPoint entry, SettingsUse use = {});
  const EntryPoint* Find(const std::string& optionKey) const;
  // Null for a key registered without one.
  const SettingsUse* FindSettingsUse(const std::string& optionKey) const;

 private:
  std::map<std::string, EntryPoint> entries_;
  std::map<std::string, SettingsUse> uses_;
};

// Selects the target, loads the settings, restarts the log and runs the
// exporter. Errors (Error) escape to the front end.
void RunExport(RunState& state, const std::string& option, const ExporterRegistry& exporters);

// The drop folder of the Vivacar files.
std::string VivacarFolder();

// The syntax line shown when the command line holds no single option.
std::string SyntaxLine();

}  // namespace tarvelon
