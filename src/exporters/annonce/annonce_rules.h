#pragma once
// The small rules of the annonce feeds: category codes, door counts, the
// 50-character title, equipment answers and the public comment. Texts are
// Windows-1252.
#include <string>
#include <vector>

namespace tarvelon {

class IXMLCursor;
class RunState;

// Partner category of a body type label ("11100" when unknown).
std::string CategoryCode(const std::string& category);

// NB_PORTES without "hayon", "avec", "portes" and every letter p.
std::string DoorCountText(const std::string& doors);

// GARANTIE without "MOIS" (any case), trimmed.
std::string GuaranteeMonths(const std::string& guarantee);

// The version that keeps brand + " " + model + " " + version within 50
// characters: cut and ended with "..." when the title is longer.
std::string VersionForTitle(const std::string& brand, const std::string& model, const std::string& version);

// "O" when ";" + code + ";" is in the list, "N" when not, empty for an empty list.
std::string EquipmentYesNo(const std::string& list, const std::string& code);

// The four code lists of a record.
struct EquipmentLists {
  std::string interior;     // EQUTINTERIEUR
  std::string exterior;     // EQUTEXTERIEUR
  std::string safety;       // EQUTSECURITE
  std::string information;  // INFOCOMPLEMENT
};

struct EquipmentValue {
  const char* element;
  std::string value;
  bool write;  // INTERIEUR is left alone unless the seats are leather
};
// The 72 equipment elements of a record, in the order they are written.
std::vector<EquipmentValue> EquipmentValues(const EquipmentLists& lists);
// Writes them into the record.
void WriteEquipment(IXMLCursor& record, const EquipmentLists& lists, bool lowerCaseNames = false);

// A price with a blank between thousands and no decimals ("25 990").
std::string FormatThousands(double value);

// Everything the public comment reads from a prepared record.
struct CommentInputs {
  std::string typeVO;
  std::string guarantee;  // GARANTIE after its conversion
  std::string guaranteeMessage;  // MsgGarCons
  std::string message;           // MsgAnnonce
  std::string contact;           // CONTACT_A_AFFICHER
  std::string telephone;         // TELEPHONE_A_AFFICHER
  std::string company;           // LibelleSociete
  std::string openingHours;      // HorairesCommercial
  std::string cataloguePrice;    // PrixCatalogue
  std::string price;             // PRIX
  bool atpOffer = false;         // the ATP period runs and InfoVA is "VA"
  std::string atpMessage;        // MessageATP
};
CommentInputs ReadCommentInputs(const RunState& state, const IXMLCursor& record);

struct AnnonceCommentResult {
  std::string text;
  double rate = 0;  // the discount of a demonstration vehicle, 0 outside 10 <= rate < 50
};
AnnonceCommentResult AnnonceComment(const CommentInputs& in);

// "remise": the rate to the nearest whole number, empty when there is none.
std::string DiscountText(double rate);

}  // namespace tarvelon
