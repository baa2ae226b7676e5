#include "exporters/neowebcar/neowebcar_exporter.h"

#include "platform/clock.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "stock/conversions.h"
#include "stock/extract.h"
#include "stock/file_operations.h"
#include "transfer/ftp_delivery.h"
#include "transfer/mail_delivery.h"

namespace tarvelon {

const char* const kNeoWebCarExportAddress = "http://www.groupe-kord.fr/mirvane/export/";

namespace {

constexpr int kLinkCount = 7;

std::string LinkElement(int n) { return "LienImage" + std::to_string(n); }

// Labels of the four code lists, each followed by "|".
std::string OptionsText(const IXMLCursor& record) {
  std::string text;
  for (const char* list : {"InfoOptions", "InfoEquiInterieur", "InfoEquiExterieur", "InfoEquiSecurite"}) {
    const std::string labels = EquipmentLabels(record, record.GetValue(list));
    if (!labels.empty()) text += labels + "|";
  }
  return ReplaceAll(text, ", ", "|");
}

}  // namespace

std::string NeoWebCarVersion(const std::string& version, const std::string& model) {
  std::string text = version;
  if (!model.empty() && Contains(text, model)) {
    const size_t at = FindIgnoringCase(text, model);
    if (at != std::string::npos) text.erase(at, model.size());
  }
  text = ReplaceAll(text, "  ", " ");
  if (!text.empty() && text[0] == ' ') text = text.substr(1, 100);
  return text;
}

DeliveryDefaults NeoWebCarExporter::Defaults(const RunState&) const {
  DeliveryDefaults d = ImageServerDefaults();
  d.folder = "www/mirvane/export";
  return d;
}

void NeoWebCarExporter::ReadOwnSettings(RunState& state) {
  testSend_ = state.ReadTargetSetting("TestSend", "1");
  state.clientId = state.ReadTargetSetting("idClient", "TestExportNWC");
  RequirePlainClientFileName(state.clientId);
  ReadTestPhotoServer(state);
}

void NeoWebCarExporter::PrepareOutputFolder(RunState& state) {
  // The file goes into the work folder's Tarvelon folder; nothing is emptied.
  state.outputFolder.clear();
  outputPath_ = WorkDir() + "Tarvelon\\" + state.clientId + ".csv";
  columns_.clear();
  text_.clear();
  for (const auto& column : NeoWebCarColumns()) {
    columns_.push_back(column.value);
    AppendCsvField(text_, Ansi(column.header));
  }
  text_ += "\r\n";
  withoutPhoto_ = vnCount_ = vdCount_ = 0;
}

void NeoWebCarExporter::BeforeWalk(RunState& state) {
  IXMLCursor links = extract_.Select(kPhotoLinks);
  state.LogLine(Ansi("Après premier Select LiensImages"));
  for (; !links.Eof(); links.Next()) {
    IXMLCursor vehicle = links.Select(VehicleRecordOf(links.GetValue("idVO")));
    if (vehicle.Eof()) continue;
    for (int n = 1; n <= kLinkCount; ++n) {
      if (!vehicle.GetValue(LinkElement(n)).empty()) continue;
      vehicle.SetValue(LinkElement(n), state.options.photoBaseAddress + "/" + links.GetValue("NomImage") + ".jpg");
      break;
    }
  }
}

void NeoWebCarExporter::ExportRecord(RunState& state, IXMLCursor& record) {
  if (record.GetValue("LienImage1").empty()) ++withoutPhoto_;
  const std::string brand = ReadInt(record, "TypeVO") == 1 ? std::string() : record.GetValue("Marque");
  const std::string reference =
      AdReference(state, brand, record.GetValue("RefSite"), record.GetValue("RefExpo")) + "-" + record.GetValue("idNVO");

  const double catalogue = ParseDecimalOrZero(record.GetValue("PrixCatalogue"));
  double price = ParseDecimalOrZero(record.GetValue("Prix"));
  if (price == 0) price = catalogue;
  const double ratio = price > 0 && price < catalogue ? (catalogue - price) / catalogue : 0;

  std::string status = AnsiUpper(record.GetValue("StatutVD").substr(0, 2));
  if (status.empty()) status = "VN";
  if (status == "VN") ++vnCount_;
  if (status == "VD") ++vdCount_;

  const std::string km = record.GetValue("Kilometrage");
  const std::string registration = record.GetValue("MEC");
  const std::string plate = record.GetValue("Immatriculation");
  const std::string contact = record.GetValue("Contact");
  const ComputedValues values = {
      {"status", status},
      {"version", NeoWebCarVersion(record.GetValue("Version"), record.GetValue("Modele"))},
      {"options", OptionsText(record)},
      {"optionCodes", UpperCaseOptionCodes(record.GetValue("Options3270"), "|")},
      {"discount", FormatShortest(ratio)},
      {"price", FormatShortest(price)},
      {"km", km == "0" ? "10" : km},
      {"registration", registration.empty() ? FormatStamp(Now(), "dd/mm/yyyy") : registration},
      {"plate", plate.empty() ? "AA000AA" : plate},
      {"reference", reference},
      {"contact", AnsiUpper(contact) == "STANDARD" ? "" : contact},
  };
  AppendCsvColumns(text_, columns_, record, values);
  text_ += "\r\n";
}

void NeoWebCarExporter::WriteOutput(RunState& state) { WriteAnsiStringToFile(state, text_, outputPath_); }

std::string NeoWebCarExporter::ResultSuffix(int vehicles) const {
  std::string suffix;
  if (vehicles > 0) suffix = std::to_string(vehicles) + Ansi(" Véhicule") + (vehicles > 1 ? "s" : "");
  if (vnCount_ != 0) suffix += ", " + std::to_string(vnCount_) + " VN";
  if (vdCount_ != 0) suffix += ", " + std::to_string(vdCount_) + " VD";
  if (withoutPhoto_ != 0) suffix += ", " + std::to_string(withoutPhoto_) + " sans photo";
  return suffix;
}

void NeoWebCarExporter::Finish(RunState& state) {
  SaveExtractCopy("yyyymmddhhnn");
  WriteOutput(state);
  state.resultSuffix = ResultSuffix(state.counters.vehicleCount);
  state.LogLine("");
  state.LogLine(Ansi("Fichier Transféré par Mail : ") + outputPath_);
  if (testSend_ == "0") return;  // written, neither sent nor announced

  const std::string status = Deliver(state);
  state.LogLine(status + Ansi("Fichier VO actualisé sur site FTP : ") + state.resultSuffix);
  // A mail must never point at a file the server did not receive.
  if (status != kFtpStatusOk) {
    state.LogLine(Ansi("Mail non envoyé : le fichier n'a pas été transféré"));
    return;
  }
  SendMail(state, kNeoWebCarExportAddress + FileNameOf(outputPath_), state.resultSuffix);
}

SettingsUse NeoWebCarSettingsUse() {
  SettingsUse use;
  use.targetKeys = FrameTargetKeys({"TestSend", "idClient"});
  use.targetFtp = true;
  use.mail = true;
  return use;
}

}  // namespace tarvelon
