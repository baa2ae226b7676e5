#include <vector>

#include "exporters/annonce/annonce_rules.h"
#include "platform/text.h"
#include "stock/xml_cursor.h"

namespace tarvelon {
namespace {

enum class List { Interior, Safety, Exterior, Information };

enum class Rule {
  YesNo,        // "O" / "N" / empty
  Radio,        // the first radio present, by name
  AirCondition, // automatic wins over manual
  Leather,      // written only for leather seats
  Rims,         // aluminium wins over alloy
};

struct EquipmentRow {
  const char* element;
  List list;
  const char* code;  // UTF-8; the special rows name their codes themselves
  Rule rule = Rule::YesNo;
};

// The partners' equipment elements, in the order the ads carry them.
const std::vector<EquipmentRow>& EquipmentTable() {
  static const std::vector<EquipmentRow> table = {
      {"AUTO_RADIO", List::Interior, "", Rule::Radio},
      {"CLIMATISATION", List::Interior, "", Rule::AirCondition},
      {"DIRECTION_ASSISTEE", List::Interior, "DirAss"},
      {"GPS", List::Interior, "GPS"},
      {"ORDINATEUR_DE_BORD", List::Interior, "OrdiBord"},
      {"REGULATEUR_DE_VITESSE", List::Interior, "RegVit"},
      {"REGULATEUR_DE_VITESSE_ADAPTATIF", List::Interior, "RegVA"},
      {"LIMITEUR_DE_VITESSE", List::Interior, "LimVit"},
      {"BLUETOOTH", List::Interior, "BluToo"},
      {"HIFI_PREMIUM", List::Interior, "Hifi"},
      {"APPLE_CARPLAY_ET_ANDROID_AUTO", List::Interior, "AppAnd"},
      {"CHAUFFAGE_AUXILIAIRE", List::Interior, "ChaufAux"},
      {"CHAUFFAGE_STATIONNAIRE", List::Interior, "ChauStat"},
      {"SIEGES_CHAUFFANTS", List::Interior, "SChauf"},
      {"SIEGES_ELECTRIQUES", List::Interior, "SElect"},
      {"SIEGES_A_MEMOIRE", List::Interior, "SMem"},
      {"SIEGES_AVANT_VENTILES", List::Interior, "SVent"},
      {"SIEGES_ARRIERES_1_TIERS_2_TIERS", List::Interior, "S1/3"},
      {"RIDEAUX_PARE_SOLEIL", List::Interior, "RPS"},
      {"INTERIEUR", List::Interior, "SCuir", Rule::Leather},
      {"TOIT_OUVRANT", List::Interior, "ToitOuvr"},
      {"TOIT_PANORAMIQUE", List::Interior, "ToitPano"},
      {"VITRES_ELECTRIQUES", List::Interior, "VitreElect"},
      {"VITRES_SURTEINTEES", List::Interior, "VitreTeint"},
      {"VOLANT_MULTIFONCTIONS", List::Interior, "VMFonct"},
      {"VOLANT_CHAUFFANT", List::Interior, "VChauf"},
      {"VOLANT_CUIR", List::Interior, "VCuir"},
      {"PRISE_230V", List::Interior, "230V"},
      {"FULL_DRIVE_ASSIST", List::Interior, "pacfulldri"},
      {"ABS", List::Safety, "ABS"},
      {"FERMETURE_CENTRALISEE", List::Safety, "VerCent"},
      {"ROUE_DE_SECOURS", List::Safety, "RSecou"},
      {"AIRBAGS_FRONTAUX", List::Safety, "AirbagCond"},
      {"AIRBAGS_LATERAUX", List::Safety, "AirbagLat"},
      {"AIRBAGS_PASSAGERS", List::Safety, "AirbagPass"},
      {"ALARME", List::Safety, "Alarm"},
      {"ANTI_DEMARRAGE", List::Safety, "AntiDem"},
      {"ANTI_PATINAGE", List::Safety, "AntiPat"},
      {"CONTROLE_PRESSION_DES_PNEUS", List::Safety, "CtPress"},
      {"ESP", List::Safety, "ESP"},
      {"PHARES_ANTIBROUILLARD", List::Safety, "AntiBrou"},
      {"PROJECTEURS_XENON", List::Safety, "LXen"},
      {"DETECTION_FATIGUE", List::Safety, "DetFat"},
      {"KEYLESS_ACCESS", List::Safety, "KAcc"},
      {"DETECTION_ANGLE_MORT", List::Safety, "DetAng"},
      {"EMERGENCY_CALL", List::Safety, "eCall"},
      {"DETECTION_PIETON", List::Safety, "DPiéton"},
      {"DETECTION_PANNEAUX_SIGNALISATION", List::Safety, "DPSig"},
      {"PEINTURE_METALLISEE", List::Exterior, "PMat"},
      {"FILTRE_A_PARTICULES", List::Exterior, "FiltPart"},
      {"POT_CATALYTIQUE", List::Exterior, "PotCat"},
      {"ESSUIE_GLACES_AUTOMATIQUE", List::Exterior, "EGAuto"},
      {"RETROVISEURS_ELECTRIQUES", List::Exterior, "RetrElec"},
      {"PORTES_ELECTRIQUES", List::Exterior, "PortElec"},
      {"RADAR_AVANT", List::Exterior, "Radavant"},
      {"CAMER_360_DEGRES", List::Exterior, "Cam360"},
      {"CAMERA_DE_RECUL", List::Exterior, "CamRecul"},
      {"RADAR_DE_RECUL", List::Exterior, "RadRecul"},
      {"AIDE_AU_STATIONNEMENT", List::Exterior, "AidStat"},
      {"ATTELAGE", List::Exterior, "AttRem"},
      {"BARRES_DE_TOIT", List::Exterior, "BarToit"},
      {"PORTE_BAGAGE", List::Exterior, "PorBag"},
      {"ALLUMAGE_AUTOMATIQUE_DES_FEUX", List::Exterior, "AllAuto"},
      {"PHARES_A_LED", List::Exterior, "Led"},
      {"FEUX_A_LED_AVANT", List::Exterior, "LedAva"},
      {"FEUX_A_LED_ARRIERE", List::Exterior, "LedArr"},
      {"JANTES", List::Exterior, "", Rule::Rims},
      {"PNEUS_NEIGE", List::Exterior, "PNeige"},
      {"HAYON_ELECTRIQUE", List::Exterior, "HayElec"},
      {"HAYON_MAINS_LIBRES", List::Exterior, "HayML"},
      {"NON_FUMEUR", List::Information, "VNF"},
      {"TUNING", List::Exterior, "Tuning"},
  };
  return table;
}

const std::string& ListOf(const EquipmentLists& lists, List list) {
  switch (list) {
    case List::Interior: return lists.interior;
    case List::Safety: return lists.safety;
    case List::Exterior: return lists.exterior;
    case List::Information: return lists.information;
  }
  return lists.interior;
}

std::string RadioValue(const std::string& list) {
  // The first radio found gives its name; without any the plain answer stays.
  std::string v = EquipmentYesNo(list, "RadCass");
  if (v == "O") v = "Radio K7";
  if (v.size() <= 1) {
    v = EquipmentYesNo(list, "RadCD");
    if (v == "O") v = "Radio CD";
  }
  if (v.size() <= 1) {
    v = EquipmentYesNo(list, "RadMP3");
    if (v == "O") v = "Radio MP3";
  }
  return v;
}

std::string AirConditionValue(const std::string& list) {
  std::string v;
  if (EquipmentYesNo(list, "Clim") == "O") v = "Climatisation";
  if (EquipmentYesNo(list, "ClimAuto") == "O") v = "Climatisation Automatique";
  return v;
}

std::string RimsValue(const std::string& list) {
  std::string v;
  if (EquipmentYesNo(list, "JantAll") == "O") v = "alliage";
  if (EquipmentYesNo(list, "JantAlu") == "O") v = "aluminium";
  return v;
}

}  // namespace

std::string EquipmentYesNo(const std::string& list, const std::string& code) {
  if (list.empty()) return "";
  return Contains(list, ";" + code + ";") ? "O" : "N";
}

std::vector<EquipmentValue> EquipmentValues(const EquipmentLists& lists) {
  // Each plain row's code as a list holds it, ";" on both sides: made once,
  // not for every record.
  static const std::vector<std::string> marked = [] {
    std::vector<std::string> codes;
    for (const auto& row : EquipmentTable()) codes.push_back(";" + Ansi(row.code) + ";");
    return codes;
  }();
  std::vector<EquipmentValue> values;
  values.reserve(EquipmentTable().size());
  for (size_t i = 0; i < EquipmentTable().size(); ++i) {
    const EquipmentRow& row = EquipmentTable()[i];
    const std::string& list = ListOf(lists, row.list);
    switch (row.rule) {
      case Rule::YesNo:
        // EquipmentYesNo(list, Ansi(row.code)).
        values.push_back({row.element, list.empty() ? "" : Contains(list, marked[i]) ? "O" : "N", true});
        break;
      case Rule::Radio: values.push_back({row.element, RadioValue(list), true}); break;
      case Rule::AirCondition: values.push_back({row.element, AirConditionValue(list), true}); break;
      case Rule::Rims: values.push_back({row.element, RimsValue(list), true}); break;
      case Rule::Leather: {
        const bool leather = EquipmentYesNo(list, row.code) == "O";
        values.push_back({row.element, leather ? "cuir" : "", leather});
        break;
      }
    }
  }
  return values;
}

void WriteEquipment(IXMLCursor& record, const EquipmentLists& lists, bool lowerCaseNames) {
  for (const auto& v : EquipmentValues(lists)) {
    if (!v.write) continue;
    record.SetValue(lowerCaseNames ? AnsiLower(v.element) : std::string(v.element), v.value);
  }
}

}  // namespace tarvelon
