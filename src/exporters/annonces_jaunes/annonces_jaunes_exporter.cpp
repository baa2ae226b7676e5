#include "exporters/annonces_jaunes/annonces_jaunes_exporter.h"

#include "app/run_state.h"
#include "exporters/dealer_csv/dealer_csv_exporter.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "stock/conversions.h"
#include "stock/file_operations.h"

namespace tarvelon {

std::string WarrantyEndDate(const DateTime& today, int months) {
  if (months <= 0 || months > 1200) return "";
  const int monthIndex = today.month - 1 + months;
  DateTime end = today;
  end.year = today.year + monthIndex / 12;
  end.month = monthIndex % 12 + 1;
  if (end.day > 28) end.day = 28;
  return FormatStamp(end, "dd/mm/yyyy");
}

int AirbagCount(const std::string& safetyList) {
  int count = 0;
  if (HasEquipmentCode(safetyList, "AirbagCond") == "1") count += 1;
  if (HasEquipmentCode(safetyList, "AirbagPass") == "1") count += 1;
  if (HasEquipmentCode(safetyList, "AirbagLat") == "1") count += 2;
  return count;
}

DeliveryDefaults AnnoncesJaunesExporter::Defaults(const RunState&) const {
  DeliveryDefaults defaults = ImageServerDefaults();
  defaults.folder = "";
  return defaults;
}

void AnnoncesJaunesExporter::ReadOwnSettings(RunState& state) {
  state.clientId = state.ReadTargetSetting("idClient", "410257");
  // The client number names the CSV files and the archive.
  if (!IsPlainFileName(state.clientId))
    throw Error(Ansi("Identifiant client refusé pour un nom de fichier : ") + state.clientId);
  ReadTestPhotoServer(state);
}

void AnnoncesJaunesExporter::PrepareOutputFolder(RunState& state) {
  state.outputFolder = WorkDir() + "Tarvelon";  // shared with other targets: never emptied
  text_ = QuotedCsvText();
}

void AnnoncesJaunesExporter::ExportRecord(RunState& state, IXMLCursor& record) {
  const std::string reference = DealerReference(state, record, true, false);
  const DealerVehicle vehicle = PrepareDealerVehicle(state, record, reference);
  const std::string discount = DealerDiscountText(record);

  const int months = LeadingNumber(record.GetValue("Garantie"), 0);
  const std::string warrantyEnd = Contains(vehicle.information, ";Gar;") ? WarrantyEndDate(Now(), months) : "";

  std::vector<std::string> photos = VehiclePhotoNames(record, 6);
  const bool tagAll = Contains(state.options.tagAllTargets, state.exportOptionLower);
  if (!photos.empty() && (!discount.empty() || tagAll)) {
    TagInputs tags;
    tags.discount = discount;
    photos[0] = TaggedFirstPhoto(state, record, photos[0], tags);
  }
  const std::string base = state.options.photoBaseAddress + "/";

  ComputedValues values = {
      {"client", state.clientId},
      {"reference", reference},
      // The whole description: see the README ("Description véhicule").
      {"description", vehicle.texts.description},
      {"url", photos.empty() ? std::string() : base + photos[0]},
      {"contactName", ContactName(record)},
      {"warrantyEnd", warrantyEnd},
      {"guaranteeMonths", std::to_string(months)},
      {"staff", record.GetValue("TypeVO") == "3" ? "O" : "N"},
      {"airbags", std::to_string(AirbagCount(record.GetValue("EqutSecurite")))},
      {"doors", std::to_string(LeadingNumber(record.GetValue("NombreDePortes"), 0))},
      {"automatic", record.GetValue("TypeBoiteVitesse") == "Automatique" ? "O" : "N"},
  };
  for (size_t k = 1; k <= 6; ++k)
    values["photo" + std::to_string(k)] = k <= photos.size() ? base + photos[k - 1] : std::string();

  text_.StartVehicle(state.counters.vehicleCount == 1);
  text_.AddColumns(AnnoncesJaunesColumns(), record, values);
  text_.EndVehicle();
}

void AnnoncesJaunesExporter::WriteOutput(RunState& state) {
  const std::string text = text_.Text();
  WriteAnsiStringToFile(state, text, DatedCsvPath(state.clientId));
  WriteAnsiStringToFile(state, text, UndatedCsvPath(state.clientId));
}

// The shared work folder holds other targets' files: the archive gets the undated CSV alone.
std::string AnnoncesJaunesExporter::ZipEntry(const RunState& state) const { return UndatedCsvPath(state.clientId); }

SettingsUse AnnoncesJaunesSettingsUse() {
  SettingsUse use;
  use.targetKeys = FrameTargetKeys({"idClient"});
  use.targetFtp = true;
  return use;
}

}  // namespace tarvelon
