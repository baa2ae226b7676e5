#include "exporters/dealer_csv/dealer_csv_profile.h"

namespace tarvelon {
using namespace equipment_lists;

const std::vector<QuotedColumn>& DealerCsvMainColumns() {
  static const std::vector<QuotedColumn> columns = {
      {"Référence", Computed("reference")},                         // 1
      {"Site", Element("RefVille")},                                // 2
      {"Nom contact", Computed("contactName")},                     // 3
      {"Contact téléphone", Element("telephone")},                  // 4
      {"Contact email", Element("email")},                          // 5
      {"Type véhicule", Element("TypeVehicule")},                   // 6
      {"Type de Vente", Computed("saleType")},                      // 7
      {"Marque", Element("Marque")},                                // 8 (mapped)
      {"Modèle", Element("Modele")},                                // 9
      {"Version", Element("Version")},                              // 10
      {"Description véhicule", Computed("description")},            // 11
      {"Prix", Element("Prix")},                                    // 12
      {"Année", Element("AnneeMEC")},                               // 13
      {"MEC", Element("MEC")},                                      // 14
      {"Kilométrage", Element("Kilometrage")},                      // 15
      {"Date Commande", Element("DateOrdre")},                      // 16
      {"Réservation", Computed("reserved")},                        // 17
      {"Véhicule Affaire", Computed("business")},                   // 18
      {"Garantie constructeur", Computed("makerGuarantee")},        // 19
      {"Garantie garage", Computed("guaranteeMonths")},             // 20
      {"Chevaux fiscaux", Element("Puissance")},                    // 21
      {"Energie", Element("Energie")},                              // 22
      {"Couleur extérieure", Element("Couleur")},                   // 23
      {"Couleur intérieure", Element("CouleurInt")},                // 24
      {"Boite Vitesse", Element("TypeBoiteVitesse")},               // 25
      {"Nombre Places", Element("NbPlaces")},                       // 26
      {"Nombre portes", Computed("doors")},                         // 27
      {"Anti-démarrage", FlagOrZero(kSec, "AntiDem")},              // 28
      {"Climatisation", Labels(kInt, "Clim;ClimAuto")},             // 29
      {"Toit ouvrant", Labels(kInt, "ToitOuvr")},                   // 30
      {"Audio", Labels(kInt, "RadCD;RadMP3;RadCass")},              // 31
      {"Non fumeur", FlagOrZero(kInfo, "VNF")},                     // 32
      {"Alarme", FlagOrZero(kSec, "Alarme")},                       // 33
      {"GPS", FlagOrZero(kInt, "GPS")},                             // 34
      {"ABS", FlagOrZero(kSec, "ABS")},                             // 35
      {"ESP", FlagOrZero(kSec, "ESP")},                             // 36
      {"Régulateur vitesse", FlagOrZero(kInt, "RegVit")},           // 37
      {"Rétroviseurs électriques", FlagOrZero(kExt, "RetrElec")},   // 38
      {"Ordinateur de bord", FlagOrZero(kInt, "OrdiBord")},         // 39
      {"Airbags", Labels(kSec, "AirbagCond;AirbagPass;AirbagLat")}, // 40
      {"Direction assistée", FlagOrZero(kInt, "DirAss")},           // 41
      {"Fermeture centralisée", FlagOrZero(kSec, "VerCent")},       // 42
      {"Phares anti-brouillard", FlagOrZero(kSec, "AntiBrou")},     // 43
      {"Phares xénon", FlagOrZero(kSec, "LXen")},                   // 44
      {"Sièges chauffants", FlagOrZero(kInt, "SChauf")},            // 45
      {"Sièges électriques", FlagOrZero(kInt, "SElect")},           // 46
      {"Sièges cuir", FlagOrZero(kInt, "SCuir")},                   // 47
      {"Vitres électriques", FlagOrZero(kInt, "VitreElect")},       // 48
      {"Vitres teintées", FlagOrZero(kInt, "VitreTeint")},          // 49
      {"Volant multifonctions", FlagOrZero(kInt, "VMFonct")},       // 50
      {"Peinture métal", FlagOrZero(kExt, "PMat")},                 // 51
      {"Jantes alu", Computed("wheels")},                           // 52 (the profile's code)
  };
  return columns;
}

const std::vector<QuotedColumn>& SixPhotoColumns() {
  static const std::vector<QuotedColumn> columns = {
      {"Photo1", Computed("photo1")}, {"Photo2", Computed("photo2")}, {"Photo3", Computed("photo3")},
      {"Photo4", Computed("photo4")}, {"Photo5", Computed("photo5")}, {"Photo6", Computed("photo6")},
  };
  return columns;
}

const std::vector<QuotedColumn>& PhotoListColumns() {
  static const std::vector<QuotedColumn> columns = {
      {"nbPhotos", Computed("photoCount")},
      {"PathPhotos", Computed("photoPath")},
      {"ListPhotos", Computed("photoList")},
  };
  return columns;
}

}  // namespace tarvelon
