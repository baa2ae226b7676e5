#include "stock/extract.h"

#include <utility>

#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/text.h"
#include "stock/xpath_values.h"

namespace tarvelon {
namespace {

const char* const kExtractFolder = "c:\\projects\\kord\\data\\Tarvelon\\";

// Option key → extract file name. Several targets share one extract.
const std::pair<const char*, const char*> kExtractFiles[] = {
    {"AUTOREFLEX", "ExpDatasAUTOREFLEX.xml"},
    {"AUTOSCOUT24", "ExpDatasAutoScout24.xml"},
    {"VPN", "ExpDatasVPN.xml"},
    {"NEOWEBCAR", "ExpDatasNeoWebCar.xml"},
    {"SITAUTOPRO", "ExpDatasSITAUTOPRO.xml"},
    {"LEBONCOIN", "ExpDatasLEBONCOIN.xml"},
    {"HEYCAR", "ExpDatasHEYCAR.xml"},
    {"GMBFI", "ExpDatasGMBFI.xml"},
    {"VIVACAR", "ExpDatasVIVACAR.xml"},
    {"PARUVENDU", "ExpDatasPARUVENDU.xml"},
    {"TOPANNONCES", "ExpDatasTopAnnonces.xml"},
    {"RAD1", "ExpDatasInfoPress.xml"},
    {"INFOPRESS", "ExpDatasInfoPress.xml"},
    {"ANNONCESJAUNES", "ExpDatasAnnoncesJaunes.xml"},
    {"AXECIBLES", "ExpDatasAxeCibles.xml"},
    {"FVA", "ExpDatasAxeCibles.xml"},
    {"BUSINESSAPTITUDE", "ExpDatasBusinessAptitude.xml"},
    {"BRELO", "ExpDatasBrelo.xml"},
    {"LARGUS", "ExpDatasLArgus.xml"},
    {"PVO", "ExpDatasPVO.xml"},
};

}  // namespace

std::string StockExtractPath(const std::string& optionKey) {
  for (const auto& [key, file] : kExtractFiles)
    if (optionKey == key) return std::string(kExtractFolder) + file;
  throw Error(Ansi("Aucun extrait de stock pour l'option ") + optionKey);
}

namespace {

// "[idVO=N]" for a record number; a value that is no number selects nothing
// instead of becoming part of the expression ("1 or 1=1" would select all).
std::string IdPredicate(const std::string& idVO) {
  std::string digits;
  return IsRecordNumber(idVO, digits) ? "[idVO=" + digits + "]" : "[false()]";
}

}  // namespace

std::string PhotoLinksOf(const std::string& idVO) { return std::string(kPhotoLinks) + IdPredicate(idVO); }

std::string VehicleRecordOf(const std::string& idVO) { return std::string(kVehicleRecords) + IdPredicate(idVO); }

IXMLCursor& LinkedVehicleRecords::Of(const std::string& idVO) {
  if (!selected_ || idVO != idVO_) {
    // VehicleRecordOf lets only a record number into the selection.
    record_ = document_.Select(VehicleRecordOf(idVO));
    idVO_ = idVO;
    selected_ = true;
  }
  return record_;
}

int ReadInt(const IXMLCursor& record, const std::string& name, int def) {
  return ToIntDef(record.GetValue(name), def);
}

double ReadDecimal(const IXMLCursor& record, const std::string& name) {
  return ParseDecimalOrZero(record.GetValue(name));
}

bool ReadDate(const IXMLCursor& record, const std::string& name, DateTime& out) {
  return ParseShortDate(record.GetValue(name), out);
}

bool ReadIntFlag(const IXMLCursor& record, const std::string& name) { return ReadInt(record, name, 0) != 0; }

}  // namespace tarvelon
