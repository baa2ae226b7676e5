#include "app/run_state.h"
#include "exporters/dealer_csv/dealer_csv_rows.h"
#include "platform/clock.h"
#include "platform/numbers.h"
#include "photos/decorate.h"
#include "platform/text.h"
#include "stock/conversions.h"
#include "stock/extract.h"
#include "stock/xpath_values.h"

namespace tarvelon {

std::string DealerDiscountText(const IXMLCursor& record) {
  const double catalogue = ParseDecimalOrZero(record.GetValue("PrixCatalogue"));
  double price = ParseDecimalOrZero(record.GetValue("Prix"));
  if (price == 0) price = catalogue;
  double rate = 0;
  if (price > 0 && price < catalogue) rate = (catalogue - price) / catalogue * 100;
  if (record.GetValue("TypeVO") == "2" && rate >= 10 && rate < 50) return FormatFixed(rate, 0);
  return "";
}

TagInputs ComputeTagInputs(const RunState& state, const IXMLCursor& record, const std::string& unmappedBrand,
                           bool withDwa) {
  TagInputs tags;
  if (record.GetValue("TypeVO") == "2" && record.GetValue("vMarque") == unmappedBrand + "Z") tags.z = "Z";
  if (state.options.AtpRunning(Now()) && record.GetValue("InfoVA") == "VA") tags.atp = "ATP";
  if (!record.GetValue("DateOrdre").empty()) tags.saleStatus = "vendu";
  else if (ToIntDef(record.GetValue("CptReservation"), 0) != 0) tags.saleStatus = "reserve";
  tags.discount = DealerDiscountText(record);
  if (withDwa) {
    const std::string guarantee = record.GetValue("TypeGarantie");
    if (!guarantee.empty() && Contains(state.options.dwaGuarantees, guarantee)) tags.dwa = "DWA";
  }
  return tags;
}

std::string DealerReference(const RunState& state, const IXMLCursor& record, bool withExpo, bool dayLetter) {
  const std::string brand = ReadInt(record, "TypeVO") != 1 ? record.GetValue("Marque") : std::string();
  std::string reference =
      AdReference(state, brand, record.GetValue("RefSite"), withExpo ? record.GetValue("RefExpo") : std::string());
  if (dayLetter) reference += static_cast<char>('A' + DayOfWeek(Now()));
  return reference + "-" + record.GetValue("refAnnonce");
}

DealerVehicle PrepareDealerVehicle(RunState& state, IXMLCursor& record, const std::string& reference) {
  DealerVehicle vehicle;
  vehicle.unmappedBrand = record.GetValue("Marque");
  record.SetValue("Marque", BrandName(vehicle.unmappedBrand));
  SiteContactSubstitution(state, record);
  vehicle.information = AdjustedInformationList(record.GetValue("InfoComplement"), record.GetValue("Garantie"));
  record.SetValue("InfoComplement", vehicle.information);
  vehicle.texts = VehicleDescription(record, reference, vehicle.information);
  return vehicle;
}

std::string TaggedFirstPhoto(RunState& state, const IXMLCursor& record, const std::string& photoName,
                             const TagInputs& tags) {
  return DecoratePhoto(state, photoName, AnsiUpper(record.GetValue("RefExpo")), tags.atp, tags.z, tags.saleStatus,
                       tags.discount, tags.dwa);
}

std::vector<std::string> VehiclePhotoNames(const IXMLCursor& record, size_t limit) {
  std::vector<std::string> names;
  for (IXMLCursor photos = record.Select(PhotoLinksOf(record.GetValue("idVO"))); !photos.Eof() && names.size() < limit;
       photos.Next())
    names.push_back(photos.GetValue("NomImage") + ".jpg");
  return names;
}

std::string PhotoFolderPart(const std::string& photoName) { return photoName.substr(0, 7); }

std::string PhotoNamePart(const std::string& photoName) {
  return photoName.size() > 7 ? photoName.substr(7, 1000) : std::string();
}

}  // namespace tarvelon
