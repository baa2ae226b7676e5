#include "app/dispatch.h"

#include "app/run_journal.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace tarvelon {

const std::vector<OptionEntry>& OptionTable() {
  static const std::vector<OptionEntry> table = {
      {"AUTOREFLEX", "AUTOREFLEX", ""}, {"AXECIBLES", "", "AXE"},
      {"FVA", "", ""},                  {"BUSINESSAPTITUDE", "", ""},
      {"BRELO", "", ""},                {"RAD1", "Rad1", ""},
      {"LARGUS", "", ""},               {"AUTOSCOUT24", "", "A24"},
      {"VPN", "", ""},                  {"PVO", "", ""},
      {"NEOWEBCAR", "", ""},            {"SITAUTOPRO", "", ""},
      {"TOPANNONCES", "", ""},          {"LEBONCOIN", "", "LBC"},
      {"PARUVENDU", "", ""},            {"HEYCAR", "", ""},
      {"GMBFI", "", ""},                {"INFOPRESS", "InfoPress", ""},
      {"VIVACAR", "", ""},              {"ANNONCESJAUNES", "", "AJ_"},
  };
  return table;
}

const OptionEntry* FindOption(const std::string& upperKey) {
  for (const auto& entry : OptionTable())
    if (upperKey == entry.key) return &entry;
  return nullptr;
}

const std::vector<std::string>& DropDownTargets() {
  static const std::vector<std::string> targets = {
      "ParuVendu", "AutoScout24", "SitAutoPro", "TopAnnonces", "LeBonCoin", "InfoPress", "AnnoncesJaunes",
      "AutoReflex", "LArgus", "AxeCibles", "NeoWebCar", "Rad1", "VPN", "PVO", "Vivacar", "FVA",
      "BusinessAptitude", "BRELO", "Heycar"};
  return targets;
}

void ExporterRegistry::Register(const std::string& optionKey, EntryPoint entry, SettingsUse use) {
  entries_[optionKey] = std::move(entry);
  uses_[optionKey] = std::move(use);
}

const SettingsUse* ExporterRegistry::FindSettingsUse(const std::string& optionKey) const {
  auto it = uses_.find(optionKey);
  return it == uses_.end() ? nullptr : &it->second;
}

const ExporterRegistry::EntryPoint* ExporterRegistry::Find(const std::string& optionKey) const {
  auto it = entries_.find(optionKey);
  return it == entries_.end() ? nullptr : &it->second;
}

std::string VivacarFolder() { return "C:\\Projects\\Kord\\Data\\Tarvelon\\Vivacar"; }

std::string SyntaxLine() { return "Syntax : Tarvelon \"option\""; }

namespace {

// Before a Vivacar export: the drop folder exists and holds no leftover ".txt" file.
void PrepareVivacarFolder() {
  const std::string folder = VivacarFolder();
  CreateFolder(folder);
  for (const auto& entry : ListFolder(folder)) {
    if (entry.isFolder || entry.hidden) continue;
    if (entry.name.size() >= 4 && SameTextIgnoringCase(entry.name.substr(entry.name.size() - 4), ".txt"))
      DeleteFile(folder + "\\" + entry.name);
  }
}

}  // namespace

void RunExport(RunState& state, const std::string& option, const ExporterRegistry& exporters) {
  const std::string upper = AnsiUpper(option);
  state.exportOptionLower = AnsiLower(option);
  state.exportOption.clear();

  const std::string iniPath = ProgramFolder() + "Tarvelon.ini";
  if (!FileExists(iniPath)) state.LogLine(Ansi("Fichier INI non trouvé : ") + iniPath);
  state.config = IniFile(iniPath);
  state.options = Options::Load(state.config);
  state.referencePrefix.clear();

  const OptionEntry* entry = FindOption(upper);
  if (entry) {
    state.exportOption = upper;
    state.referencePrefix = entry->referencePrefix;
  }
  state.window.SetStartControlsVisible(state.exportOption.empty());
  state.window.SetCaptions(Ansi("Export des données pour ") + upper, "Connexion FTP pour " + upper + " : ");
  if (!entry) return;

  state.LogLine("");
  const ExporterRegistry::EntryPoint* exporter = exporters.Find(entry->key);
  if (!exporter) throw Error("Export non disponible dans cette version : " + upper);
  if (upper == "VIVACAR") PrepareVivacarFolder();
  JournalRecorder journal(state);
  try {
    (*exporter)(state, entry->argument);
  } catch (const std::exception& e) {
    journal.Finish(state, e.what());
    throw;
  }
  journal.Finish(state, "");
}

}  // namespace tarvelon
