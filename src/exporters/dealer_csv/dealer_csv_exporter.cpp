#include "exporters/dealer_csv/dealer_csv_exporter.h"

#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "stock/conversions.h"
#include "stock/extract.h"
#include "stock/file_operations.h"
#include "transfer/ftp_delivery.h"
#include "transfer/script_delivery.h"

namespace tarvelon {

std::string DatedCsvPath(const std::string& baseName) {
  return WorkDir() + "Tarvelon\\" + baseName + "-" + FormatStamp(Now(), "yyyymmddhhnn") + ".csv";
}

std::string UndatedCsvPath(const std::string& baseName) { return WorkDir() + "Tarvelon\\" + baseName + ".csv"; }

std::string DealerCsvSummary(const DealerCsvCounts& counts, bool omitZeroCounts) {
  struct Part {
    int count;
    const char* word;
    bool omittable;
  };
  const Part parts[] = {{counts.discounted, " Remisés", true}, {counts.business, " Affaires", true},
                        {counts.reserved, " Réservés", false}, {counts.sold, " Vendus", false},
                        {counts.used, " VO", false},           {counts.demo, " VD", true},
                        {counts.demoZ, " VDZ", true}};
  std::string summary;
  for (const Part& part : parts)
    if (!(omitZeroCounts && part.omittable && part.count == 0))
      summary += " - " + std::to_string(part.count) + Ansi(part.word);
  return summary;
}

DeliveryDefaults DealerCsvExporter::Defaults(const RunState&) const {
  DeliveryDefaults defaults = ImageServerDefaults();
  defaults.folder = "www/mirvane/export";
  return defaults;
}

void DealerCsvExporter::ReadOwnSettings(RunState& state) {
  ReadTestPhotoServer(state);
  if (profile_.readsPort) state.ftpPortText = state.ReadTargetSetting("NumPort", "21");
}

void DealerCsvExporter::PrepareOutputFolder(RunState& state) {
  // Every file goes to WorkDir + "Tarvelon\", which other targets share:
  // nothing there is emptied.
  state.outputFolder = WorkDir() + "Tarvelon";
  text_ = QuotedCsvText();
  counts_ = DealerCsvCounts();
}

void DealerCsvExporter::ExportRecord(RunState& state, IXMLCursor& record) {
  const bool weekly = profile_.reference == ReferenceStyle::WeeklyWithDayLetter;
  const std::string reference = DealerReference(state, record, weekly, weekly);
  const std::string typeVO = record.GetValue("TypeVO");
  const bool vdz = record.GetValue("StatutVD") == "VDZ";
  if (typeVO == "1") ++counts_.used;
  else if (vdz) ++counts_.demoZ;
  else ++counts_.demo;

  const DealerVehicle vehicle = PrepareDealerVehicle(state, record, reference);
  if (record.GetValue("CptReservation") == "1") ++counts_.reserved;
  if (!record.GetValue("DateOrdre").empty()) ++counts_.sold;

  const std::string business = record.GetValue("InfoVA") == "VA" ? "1" : "0";
  if (business == "1") ++counts_.business;
  const bool makerGuarantee = HasEquipmentCode(vehicle.information, "GarCons") == "1" || typeVO == "2";
  const std::string wheels = HasEquipmentCode(record.GetValue("EqutExterieur"), profile_.wheelCode);
  ComputedValues values = {
      {"reference", reference},
      {"contactName", ContactName(record)},
      {"saleType", profile_.saleTypeCodes[vdz ? 2 : typeVO == "2" ? 1 : 0]},
      // The whole description: see the README ("Description véhicule").
      {"description", vehicle.texts.description},
      {"reserved", record.GetValue("CptReservation") == "1" ? "1" : "0"},
      {"business", business},
      {"makerGuarantee", makerGuarantee ? "1" : "0"},
      {"guaranteeMonths", std::to_string(LeadingNumber(record.GetValue("Garantie"), 0))},
      {"doors", std::to_string(LeadingNumber(record.GetValue("NombreDePortes"), 0))},
      {"wheels", wheels.empty() ? "0" : wheels},
  };

  const TagInputs tags = ComputeTagInputs(state, record, vehicle.unmappedBrand, profile_.dwaTag);
  if (!tags.discount.empty()) ++counts_.discounted;
  AddPhotoValues(state, record, tags, values);

  text_.StartVehicle(state.counters.vehicleCount == 1);
  text_.AddColumns(DealerCsvMainColumns(), record, values);
  text_.AddColumns(profile_.photos == PhotoStyle::SixLinks ? SixPhotoColumns() : PhotoListColumns(), record, values);
  text_.AddColumns(profile_.trailingColumns(), record, values);
  text_.EndVehicle();
}

void DealerCsvExporter::AddPhotoValues(RunState& state, const IXMLCursor& record, const TagInputs& tags,
                                       ComputedValues& values) {
  const bool six = profile_.photos == PhotoStyle::SixLinks;
  std::vector<std::string> names = VehiclePhotoNames(record, six ? 6 : static_cast<size_t>(-1));
  if (!names.empty() && tags.Any()) names[0] = TaggedFirstPhoto(state, record, names[0], tags);
  const std::string base = state.options.photoBaseAddress + "/";
  if (six) {
    for (size_t k = 1; k <= 6; ++k)
      values["photo" + std::to_string(k)] = k <= names.size() ? base + names[k - 1] : std::string();
    return;
  }
  std::string list;
  for (const std::string& name : names) list += PhotoNamePart(name) + ",";
  if (!list.empty()) list.pop_back();
  values["photoCount"] = std::to_string(names.size());
  // Without photos the address of the photo root alone.
  values["photoPath"] = base + (names.empty() ? std::string() : PhotoFolderPart(names.back()));
  values["photoList"] = list;
}

void DealerCsvExporter::WriteOutput(RunState& state) {
  const std::string text = text_.Text();
  WriteAnsiStringToFile(state, text, DatedCsvPath(profile_.baseName));
  WriteAnsiStringToFile(state, text, UndatedCsvPath(profile_.baseName));
}

std::string DealerCsvExporter::ZipBaseName(const RunState&) const { return profile_.zip ? profile_.baseName : ""; }

// The shared work folder holds other targets' files: the archive gets the undated CSV alone.
std::string DealerCsvExporter::ZipEntry(const RunState&) const { return UndatedCsvPath(profile_.baseName); }

std::string DealerCsvExporter::AnnouncedFile(const RunState& state) const {
  return profile_.delivery == DeliveryKind::Ftp ? state.zipPath : UndatedCsvPath(profile_.baseName);
}

std::string DealerCsvExporter::Deliver(RunState& state) {
  if (profile_.delivery == DeliveryKind::Ftp) return DeliverFtp(state, state.zipPath, true);
  return SftpScriptDelivery(state, profile_.scriptName);
}

std::string DealerCsvExporter::FinalLine(const RunState& state, const std::string& status) const {
  const std::string counts = std::to_string(state.counters.vehicleCount) + " VO" +
                             DealerCsvSummary(counts_, profile_.omitZeroCounts);
  if (profile_.delivery == DeliveryKind::Ftp)
    return status + Ansi("Fichier VO actualisé sur site FTP : ") + FileNameOf(state.zipPath) + " - " + counts;
  return Ansi("Fichier VO actualisé sur site sFTP : ") + FileNameOf(UndatedCsvPath(profile_.baseName)) + " - " +
         counts + status;
}

void RunDealerCsvExport(RunState& state) { DealerCsvExporter(DealerCsvProfileOf(state.exportOption)).Run(state); }

SettingsUse DealerCsvSettingsUse(const std::string& optionKey) {
  const DealerCsvProfile& profile = DealerCsvProfileOf(optionKey);
  SettingsUse use;
  use.targetKeys = profile.readsPort ? FrameTargetKeys({"NumPort"}) : FrameTargetKeys();
  use.targetFtp = profile.delivery == DeliveryKind::Ftp;
  return use;
}

}  // namespace tarvelon
