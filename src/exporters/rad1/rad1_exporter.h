#pragma once
// The Rad1 and InfoPress feed: the InfoPress stock extract itself, each
// vehicle completed with its title, ad text and (Rad1) partner fields, the
// photo links in two series, the working sections and elements removed and
// the elements renamed by text edits; saved in ISO-8859-15, zipped alone and
// sent by FTP when a user is set.
#include "app/dispatch.h"
#include <string>

#include "app/run_state.h"

namespace tarvelon {

// Entry of RAD1 ("Rad1") and INFOPRESS ("InfoPress"); the feed name names the files.
void RunRad1Export(RunState& state, const std::string& feedName);

// Titre: brand + model text + " (ref:" + reference + ")", at most 50 characters.
std::string Rad1Title(const std::string& brand, const std::string& model, const std::string& modelVersion,
                      const std::string& reference);

// Everything the ad text (Texte) is made of, read or computed per vehicle.
struct Rad1AdInputs {
  bool rad1 = false;
  std::string brand;          // InfoMarque
  std::string modelVersion;   // ModeleVersion
  std::string guarantee;      // Garantie
  std::string information;    // InfoComplement (code list)
  std::string body, power, colour, registration, mileage, doors, seats;
  std::string interiorLabels, exteriorLabels, safetyLabels;
  std::string contact;        // contact
  std::string telephone;      // after the site substitution, dots kept
  std::string company;        // LibelleSociete
  std::string openingHours;   // HorairesCommercial
  std::string message;        // MsgAnnonce
  std::string guaranteeMonths;   // GARANTIE
  std::string guaranteeMessage;  // MsgGarCons
};
std::string Rad1AdText(const Rad1AdInputs& in);

// The text edits from the serialized document to the delivered layout.
std::string EditRad1Text(std::string unedited, bool rad1);

// RAD1 also reads the two parts of the partner password; InfoPress does not.
SettingsUse Rad1SettingsUse(const std::string& feedName);

}  // namespace tarvelon
