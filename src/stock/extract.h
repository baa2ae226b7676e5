#pragma once
// The stock extract: where each target's file lies, its record paths, and the
// readers of its value conventions.
#include <string>

#include "platform/clock.h"
#include "stock/xml_cursor.h"

namespace tarvelon {

// "c:\projects\kord\data\Tarvelon\" + the extract file name of the option key
// (one table); throws Error for a key without an extract.
std::string StockExtractPath(const std::string& optionKey);

inline constexpr const char* kVehicleRecords = "/document/DataVOS/DataVO";
inline constexpr const char* kPhotoLinks = "/document/LiensImagesS/LiensImages";
inline constexpr const char* kEquipmentLabels = "/document/LiensEquipementsS/LiensEquipements";
inline constexpr const char* kSiteContacts = "/document/InfosSRS/InfosSR";
inline constexpr const char* kClientBlocks = "/document/COORDONNEESS/COORDONNEES";
inline constexpr const char* kExclusions = "/document/ListExclusionsS/ListExclusions";

// "/document/LiensImagesS/LiensImages[idVO=" + idVO + "]" (a number
// comparison); an idVO that is no record number selects nothing.
std::string PhotoLinksOf(const std::string& idVO);
// "/document/DataVOS/DataVO[idVO=" + idVO + "]".
std::string VehicleRecordOf(const std::string& idVO);

// The vehicle record of each photo link in turn, for a pass that changes
// nothing by which records are selected (only photo slots): the links of one
// vehicle follow one another, and the next link of the same vehicle reuses
// the selection of the one before it.
class LinkedVehicleRecords {
 public:
  explicit LinkedVehicleRecords(const IXMLCursor& document) : document_(document) {}
  // Select(VehicleRecordOf(idVO)) of the document.
  IXMLCursor& Of(const std::string& idVO);

 private:
  const IXMLCursor& document_;
  bool selected_ = false;
  std::string idVO_;
  IXMLCursor record_;
};

// Value readers over the current record of a cursor.
int ReadInt(const IXMLCursor& record, const std::string& name, int def = 0);
double ReadDecimal(const IXMLCursor& record, const std::string& name);  // 0 when not a number
bool ReadDate(const IXMLCursor& record, const std::string& name, DateTime& out);  // "dd/mm/yyyy"
// "1"/"0" style flags: an integer other than 0.
bool ReadIntFlag(const IXMLCursor& record, const std::string& name);

}  // namespace tarvelon
