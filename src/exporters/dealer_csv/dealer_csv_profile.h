#pragma once
// AxeCibles, FVA, BusinessAptitude and Brelo receive the same quoted file; a
// profile row carries every difference between them.
#include <string>
#include <vector>

#include "exporters/dealer_csv/dealer_csv_rows.h"

namespace tarvelon {

enum class ReferenceStyle {
  WeeklyWithDayLetter,  // AdReference with the week, the day letter, "-", refAnnonce
  SiteOnly,             // AdReference without exhibition site, "-", refAnnonce
};
enum class PhotoStyle {
  SixLinks,   // "Photo1" to "Photo6"
  PhotoList,  // "nbPhotos", "PathPhotos", "ListPhotos"
};
enum class DeliveryKind { Ftp, OperatorScript };

struct DealerCsvProfile {
  const char* optionKey;
  const char* baseName;           // of the CSV files and the archive
  ReferenceStyle reference;
  const char* saleTypeCodes[3];   // "Type de Vente" of VO, VD, VDZ
  const char* wheelCode;          // equipment code behind "Jantes alu"
  bool dwaTag;                    // the DWA tag input is computed
  PhotoStyle photos;
  const std::vector<QuotedColumn>& (*trailingColumns)();
  bool zip;
  DeliveryKind delivery;
  const char* scriptName;         // operator script, for DeliveryKind::OperatorScript
  bool omitZeroCounts;            // Remisés, Affaires, VD, VDZ left out of the summary when 0
  bool readsPort;                 // "NumPort" of the target section
};

// The profile of an option key; throws for a key without one.
const DealerCsvProfile& DealerCsvProfileOf(const std::string& optionKey);
const std::vector<DealerCsvProfile>& DealerCsvProfiles();

// Columns 1 to 52, shared by the four profiles.
const std::vector<QuotedColumn>& DealerCsvMainColumns();
const std::vector<QuotedColumn>& SixPhotoColumns();
const std::vector<QuotedColumn>& PhotoListColumns();

// Number of columns a profile writes.
size_t DealerCsvColumnCount(const DealerCsvProfile& profile);

}  // namespace tarvelon
