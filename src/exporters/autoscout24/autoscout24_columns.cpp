#include "exporters/autoscout24/autoscout24_exporter.h"

namespace tarvelon {
namespace {
constexpr const char* kInt = "InfoEquiInterieur";
constexpr const char* kExt = "InfoEquiExterieur";
constexpr const char* kSec = "InfoEquiSecurite";
}  // namespace

// One line per vehicle, every field followed by ";".
const std::vector<CsvColumn>& AutoScout24Columns() {
  static const std::vector<CsvColumn> columns = {
      Computed("client"),                 // 1
      Computed("reference"),              // 2
      Computed("firstPhoto"),             // 3
      Element("IMarque"),                 // 4
      Element("IModele"),                 // 5
      Computed("version"),                // 6
      Fixed("Voiture d\u2019occasion"),   // 7
      Element("TypeBoiteVitesse"),        // 8
      Element("TypeCarrosserie"),         // 9
      Element("Couleur"),                 // 10
      Flag(kExt, "PMat"),                 // 11
      Blank(),                            // 12
      Element("Energie"),                 // 13
      Computed("registration"),           // 14
      Element("Kilometrage"),             // 15
      Element("PrixDuBien"),              // 16
      Computed("doors"),                  // 17
      Element("NbPlaces"),                // 18
      Blank(),                            // 19
      Element("Puissance"),               // 20
      Blank(7),                           // 21-27
      Computed("catalogue"),              // 28
      Computed("guaranteeMonths"),        // 29
      Blank(2),                           // 30-31
      Flag(kInt, "Clim"),       Flag(kInt, "ClimAuto"), Flag(kInt, "SCuir"),    Flag(kInt, "VitreElect"),
      Flag(kInt, "GPS"),        Flag(kInt, "SElect"),   Flag(kInt, "ToitOuvr"), Flag(kInt, "SChauf"),
      Flag(kInt, "RadCD"),                                                                   // 32-40
      Flag(kSec, "ABS"),        Flag(kSec, "AirbagCond"), Flag(kSec, "AirbagPass"), Flag(kSec, "AirbagLat"),
      Flag(kSec, "LXen"),       Flag(kSec, "VerCent"),    Flag(kSec, "Alarme"),     Flag(kSec, "AntiDem"),
      Flag(kSec, "AntiPat"),                                                                 // 41-49
      Blank(),                                                                               // 50
      Flag(kExt, "Tuning"),     Flag(kExt, "JantAll"),  Flag(kExt, "PorBag"),   Flag(kInt, "OrdiBord"),
      Flag(kExt, "Radrecul"),   Flag(kSec, "AntiBrou"), Flag(kInt, "DirAss"),   Flag(kInt, "RadCass"),  // 51-58
      Blank(3),                                                                              // 59-61
      Fixed("0"),                                                                            // 62
      Blank(),                                                                               // 63
      Flag(kExt, "AttRem"),     Flag(kSec, "ESP"),      Flag(kInt, "RegVit"),   Flag(kInt, "EquHandi"),  // 64-67
      Blank(4),                                                                              // 68-71
      ElementUnlessZero("CO2"),                                                              // 72
      Computed("hasGuarantee"),                                                              // 73
      Blank(8),                                                                              // 74-81
      Element("NChassis"),                                                                   // 82
      Blank(3),                                                                              // 83-85
      Flag(kExt, ""),                                                                        // 86
      Blank(3),                                                                              // 87-89
      Element("Puissance"),                                                                  // 90
      Element("Immatriculation"),                                                            // 91
      Blank(),                                                                               // 92
  };
  return columns;
}

// VPN adds four fields after the AutoScout24 ones.
const std::vector<CsvColumn>& VpnExtraColumns() {
  static const std::vector<CsvColumn> columns = {
      Computed("catalogue"),          // 93
      Computed("saleStatus"),         // 94
      ElementUnlessZero("pPromo"),    // 95
      ElementUnlessZero("pFlash"),    // 96
  };
  return columns;
}

}  // namespace tarvelon
