// The computed fields of a PVO vehicle line.
#include "app/run_state.h"
#include "exporters/pvo/pvo_exporter.h"
#include "platform/numbers.h"
#include "platform/text.h"
#include "stock/conversions.h"
#include "stock/extract.h"

namespace tarvelon {
namespace {

const FieldFormat kTabs{'\t', false};

// The first value whose key equals the text, else the fallback.
std::string Mapped(const std::string& text, std::initializer_list<std::pair<const char*, const char*>> table,
                   const std::string& fallback = "") {
  for (const auto& [key, value] : table)
    if (text == key) return Ansi(value);
  return fallback;
}

std::string StockState(const PvoClient& client, const IXMLCursor& r) {
  if (!r.GetValue("DateLivraison").empty()) return "LI";
  if (!r.GetValue("DateOrdre").empty()) return "CL";
  if (r.GetValue("TypeVO") == "2") return client.prefix;
  return r.GetValue("FlagDepotVente") == "True" ? "DV" : "ST";
}

std::string Origin(const IXMLCursor& r) {
  const std::string origin = r.GetValue("Origine");
  if (origin == "VN" || origin == "VO") return origin;
  if (origin == "AC") return "AD";
  if (r.GetValue("TypeVO") == "2") return "VD";
  return r.GetValue("FlagDepotVente") == "True" ? "DV" : "ND";
}

std::string RegistrationYear(const std::string& mec) {
  if (mec.empty()) return "";
  DateTime date;
  if (!ParseShortDate(mec, date)) date = DateTime{};  // day 0: 1899
  return FormatStamp(date, "yyyy");
}

std::string Version(const PvoClient& client, const IXMLCursor& r) {
  const std::string version = r.GetValue("IVersion");
  const std::string model = r.GetValue("IModele");
  if (client.client != "VN_NISSANSAUVREL" || (!model.empty() && StartsWith(version, model))) return version;
  return model + " " + ReplaceAll(version, " " + model, "", true);
}

// The tax in a tax-inclusive margin: the sale less the trade-in outside the
// margin scheme ("2"), the whole sale in it. The margin is written with the
// process decimal separator and read back with the same one.
std::string MarginVat(const IXMLCursor& r) {
  const std::string sale = r.GetValue("PrixVente");
  const std::string margin =
      r.GetValue("modeTVA") != "2"
          ? FormatFixed(ParseDecimalOrZero(sale) - ParseDecimalOrZero(r.GetValue("PrixReprise")), 2)
          : sale;
  return VatCentsText(margin, r.GetValue("DateOrdre"));
}

std::string EquipmentText(const IXMLCursor& r) {
  const std::string lists =
      ReplaceAll(r.GetValue("InfoEquiInterieur") + r.GetValue("InfoEquiExterieur") + r.GetValue("InfoEquiSecurite"),
                 ";;", ";");
  return ReplaceAll(EquipmentLabels(r, lists), ", ", "||");
}

std::string PhotoLinks(const RunState& state, const IXMLCursor& r) {
  std::string links;
  if (!r.GetValue("DateLivraison").empty()) return links;
  for (IXMLCursor photo = r.Select(PhotoLinksOf(r.GetValue("idVO"))); !photo.Eof(); photo.Next())
    links += (links.empty() ? "" : ",") + state.options.photoBaseAddress + "/" + photo.GetValue("NomImage") + ".jpg";
  return links;
}

}  // namespace

ComputedValues PvoValues(const RunState& state, const PvoClient& client, const IXMLCursor& r) {
  const std::string guarantee = r.GetValue("Garantie");
  const std::string seller = AsciiUpper(r.GetValue("Vendeur")) == "SELECT" ? "" : r.GetValue("Vendeur");
  const std::string originSeller = r.GetValue("OrigineVendeur");
  const std::string country = AsciiUpper(r.GetValue("CliPays"));
  auto orElse = [](const std::string& value, const std::string& fallback) { return value.empty() ? fallback : value; };
  return {
      {"stockState", StockState(client, r)},
      {"origin", Origin(r)},
      {"destination", Mapped(AsciiUpper(r.GetValue("Destination")),
                             {{"PARTICULIERS", "LIPAR"}, {"MARCHANDS", "LIMARC"}, {"VHU", "LIDESTR"}}, "LI")},
      {"registrationYear", RegistrationYear(r.GetValue("MEC"))},
      {"brand", BrandName(AsciiUpper(r.GetValue("IMarque")))},
      {"version", Version(client, r)},
      {"fuel", Mapped(AsciiUpper(r.GetValue("Energie")),
                      {{"ESSENCE", "ES"}, {"DIESEL", "GO"}, {"GPL", "GP"}, {"ELECTRIQUE", "EL"}})},
      {"doors", r.GetValue("NbPortes").substr(0, 1)},  // empty stays empty
      {"vehicleKind", AsciiUpper(r.GetValue("TypeCarrosserie")) == "FOURGON" ? "VU" : "VP"},
      {"gearbox", Mapped(AsciiUpper(r.GetValue("TypeBoiteVitesse")), {{"MANUELLE", "M"}, {"AUTOMATIQUE", "A"}})},
      {"tradeInVat", r.GetValue("modeTVA") != "2" ? "0" : VatCentsText(r.GetValue("PrixReprise"), r.GetValue("DateEntree"))},
      {"marginVat", MarginVat(r)},
      {"guarantee", guarantee.empty() ? "" : guarantee + r.GetValue("TypeGarantie")},
      {"guaranteeStart", Trim(guarantee.substr(0, 2))},
      {"originSellerName", orElse(r.GetValue("OrigineVendeurNom"), originSeller)},
      {"seller", seller},
      {"sellerName", orElse(r.GetValue("VendeurNom"), seller)},
      {"title", Mapped(r.GetValue("CliCivilite"),
                       {{"1", "Mme"}, {"2", "Melle"}, {"3", "M."}, {"4", "M. et Mme"}, {"5", "Société"}})},
      {"customerName", orElse(r.GetValue("CliNom"), r.GetValue("Acheteur"))},
      {"address", r.GetValue("CliAdresse1") + r.GetValue("CliAdresse2")},
      {"country", country == "FRANCE" ? "" : country},
      {"buyerType", r.GetValue("Acheteur").empty()
                        ? ""
                        : Mapped(r.GetValue("Destination"), {{"Particuliers", "P"}, {"Marchands", "M"}})},
      {"equipment", EquipmentText(r)},
      {"optionCodes", UpperCaseOptionCodes(r.GetValue("Options3270"), "||")},
      {"photos", PhotoLinks(state, r)},
  };
}

std::string PvoLine(const RunState& state, const PvoClient& client, const IXMLCursor& record) {
  std::string line;
  AppendCsvColumns(line, PvoColumns(), record, PvoValues(state, client, record), kTabs);
  return line + "\r\n";
}

std::string PvoFirstLine(const DateTime& now) { return "??\t1.0\t" + FormatStamp(now, "yyyymmddhhnnss") + "\r\n"; }

}  // namespace tarvelon
