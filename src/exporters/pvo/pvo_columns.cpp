#include "exporters/pvo/pvo_exporter.h"

namespace tarvelon {

// The 167 fields of a vehicle line, in the partner's fixed order.
const std::vector<CsvColumn>& PvoColumns() {
  static const std::vector<CsvColumn> columns = {
      Element("idVO"),                   // 1
      Fixed("X"),                        // 2
      Computed("stockState"),            // 3
      Computed("origin"),                // 4
      Computed("destination"),           // 5
      ElementUpper("Immatriculation"),   // 6
      ElementDate("DateCarteGrise"),     // 7
      ElementDate("MEC"),                // 8
      Computed("registrationYear"),      // 9
      Computed("brand"),                 // 10
      Computed("version"),               // 11
      ElementUpper("NChassis"),          // 12
      Element("NbPlaces"),               // 13
      Computed("fuel"),                  // 14
      Element("CV"),                     // 15
      Element("TypeCarrosserie"),        // 16
      Blank(),                           // 17
      Computed("doors"),                 // 18
      Computed("vehicleKind"),           // 19
      ElementUpper("CNIT"),              // 20
      Element("Kilometrage"),            // 21
      Blank(),                           // 22
      Element("InfoCouleur"),            // 23
      Element("InfoCouleurInt"),         // 24
      Element("TypeSellerie"),           // 25
      ElementDate("DateEntree"),         // 26
      ElementDate("DateEntree"),         // 27
      ElementDate("DateOrdre"),          // 28
      ElementDate("DateOrdre"),          // 29
      Element("KW"),                     // 30
      Computed("gearbox"),               // 31
      Element("NbVitesses"),             // 32
      ElementCents("PrixReprise"),       // 33
      Computed("tradeInVat"),            // 34
      Blank(4),                          // 35-38
      ElementCents("TPVO"),              // 39
      ElementCents("PrixVente"),         // 40
      Computed("marginVat"),             // 41
      Blank(4),                          // 42-45
      ElementCents("PrixVente"),         // 46
      ElementCents("MtComVendeur"),      // 47
      ElementCents("MtComIntermediaire"),  // 48
      Computed("guarantee"),             // 49
      Computed("guaranteeStart"),        // 50
      Element("DateControleTechnique"),  // 51
      Element("FlagAccident"),           // 52
      Element("CodeAutoRadio"),          // 53
      Element("CodeAntiDemarrage"),      // 54
      Element("SegmentArgus"),           // 55
      Blank(13),                         // 56-68
      ElementDate("DateLivraison"),      // 69
      Blank(3),                          // 70-72
      ElementYesNo("PremiereMain"),      // 73
      Blank(13),                         // 74-86
      Element("LibSoc"),                 // 87
      Blank(),                           // 88
      Element("LibSocExpo"),             // 89
      Blank(),                           // 90
      Element("LieuStockage"),           // 91
      Element("OrigineVendeur"),         // 92
      Computed("originSellerName"),      // 93
      Computed("seller"),                // 94
      Computed("sellerName"),            // 95
      Blank(21),                         // 96-116
      Computed("title"),                 // 117
      Blank(),                           // 118
      Computed("customerName"),          // 119
      Element("CliPrenom"),              // 120
      Blank(),                           // 121
      Computed("address"),               // 122
      Element("CliCP"),                  // 123
      Element("CliVille"),               // 124
      Computed("country"),               // 125
      Element("CliTelDom"),              // 126
      Element("CliTelBur"),              // 127
      Element("CliMobile"),              // 128
      Element("CliFax"),                 // 129
      Element("CliEmail"),               // 130
      Blank(2),                          // 131-132
      ElementDate("CliDateNaissance"),   // 133
      Blank(3),                          // 134-136
      Computed("buyerType"),             // 137
      Blank(3),                          // 138-140
      ElementCents("FrevoTotal"),        // 141
      ElementCents("FrevoPrevision"),    // 142
      ElementCents("Frevo"),             // 143
      Computed("equipment"),             // 144
      Computed("optionCodes"),           // 145
      Blank(9),                          // 146-154
      Element("idNVO"),                  // 155
      Blank(),                           // 156
      Element("Cylindree"),              // 157
      Blank(4),                          // 158-161
      Element("Provenance"),             // 162
      Element("idVO"),                   // 163
      Element("CO2"),                    // 164
      Blank(),                           // 165
      Computed("photos"),                // 166
      Blank(),                           // 167
  };
  return columns;
}

}  // namespace tarvelon
