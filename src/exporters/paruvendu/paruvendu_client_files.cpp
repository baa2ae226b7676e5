#include <string_view>

#include "exporters/paruvendu/paruvendu_exporter.h"
#include "platform/text.h"
#include "stock/file_operations.h"
#include "transfer/ftp_delivery.h"

namespace tarvelon {
namespace {

// The element names ParuVendu reads in lower case, in the order they are lowered.
const std::vector<std::string> kLoweredNames = {
    "CLIENT CODE", "CLIENT", "CODE", "COORDONNEES", "RAISON_SOCIALE", "Adresse", "CODE_POSTAL", "VILLE",
    "Telephone", "Fax", "email", "Web", "idAnnonceur", "ANNONCE", "REFERENCE", "CONTACT_A_AFFICHER",
    "TELEPHONE_A_AFFICHER", "EMAIL_A_AFFICHER", "TITRE", "CATEGORIE", "MARQUE", "VERSION", "MODELE", "ENERGIE",
    "KILOMETRAGE", "PUISSANCE_FISCALE", "BOITE_DE_VITESSE", "MISE_EN_CIRCULATION", "CARROSSERIE",
    "NUMERO_IMMATRICULATION", "NB_PORTES", "NB_PLACES", "PREMIERE_MAIN", "PHOTOS", "PHOTO", "VEHICULE", "OFFRE",
    "PRIX", "GARANTIE",
};

bool EndsStartTagName(char c) {
  return c == '>' || c == '/' || c == '=' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool NameAt(const std::string& text, size_t at, const std::string& name) {
  return at + name.size() <= text.size() &&
         SameTextIgnoringCase(std::string_view(text).substr(at, name.size()), name);
}

}  // namespace

std::string LowerTag(const std::string& text, const std::string& name) {
  const std::string lower = AnsiLower(name);
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  for (size_t lt = text.find('<'); lt != std::string::npos; lt = text.find('<', lt + 1)) {
    const bool endTag = lt + 1 < text.size() && text[lt + 1] == '/';
    const size_t at = lt + (endTag ? 2 : 1);
    if (!NameAt(text, at, name)) continue;
    const size_t after = at + name.size();
    if (after >= text.size()) continue;
    if (endTag ? text[after] != '>' : !EndsStartTagName(text[after])) continue;
    out.append(text, pos, at - pos);
    out += lower;
    pos = after;
  }
  out.append(text, pos, std::string::npos);
  return out;
}

std::string LowerTags(const std::string& text, const std::vector<std::string>& names) {
  // Lowering one name never makes or unmakes a match of another (the match
  // ignores case and keeps the length), so each tag is lowered as far as the
  // longest listed name it starts with, in one pass.
  std::string out = text;
  for (size_t lt = text.find('<'); lt != std::string::npos; lt = text.find('<', lt + 1)) {
    const bool endTag = lt + 1 < text.size() && text[lt + 1] == '/';
    const size_t at = lt + (endTag ? 2 : 1);
    size_t longest = 0;
    for (const std::string& name : names) {
      if (name.size() <= longest || !NameAt(text, at, name)) continue;
      const size_t after = at + name.size();
      if (after >= text.size()) continue;
      if (endTag ? text[after] != '>' : !EndsStartTagName(text[after])) continue;
      longest = name.size();
    }
    if (longest > 0) {
      const std::string lower = AnsiLower(std::string_view(text).substr(at, longest));
      out.replace(at, longest, lower);
    }
  }
  return out;
}

std::string ParuVenduClientFiles::EditClientText(std::string text, const ClientEntry& client) const {
  std::string edited = ClientFileText(std::move(text), client.code, true);
  edited = RemoveClientWorkingElements(std::move(edited));
  edited = RenameCityElement(std::move(edited), "LibelleVille");
  edited = ReplaceAllInText(std::move(edited), "<document>", "", true);
  return LowerTags(edited, kLoweredNames);
}

void ParuVenduClientFiles::SaveClientFile(IXMLCursor& working, const std::string& text, const ClientEntry& client) {
  // The raw text first: when it does not parse, it stays as the result file.
  const std::string resultPath = WorkFolder() + resultFileName_;
  WriteTextFile(resultPath, text);
  working.LoadXMLForSaving(text);
  working.SaveEach({WorkFolder() + client.datedFileName, resultPath});
}

std::string ParuVenduClientFiles::Deliver(const std::string&, const ClientEntry&) {
  // The archive is made, but ParuVendu takes the result file itself.
  return DeliverFtp(state_, WorkFolder() + resultFileName_, false) + resultFileName_ + ", ";
}

}  // namespace tarvelon
