#pragma once
// The row pieces of the quoted dealer feeds (AxeCibles, FVA, BusinessAptitude,
// Brelo, AnnoncesJaunes): the quoted text with its header, the vehicle
// description, the site contact substitution and the inputs of the photo tags.
#include <string>
#include <vector>

#include "exporters/frame/csv_columns.h"
#include "exporters/frame/site_contacts.h"
#include "stock/xml_cursor.h"

namespace tarvelon {

// The record's equipment code lists that the column tables of the quoted
// feeds read; InfoComplement holds the adjusted list while a row is built.
namespace equipment_lists {
inline constexpr const char* kInt = "EqutInterieur";
inline constexpr const char* kExt = "EqutExterieur";
inline constexpr const char* kSec = "EqutSecurite";
inline constexpr const char* kInfo = "InfoComplement";
}  // namespace equipment_lists

class RunState;

// One column of a quoted feed: its header label (UTF-8 literal) and its value.
struct QuotedColumn {
  const char* label;
  CsvColumn value;  // Blank columns count 1
};

// Header, body and current line of a quoted semicolon file. The header is
// built with the first vehicle, so a run without vehicles has an empty one.
class QuotedCsvText {
 public:
  // Empties the current line; `first` tells whether this is the run's first vehicle.
  void StartVehicle(bool first);
  // Adds the label to the header (first vehicle only) and the value to the line.
  void AddQuotedField(const std::string& value, const std::string& label);
  void AddColumns(const std::vector<QuotedColumn>& columns, const IXMLCursor& record,
                  const ComputedValues& computed);
  // The line and CR LF go to the body.
  void EndVehicle();
  // Header, CR LF, body; the ";" before each CR LF removed.
  std::string Text() const;

 private:
  bool first_ = false;
  std::string header_, body_, line_;
};

// InfoComplement with the guarantee code: "Gar;" (or ";Gar;" when the list
// does not end with ";") added when Garantie is not empty and the code is
// missing; ";Gar;" dropped again when ";GarCons;" is there too.
std::string AdjustedInformationList(const std::string& information, const std::string& guarantee);

// NomContact, empty when it reads "STANDARD" in any case.
std::string ContactName(const IXMLCursor& record);

struct VehicleDescriptionText {
  std::string description;  // the whole multi-line text
  std::string contactText;  // contact words and telephone alone, no line break
};
// Built from the record after the brand mapping and the site contact
// substitution, with the adjusted information list.
VehicleDescriptionText VehicleDescription(const IXMLCursor& record, const std::string& reference,
                                          const std::string& information);


// Discount shown on the first photo: the whole rate for a demonstration
// vehicle (TypeVO "2") with 10 <= rate < 50, else empty.
std::string DealerDiscountText(const IXMLCursor& record);

struct TagInputs {
  std::string atp, z, saleStatus, discount, dwa;
  bool Any() const { return !(atp + z + saleStatus + discount + dwa).empty(); }
};
// `unmappedBrand` is Marque as read before the brand mapping.
TagInputs ComputeTagInputs(const RunState& state, const IXMLCursor& record, const std::string& unmappedBrand,
                           bool withDwa);

// AdReference of (Marque unless TypeVO is 1, RefSite, RefExpo or an empty
// exhibition site), the run day's letter when asked ("A" Sunday to "G"
// Saturday), "-", refAnnonce. Read before the brand mapping.
std::string DealerReference(const RunState& state, const IXMLCursor& record, bool withExpo, bool dayLetter);

// The common steps of a vehicle before its columns: the brand mapped and
// written back, the site contacts substituted, the adjusted information list
// written back into the loaded record (the extract is never saved), and the
// description built.
struct DealerVehicle {
  std::string unmappedBrand;
  std::string information;  // the adjusted InfoComplement
  VehicleDescriptionText texts;
};
DealerVehicle PrepareDealerVehicle(RunState& state, IXMLCursor& record, const std::string& reference);

// The first photo's name after the tagging step (RefExpo in upper case as site text).
std::string TaggedFirstPhoto(RunState& state, const IXMLCursor& record, const std::string& photoName,
                             const TagInputs& tags);

// The NomImage + ".jpg" names of the vehicle's photos, in order, at most `limit`.
std::vector<std::string> VehiclePhotoNames(const IXMLCursor& record, size_t limit);

// "aaa/bb/" of a photo name "aaa/bb/name.jpg", and the name part from its
// eighth character on (at most 1000 characters); both safe on short names.
std::string PhotoFolderPart(const std::string& photoName);
std::string PhotoNamePart(const std::string& photoName);

}  // namespace tarvelon
