#include "exporters/annonce/annonce_rules.h"
#include "exporters/frame/exporter_frame.h"
#include "exporters/topannonces/topannonces_exporter.h"
#include "platform/text.h"
#include "stock/conversions.h"

namespace tarvelon {
namespace {

enum class Source { Flag, Empty, True, Version, Labels, Automatic, Doors, Mileage, Colour, Energy, Year, SixMonths,
                    TwelveMonths, FirstRegistration };
enum class List { None, Interior, Exterior, Safety };

struct ComplementRow {
  const char* type;
  Source source;
  List list = List::None;
  const char* code = nullptr;
  const char* orCode = nullptr;  // tested when the first code gives "false"
};

const ComplementRow kComplements[] = {
    {"VS", Source::Version},
    {"S", Source::Labels},
    {"O1", Source::Flag, List::Interior, "Clim", "ClimAuto"},
    {"O2", Source::Flag, List::Interior, "VitreElect"},
    {"O3", Source::Flag, List::Safety, "AirbagCond", "AirbagLat"},
    {"O4", Source::Automatic},
    {"O5", Source::Flag, List::Safety, "Alarme"},
    {"O6", Source::Flag, List::Interior, "DirAss"},
    {"O7", Source::Flag, List::Safety, "ABS"},
    {"O8", Source::Flag, List::Interior, "RadCass"},
    {"O9", Source::Flag, List::Interior, "RadCD"},
    {"NP", Source::Doors},
    {"K", Source::Mileage},
    {"E1", Source::Empty},
    {"E2", Source::True},
    {"CO", Source::Colour},
    {"E", Source::Energy},
    {"A", Source::Year},
    {"B1", Source::Flag, List::Exterior, "Radrecul", "Radavant"},
    {"B2", Source::Empty},
    {"B3", Source::Empty},
    {"B4", Source::Flag, List::Interior, "SCuir"},
    {"B5", Source::Flag, List::Interior, "OrdiBord"},
    {"B6", Source::Flag, List::Interior, "RegVit"},
    {"B7", Source::Flag, List::Interior, "SElect"},
    {"B8", Source::Flag, List::Interior, "GPS"},
    {"B9", Source::Flag, List::Interior, "ToitOuvr"},
    {"S1", Source::Flag, List::Safety, "AntiDem"},
    {"S2", Source::Flag, List::Safety, "AntiBrou"},
    {"S3", Source::Flag, List::Safety, "AntiPat"},
    {"S4", Source::Empty},
    {"S5", Source::Empty},
    {"S6", Source::Empty},
    {"S7", Source::Empty},
    {"S8", Source::Flag, List::Safety, "ESP"},
    {"S9", Source::Flag, List::Safety, "LXen"},
    {"S10", Source::Empty},
    {"U1", Source::Flag, List::Exterior, "AttRem"},
    {"U2", Source::Empty},
    {"U3", Source::Empty},
    {"U4", Source::Empty},
    {"U5", Source::Flag, List::Exterior, "PorBag"},
    {"U6", Source::Empty},
    {"U7", Source::Flag, List::Exterior, "JantAll"},
    {"U8", Source::Flag, List::Interior, "VitreTeint"},
    {"U9", Source::Flag, List::Exterior, "PMat"},
    {"U10", Source::Flag, List::Safety, "VerCent"},
    {"G1", Source::SixMonths},
    {"G2", Source::TwelveMonths},
    {"IM", Source::FirstRegistration},
};

// The three-valued equipment test in the partner's words.
std::string FlagWord(const std::string& list, const char* code) {
  const std::string flag = HasEquipmentCode(list, code);
  return flag.empty() ? "" : flag == "1" ? "true" : "false";
}

const std::string& ListOf(const TopAnnoncesVehicle& v, List list) {
  static const std::string none;
  switch (list) {
    case List::Interior: return v.interior;
    case List::Exterior: return v.exterior;
    case List::Safety: return v.safety;
    case List::None: break;
  }
  return none;
}

std::string TrueFalse(bool value) { return value ? "true" : "false"; }

int WarrantyMonths(const std::string& guarantee) { return LeadingNumber("0" + GuaranteeMonths(guarantee), 0); }

std::string Answer(const TopAnnoncesVehicle& v, const ComplementRow& row) {
  switch (row.source) {
    case Source::Flag: {
      const std::string& list = ListOf(v, row.list);
      std::string word = FlagWord(list, row.code);
      if (word == "false" && row.orCode) word = FlagWord(list, row.orCode);
      return word;
    }
    case Source::Empty: return "";
    case Source::True: return "true";
    case Source::Version: return v.version;
    case Source::Labels: return EquipmentLabelList(v);
    case Source::Automatic: return TrueFalse(AnsiUpper(v.gearbox) == "AUTOMATIQUE");
    case Source::Doors: return DoorCountText(v.doors);
    case Source::Mileage: return v.mileage;
    case Source::Colour: return v.colour;
    case Source::Energy: return AnsiUpper(ReplaceAll(v.energy, Ansi("é"), "e", true));
    case Source::Year: return v.year;
    case Source::SixMonths: return TrueFalse(WarrantyMonths(v.guarantee) == 6);
    case Source::TwelveMonths: return TrueFalse(WarrantyMonths(v.guarantee) == 12);
    case Source::FirstRegistration: return v.firstRegistration;
  }
  return "";
}

}  // namespace

std::vector<std::pair<std::string, std::string>> ComplementAnswers(const TopAnnoncesVehicle& v) {
  std::vector<std::pair<std::string, std::string>> answers;
  for (const ComplementRow& row : kComplements) answers.emplace_back(row.type, Answer(v, row));
  return answers;
}

}  // namespace tarvelon
