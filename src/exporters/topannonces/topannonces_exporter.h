#pragma once
// The TopAnnonces feed: the stock extract itself, each vehicle completed with
// its site contacts, reference, catch line, equipment text and 50 coded
// "complement" answers, every photo checked on the image server, then
// reshaped by text edits into a "listepa" of "annonce" elements with their
// "liste_photos"; saved in ISO-8859-15 under the partner's client number,
// zipped alone and sent by FTP.
#include "app/dispatch.h"
#include <string>
#include <utility>
#include <vector>

#include "app/run_state.h"

namespace tarvelon {

void RunTopAnnoncesExport(RunState& state, const std::string& argument);

// What the complement answers and the texts read from one vehicle.
struct TopAnnoncesVehicle {
  std::string interior, exterior, safety, information;  // the code lists
  std::string interiorLabels, exteriorLabels, safetyLabels;
  std::string version;            // MODELEVERSION without the model
  std::string gearbox;            // BOITE_DE_VITESSE
  std::string doors;              // NB_PORTES
  std::string mileage;            // Kilometrage
  std::string colour;             // Couleur
  std::string energy;             // Energie
  std::string year;               // YearMEC
  std::string guarantee;          // Garantie
  std::string firstRegistration;  // FirstMEC
};

// (type, answer) of the 50 complements, in the order they are written.
std::vector<std::pair<std::string, std::string>> ComplementAnswers(const TopAnnoncesVehicle& v);

// The equipment labels joined by ", " (answer "S").
std::string EquipmentLabelList(const TopAnnoncesVehicle& v);
// The equipment part of texte, before its information line.
std::string EquipmentText(const TopAnnoncesVehicle& v);
// InfoComplement with the guarantee code added when a guarantee is given.
std::string InformationCodes(const std::string& information, const std::string& guarantee);

// The photo list edits, then the edits to the delivered layout.
std::string EditTopAnnoncesPhotoText(std::string unedited);
std::string EditTopAnnoncesText(std::string photoText);

SettingsUse TopAnnoncesSettingsUse();

}  // namespace tarvelon
