#include "exporters/autoscout24/autoscout24_exporter.h"

#include "photos/publication.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "stock/conversions.h"
#include "stock/extract.h"
#include "stock/file_operations.h"

namespace tarvelon {

PriceFacts ComputePriceFacts(const std::string& priceText, const std::string& catalogueText) {
  double price = ParseDecimalOrZero(priceText);
  double catalogue = ParseDecimalOrZero(catalogueText);
  if (price == 0) price = catalogue;
  if (catalogue < price) catalogue = 0;
  PriceFacts facts;
  if (catalogue > 0) facts.catalogueText = FormatShortest(catalogue);
  double discount = (price > 0 && catalogue > price) ? (catalogue - price) / catalogue * 100 : 0;
  if (discount >= 10 && discount < 50) facts.discountText = FormatFixed(discount, 0);
  return facts;
}

std::string RegistrationMonth(const std::string& month, const std::string& year) {
  std::string joined = month + "." + year;
  return joined.size() < 7 ? "0" + joined : joined;
}

DeliveryDefaults AutoScout24Exporter::Defaults(const RunState&) const {
  return {ImageServerDefaults().server, "kord-autoscout24", "as24-upload", ""};
}

void AutoScout24Exporter::ReadOwnSettings(RunState& state) {
  state.clientId = state.ReadTargetSetting("idClient", "2400157813");
  // The customer number names the CSV file and the archive.
  RequirePlainClientFileName(state.clientId);
  ReadTestPhotoServer(state);
}

void AutoScout24Exporter::PrepareOutputFolder(RunState& state) {
  state.outputFolder = WorkDir() + "AS24";
  CreateFolders(state.outputFolder);
  CreateFolders(WorkDir() + "VPN");
  ClearFolder(state.outputFolder);
  lines_.clear();
}

void AutoScout24Exporter::ExportRecord(RunState& state, IXMLCursor& record) {
  const std::string idNVO = record.GetValue("idNVO");
  std::string reference = idNVO;
  if (!IsVpn(state)) {
    const std::string brand = ReadInt(record, "TypeVO") == 1 ? std::string() : record.GetValue("IMarque");
    reference = AdReference(state, brand, record.GetValue("RefSite"), record.GetValue("RefExpo")) + "-" + idNVO;
  }
  const PriceFacts prices = ComputePriceFacts(record.GetValue("PrixDuBien"), record.GetValue("PrixConstructeur"));
  std::string site = record.GetValue("RefExpo");
  if (site.empty()) site = record.GetValue("RefSite");
  const std::string guaranteeType = record.GetValue("TypeGarantie");
  std::string tag = !guaranteeType.empty() && Contains(state.options.dwaGuarantees, guaranteeType) ? "DWA" : "";

  IXMLCursor photos = record.Select(PhotoLinksOf(record.GetValue("idVO")));
  const bool hasPhotos = !photos.Eof();
  for (int n = 1; !photos.Eof(); ++n, photos.Next()) {
    if (n >= 2) tag.clear();
    ExportVehiclePhoto(state, n, photos.GetValue("NomImage") + ".jpg", tag, prices.discountText, site, reference);
  }

  ComputedValues values = {
      {"client", state.clientId},
      {"reference", reference},
      {"firstPhoto", hasPhotos ? reference + "_1.jpg" : ""},
      {"version", VersionWithoutModel(record.GetValue("IVersion"), record.GetValue("IModele"))},
      {"registration", RegistrationMonth(record.GetValue("MoisMEC"), record.GetValue("AnneeMEC"))},
      {"doors", std::to_string(LeadingNumber(record.GetValue("NombreDePortes"), 0))},
      {"catalogue", prices.catalogueText},
      {"guaranteeMonths", std::to_string(LeadingNumber(record.GetValue("Garantie"), 0))},
      {"hasGuarantee", record.GetValue("Garantie").empty() ? "0" : "1"},
  };
  AppendCsvColumns(lines_, AutoScout24Columns(), record, values);
  if (IsVpn(state)) {
    const std::string status = AnsiUpper(record.GetValue("InfoVR"));
    values["saleStatus"] = status == "RES" ? Ansi("Réservé") : status == "VEN" ? "Vendu" : record.GetValue("InfoVR");
    AppendCsvColumns(lines_, VpnExtraColumns(), record, values);
  }
  lines_ += "\r\n";
}

void AutoScout24Exporter::WriteOutput(RunState& state) {
  WriteAnsiStringToFile(state, lines_, state.outputFolder + "\\" + state.clientId + ".csv");
}

SettingsUse AutoScout24SettingsUse() {
  SettingsUse use;
  use.targetKeys = FrameTargetKeys({"idClient"});
  use.targetFtp = true;
  return use;
}

}  // namespace tarvelon
