#include "exporters/dealer_csv/dealer_csv_rows.h"

#include "platform/text.h"
#include "stock/conversions.h"

namespace tarvelon {
namespace {

constexpr const char* kCrLf = "\r\n";
const FieldFormat kQuoted{';', true};

bool IsStandardContact(const IXMLCursor& record) { return AnsiUpper(record.GetValue("NomContact")) == "STANDARD"; }

// " - " + title + the list's labels + two line ends, nothing for an empty list.
std::string EquipmentParagraph(const IXMLCursor& record, const char* title, const char* list) {
  const std::string labels = EquipmentLabels(record, record.GetValue(list));
  if (labels.empty()) return "";
  return Ansi(title) + labels + kCrLf + kCrLf;
}

}  // namespace

void QuotedCsvText::StartVehicle(bool first) {
  first_ = first;
  line_.clear();
}

void QuotedCsvText::AddQuotedField(const std::string& value, const std::string& label) {
  if (first_) AppendFormattedField(header_, label, kQuoted);
  AppendFormattedField(line_, value, kQuoted);
}

void QuotedCsvText::AddColumns(const std::vector<QuotedColumn>& columns, const IXMLCursor& record,
                               const ComputedValues& computed) {
  RecordTexts texts(record);
  for (const QuotedColumn& column : columns) {
    // The labels make the header line only: converted for the first vehicle alone.
    if (first_) AppendFormattedField(header_, Ansi(column.label), kQuoted);
    AppendFormattedField(line_, CsvColumnValue(column.value, texts, computed), kQuoted);
  }
}

void QuotedCsvText::EndVehicle() {
  body_ += line_;
  body_ += kCrLf;
}

std::string QuotedCsvText::Text() const {
  // Values hold no ";" (cleaned), so every ";" before a CR LF ends a line.
  return ReplaceAll(header_ + kCrLf + body_, std::string(";") + kCrLf, kCrLf);
}

std::string AdjustedInformationList(const std::string& information, const std::string& guarantee) {
  std::string list = information;
  if (!guarantee.empty() && !Contains(list, ";Gar;")) list += EndsWith(list, ";") ? "Gar;" : ";Gar;";
  if (Contains(list, ";Gar;") && Contains(list, ";GarCons;")) list = ReplaceAll(list, ";Gar;", ";");
  return list;
}

std::string ContactName(const IXMLCursor& record) {
  return IsStandardContact(record) ? std::string() : record.GetValue("NomContact");
}

VehicleDescriptionText VehicleDescription(const IXMLCursor& record, const std::string& reference,
                                          const std::string& information) {
  auto value = [&record](const char* name) { return record.GetValue(name); };
  std::string text = value("Marque") + " " + value("Version") + " (ref:" + reference + ")" + kCrLf + kCrLf;
  text += "Carrosserie : " + value("TypeVehicule") + kCrLf;
  text += "Puissance : " + value("Puissance") + " CV" + kCrLf;
  text += "Couleur : " + value("Couleur") + kCrLf;
  text += "Boite : " + value("TypeBoiteVitesse") + kCrLf;
  text += "Mise en Circulation : " + value("MEC") + kCrLf + kCrLf;
  text += EquipmentParagraph(record, " - Equipements Intérieurs : ", "EqutInterieur");
  text += EquipmentParagraph(record, " - Equipements Extérieurs : ", "EqutExterieur");
  text += EquipmentParagraph(record, " - Equipements Sécurité : ", "EqutSecurite");

  std::string informationLabels = EquipmentLabels(record, information);
  if (const std::string guarantee = value("Garantie"); !guarantee.empty())
    informationLabels = ReplaceAll(informationLabels, "Sous Garantie", "Garantie : " + guarantee, true);
  if (!informationLabels.empty()) text += " - " + informationLabels + kCrLf;

  const std::string contact = IsStandardContact(record) ? Ansi("Tél : ") : "Contactez " + value("NomContact") + " au ";
  const std::string contactText = contact + value("telephone");
  text += kCrLf + contactText + kCrLf + kCrLf;
  return {text, contactText};
}

}  // namespace tarvelon
