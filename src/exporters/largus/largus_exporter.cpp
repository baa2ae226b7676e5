#include "exporters/largus/largus_exporter.h"

#include "app/run_state.h"
#include "exporters/frame/site_contacts.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "stock/conversions.h"
#include "stock/extract.h"
#include "stock/file_operations.h"
#include "stock/xpath_values.h"

namespace tarvelon {
namespace {

const FieldFormat kQuoted{';', true, true};  // double quotes become blanks
constexpr int kPhotoFields = 8;

std::string JoinNonEmpty(const std::vector<std::string>& parts, const std::string& glue) {
  std::string text;
  for (const auto& part : parts)
    if (!part.empty()) text += (text.empty() ? "" : glue) + part;
  return text;
}

}  // namespace

DeliveryDefaults LArgusExporter::Defaults(const RunState&) const {
  return {ImageServerDefaults().server, "kord-largus", "largus-upload", ""};
}

void LArgusExporter::PrepareOutputFolder(RunState& state) {
  CreateFolders(WorkDir() + "Tarvelon");
  state.outputFolder = folder_ = WorkDir() + "Argus";
  ClearFolder(state.outputFolder);  // created when the first line is written
  written_.clear();
  const ServerFields& target = state.window.target();
  state.LogLine("Param Serveur : " + target.server);
  state.LogLine("Param Utilisateur : " + target.user);
  state.LogLine("Param MDP : " + target.password);
  state.LogLine(Ansi("Param Répertoire : ") + target.folder);
}

void LArgusExporter::BeforeWalk(RunState& state) { state.LogLine("avant boucle"); }

std::string LArgusExporter::ClientFile(const std::string& client) const { return folder_ + "\\" + client + ".csv"; }

bool LArgusExporter::TakesRecord(RunState& state, IXMLCursor& record) {
  const std::string client = record.GetValue("id-Client");
  const std::string vehicle = record.GetValue("idNVO");
  if (!IsPlainFileName(client)) {
    state.LogLine(Ansi("Identifiant client refusé pour un nom de fichier : ") + client + " - VO " + vehicle);
    return false;
  }
  // A file an earlier run left behind is neither appended to nor sent.
  const std::string file = ClientFile(client);
  if (!written_.count(AnsiLower(file)) && (FileExists(file) || FolderExists(file))) {
    state.LogLine(Ansi("Fichier d'un envoi précédent non supprimé, VO non exporté : ") + file + " - VO " + vehicle);
    return false;
  }
  return true;
}

void LArgusExporter::ExportRecord(RunState& state, IXMLCursor& record) {
  record.SetValue("Marque", BrandName(record.GetValue("Marque")));
  SiteContactSubstitution(state, record);

  const std::string brand = ReadInt(record, "TypeVO") == 1 ? std::string() : record.GetValue("Marque");
  const int guarantee = LeadingNumber(record.GetValue("Garantie"), 0);
  ComputedValues values = {
      {"bodyType", LArgusBodyType(record.GetValue("TypeCarrosserie"))},
      {"reference", AdReference(state, brand, record.GetValue("RefSite"), record.GetValue("RefExpo")) + "-" +
                        record.GetValue("idNVO")},
      {"version", VersionWithoutModel(record.GetValue("Version"), record.GetValue("Modele"))},
      {"gearbox", AnsiUpper(record.GetValue("TypeBoiteVitesse")) == "AUTOMATIQUE" ? "1" : "0"},
      {"airConditioning", Contains(AnsiUpper(record.GetValue("EqutInterieur")), "CLIM") ? "1" : "0"},
      {"doors", std::to_string(LeadingNumber(record.GetValue("NombreDePortes"), 0))},
      {"guarantee", guarantee == 0 ? "" : std::to_string(guarantee)},
  };
  std::string line;
  AppendCsvColumns(line, LArgusLeadingColumns(), record, values, kQuoted);

  const std::string lists[] = {record.GetValue("EqutInterieur"), record.GetValue("EqutExterieur"),
                               record.GetValue("EqutSecurite")};
  const std::string labels[] = {EquipmentLabels(record, lists[0]), EquipmentLabels(record, lists[1]),
                                EquipmentLabels(record, lists[2])};
  const std::string seller = record.GetValue("nomvendeur");
  const bool standard = AnsiUpper(seller) == "STANDARD";
  std::string description = (standard ? Ansi("Tél : ") : "Contactez " + seller + " au ") + record.GetValue("telephone");
  const char* const headings[] = {" - Equipements Intérieurs : ", " - Equipements Extérieurs : ",
                                  " - Equipements Sécurité : "};
  for (int i = 0; i < 3; ++i)
    if (!labels[i].empty()) description += Ansi(headings[i]) + labels[i];

  // Only the lists that have labels give codes.
  const std::string complement = record.GetValue("InfoComplement");
  const std::string combined = JoinNonEmpty({labels[0].empty() ? "" : lists[0], labels[1].empty() ? "" : lists[1],
                                             labels[2].empty() ? "" : lists[2], complement},
                                            ", ");
  values["description"] = description;
  values["complement"] = EquipmentLabels(record, complement);
  values["safety"] = LArgusSafetyCodes(combined);
  values["equipment"] = LArgusEquipmentCodes(combined);
  values["seller"] = standard ? "" : seller;
  IXMLCursor photos = record.Select(PhotoLinksOf(record.GetValue("idVO")));
  for (int n = 1; n <= kPhotoFields; ++n) {
    std::string link;
    if (!photos.Eof()) {
      link = state.options.photoBaseAddress + "/" + photos.GetValue("NomImage") + ".jpg";
      photos.Next();
    }
    values["photo" + std::to_string(n)] = link;
  }
  AppendCsvColumns(line, LArgusTrailingColumns(), record, values, kQuoted);
  line.pop_back();  // no separator after the last field

  const std::string file = ClientFile(record.GetValue("id-Client"));
  CreateFolders(folder_);
  AppendLineToFile(file, line);
  written_.emplace(AnsiLower(file), file);
}

std::vector<std::string> LArgusExporter::FilesToDeliver(const RunState&) const {
  std::vector<std::string> files;
  for (const auto& [key, file] : written_) files.push_back(file);
  return files;
}

void LArgusExporter::BeforeFileDelivery(RunState& state, const std::string& file) {
  state.LogLine("envoi fichier : " + file);
}

void LArgusExporter::Finish(RunState& state) {
  state.LogLine(Ansi("après boucle ") + std::to_string(state.counters.vehicleCount) + Ansi(" VO traités"));
  state.resultSuffix.clear();
  state.resultSuffix = Deliver(state);
  SaveExtractCopy("yyyymmddhhnn");
  RestartLogForDelivery(state);
  state.LogLine(Ansi("Fichier VO actualisé sur site FTP - ") + std::to_string(state.counters.vehicleCount) + " VO - " +
                state.resultSuffix);
}

SettingsUse LArgusSettingsUse() {
  SettingsUse use;
  use.targetKeys = FrameTargetKeys();
  use.targetFtp = true;
  return use;
}

}  // namespace tarvelon
