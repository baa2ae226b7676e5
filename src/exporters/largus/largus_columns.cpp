#include "exporters/largus/largus_exporter.h"

namespace tarvelon {

const std::vector<CsvColumn>& LArgusLeadingColumns() {
  static const std::vector<CsvColumn> columns = {
      Fixed("Mirvane"),             // 1
      Computed("bodyType"),         // 2
      Computed("reference"),        // 3
      Element("id-Client"),         // 4
      Element("Marque"),            // 5 (mapped brand, written back)
      Element("Modele"),            // 6
      Computed("version"),          // 7
      Blank(),                      // 8
      Element("Energie"),           // 9
      Blank(),                      // 10
      Element("Puissance"),         // 11
      Element("Immatriculation"),   // 12
      Element("Chassis"),           // 13
      Blank(),                      // 14
      Element("MEC"),               // 15
      Blank(),                      // 16
      Element("Kilometrage"),       // 17
      Element("Couleur"),           // 18
      Computed("gearbox"),          // 19
      Computed("airConditioning"),  // 20
      Computed("doors"),            // 21
      Blank(),                      // 22
      Computed("guarantee"),        // 23
      Blank(),                      // 24
  };
  return columns;
}

const std::vector<CsvColumn>& LArgusTrailingColumns() {
  static const std::vector<CsvColumn> columns = {
      Computed("description"),      // 25
      Blank(),                      // 26
      Computed("complement"),       // 27
      Computed("safety"),           // 28
      Computed("equipment"),        // 29
      Element("CodePostal"),        // 30
      Element("Ville"),             // 31
      Fixed("France"),              // 32
      Computed("seller"),           // 33
      Element("telephone"),         // 34 (after the site contact substitution)
      Blank(),                      // 35
      Element("email"),             // 36
      Element("PrixDuBien"),        // 37
      Blank(6),                     // 38-43
      Computed("photo1"), Computed("photo2"), Computed("photo3"), Computed("photo4"),
      Computed("photo5"), Computed("photo6"), Computed("photo7"), Computed("photo8"),  // 44-51
      Blank(),                      // 52
  };
  return columns;
}

}  // namespace tarvelon
