#include "exporters/annonces_jaunes/annonces_jaunes_exporter.h"

namespace tarvelon {
using namespace equipment_lists;

// The partner's 115 columns, in order; most are "O"/"N" answers, many always empty.
const std::vector<QuotedColumn>& AnnoncesJaunesColumns() {
  static const std::vector<QuotedColumn> columns = {
      {"Code agence", Computed("client")},                            // 1
      {"Référence annonce", Computed("reference")},                   // 2
      {"Type véhicule", Element("TypeVehicule")},                     // 3
      {"Titre annonce", Element("TitreAnnonce")},                     // 4
      {"Description véhicule", Computed("description")},              // 5
      {"Ancienneté", Element("Anciennete")},                          // 6
      {"Prix", Element("Prix")},                                      // 7
      {"Adresse", Element("Adresse")},                                // 8
      {"Code postal", Element("CodePostal")},                         // 9
      {"Commune", Element("LibelleVille")},                           // 10
      {"Pays", Element("Pays")},                                      // 11
      {"Url", Computed("url")},                                       // 12
      {"Description Url", Blank()},                                   // 13
      {"Nom contact", Computed("contactName")},                       // 14
      {"Contact téléphone fixe", Element("telephone")},               // 15
      {"Contact téléphone mobile", Element("mobile")},                // 16
      {"Contact email", Element("email")},                            // 17
      {"Couleur extérieure", Element("Couleur")},                     // 18
      {"Couleur intérieure", Element("CouleurInt")},                  // 19
      {"Audio", Labels(kInt, "RadCD;RadMP3;RadCass")},                // 20
      {"Energie", Element("Energie")},                                // 21
      {"Habitable utilitaire", Blank()},                              // 22
      {"Toit ouvrant", Labels(kInt, "ToitOuvr")},                     // 23
      {"Climatisation", Labels(kInt, "Clim;ClimAuto")},               // 24
      {"Marque", Element("Marque")},                                  // 25 (mapped)
      {"Modèle", Element("Modele")},                                  // 26
      {"Version", Element("Version")},                                // 27
      {"Mise en circulation", Element("MEC")},                        // 28
      {"Année modèle", Element("AnneeMEC")},                          // 29
      {"Immatriculation", Element("Immatriculation")},                // 30
      {"Numéro stock", Computed("reference")},                        // 31
      {"Kilométrage", Element("Kilometrage")},                        // 32
      {"Kilométrage garanti", Fixed("O")},                            // 33
      {"Date limite garantie", Computed("warrantyEnd")},              // 34
      {"Garantie constructeur", YesNo(kInfo, "GarCons")},             // 35
      {"Garantie garage", Computed("guaranteeMonths")},               // 36
      {"Chevaux fiscaux", Element("Puissance")},                      // 37
      {"Puissance chevaux Din", Blank()},                             // 38
      {"Collaborateur", Computed("staff")},                           // 39
      {"Première main", Blank()},                                     // 40
      {"Non fumeur", YesNo(kInfo, "VNF")},                            // 41
      {"Carnet entretien à jour", Fixed("O")},                        // 42
      {"Alarme", YesNo(kSec, "Alarme")},                              // 43
      {"GPS", YesNo(kInt, "GPS")},                                    // 44
      {"ABS", YesNo(kSec, "ABS")},                                    // 45
      {"Régulateur vitesse", YesNo(kInt, "RegVit")},                  // 46
      {"Rétroviseurs rabattables", Blank()},                          // 47
      {"Rétroviseurs chauffants", Blank()},                           // 48
      {"Rétroviseurs électriques", YesNo(kExt, "RetrElec")},          // 49
      {"Ordinateur de bord", YesNo(kInt, "OrdiBord")},                // 50
      {"Nombre airbags", Computed("airbags")},                        // 51
      {"Direction assistée", YesNo(kInt, "DirAss")},                  // 52
      {"Fermeture centralisée", YesNo(kSec, "VerCent")},              // 53
      {"Fermeture distance", Blank()},                                // 54
      {"Vitres électriques avant", YesNo(kInt, "VitreElect")},        // 55
      {"Vitres électriques arrière", Blank()},                        // 56
      {"Cylindrée", Blank()},                                         // 57
      {"Nombre portes", Computed("doors")},                           // 58
      {"Boite automatique", Computed("automatic")},                   // 59
      {"Anti-démarrage", YesNo(kSec, "AntiDem")},                     // 60
      {"Anti-patinage", YesNo(kSec, "AntiPt")},                       // 61
      {"Chassis sport", Blank()},                                     // 62
      {"Contrôle pression pneus", Blank()},                           // 63
      {"Détecteur pluie", Blank()},                                   // 64
      {"ESP", YesNo(kSec, "ESP")},                                    // 65
      {"Lave-phares", Blank()},                                       // 66
      {"Phares anti-brouillard", YesNo(kSec, "AntiBrou")},            // 67
      {"Phares xénon", YesNo(kSec, "LXen")},                          // 68
      {"Phares allumage auto", Blank()},                              // 69
      {"Pont auto-bloquant", Blank()},                                // 70
      {"Siège enfant", Blank()},                                      // 71
      {"Quatre roues motrices", Blank()},                             // 72
      {"Attelage", Blank()},                                          // 73
      {"Hard top", Blank()},                                          // 74
      {"Radar recul", YesNo(kExt, "Radrecul")},                       // 75
      {"Suspension sport", Blank()},                                  // 76
      {"Filet anti-remous", Blank()},                                 // 77
      {"Banquette deux tiers un tiers", Blank()},                     // 78
      {"Barres de toit", Blank()},                                    // 79
      {"Aileron", Blank()},                                           // 80
      {"Marche-pied", Blank()},                                       // 81
      {"Pare-buffle", Blank()},                                       // 82
      {"Porte coulissante", Blank()},                                 // 83
      {"Rideaux arrière", Blank()},                                   // 84
      {"Rideaux paresoleil latéreaux", Blank()},                      // 85
      {"Sièges chauffants", YesNo(kInt, "SChauf")},                   // 86
      {"Sièges électriques", YesNo(kInt, "SElect")},                  // 87
      {"Sièges alcantara", Blank()},                                  // 88
      {"Sièges cuir", YesNo(kInt, "SCuir")},                          // 89
      {"Sièges mémoire", Blank()},                                    // 90
      {"Sièges sport", Blank()},                                      // 91
      {"Téléphone", Blank()},                                         // 92
      {"Vitres teintées", YesNo(kInt, "VitreTeint")},                 // 93
      {"Volant cuir", Blank()},                                       // 94
      {"Volant multifonctions", YesNo(kInt, "VMFonct")},              // 95
      {"Volant réglable", Blank()},                                   // 96
      {"Accoudoir central", Blank()},                                 // 97
      {"Capote électrique", Blank()},                                 // 98
      {"Full cuir", Blank()},                                         // 99
      {"Insertion bois", Blank()},                                    // 100
      {"Pack électrique", Blank()},                                   // 101
      {"Peinture métal", YesNo(kExt, "PMat")},                        // 102
      {"Jantes alu", YesNo(kExt, "JantAll")},                         // 103
      {"Diamètre jantes pouces", Blank()},                            // 104
      {"Cloison séparation", Blank()},                                // 105
      {"Hayon élévateur", Blank()},                                   // 106
      {"Poids max kg", Blank()},                                      // 107
      {"Chauffage auxiliaire", YesNo(kInt, "ChaufAux")},              // 108
      {"Réfrigéré", Blank()},                                         // 109
      {"Photo1", Computed("photo1")},                                 // 110
      {"Photo2", Computed("photo2")},                                 // 111
      {"Photo3", Computed("photo3")},                                 // 112
      {"Photo4", Computed("photo4")},                                 // 113
      {"Photo5", Computed("photo5")},                                 // 114
      {"Photo6", Computed("photo6")},                                 // 115
  };
  return columns;
}

}  // namespace tarvelon
