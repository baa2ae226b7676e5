#include "exporters/dealer_csv/dealer_csv_profile.h"

#include "platform/errors.h"

namespace tarvelon {
namespace {

const std::vector<QuotedColumn>& SiteIdColumns() {
  static const std::vector<QuotedColumn> columns = {{"idSite", Element("ID_AxeCibles")}};
  return columns;
}

const std::vector<QuotedColumn>& RecordIdColumns() {
  static const std::vector<QuotedColumn> columns = {{"id", Element("idVO")}};
  return columns;
}

const std::vector<QuotedColumn>& RecordIdEmissionPowerColumns() {
  static const std::vector<QuotedColumn> columns = {
      {"id", Element("idVO")}, {"CO2", Element("CO2")}, {"CV", Element("CV")}};
  return columns;
}

}  // namespace

const std::vector<DealerCsvProfile>& DealerCsvProfiles() {
  using R = ReferenceStyle;
  using P = PhotoStyle;
  using D = DeliveryKind;
  static const std::vector<DealerCsvProfile> profiles = {
      // key, base name, reference, VO/VD/VDZ codes, wheel code, DWA, photos, trailing, zip, delivery, script,
      // zero counts omitted, port
      {"AXECIBLES", "AxeCibles", R::WeeklyWithDayLetter, {"2", "3", "5"}, "JantAlu", false, P::SixLinks,
       SiteIdColumns, true, D::Ftp, "", false, false},
      {"FVA", "AxeCibles", R::WeeklyWithDayLetter, {"2", "3", "5"}, "JantAll", false, P::SixLinks, SiteIdColumns,
       true, D::Ftp, "", false, false},
      {"BUSINESSAPTITUDE", "vehicules", R::SiteOnly, {"VO", "VD", "VDZ"}, "JantAlu", true, P::PhotoList,
       RecordIdColumns, false, D::OperatorScript, "WinSFTP-BA", false, true},
      {"BRELO", "Brelo", R::SiteOnly, {"VO", "VD", "VDZ"}, "JantAlu", false, P::PhotoList,
       RecordIdEmissionPowerColumns, true, D::OperatorScript, "WinSFTP-BRELO", true, true},
  };
  return profiles;
}

const DealerCsvProfile& DealerCsvProfileOf(const std::string& optionKey) {
  for (const DealerCsvProfile& profile : DealerCsvProfiles())
    if (optionKey == profile.optionKey) return profile;
  throw Error("Export non disponible dans cette version : " + optionKey);
}

size_t DealerCsvColumnCount(const DealerCsvProfile& profile) {
  const size_t photos = profile.photos == PhotoStyle::SixLinks ? SixPhotoColumns().size() : PhotoListColumns().size();
  return DealerCsvMainColumns().size() + photos + profile.trailingColumns().size();
}

}  // namespace tarvelon
