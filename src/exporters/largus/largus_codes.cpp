// The partner's code tables, as data.
#include <utility>
#include <vector>

#include "exporters/largus/largus_exporter.h"
#include "platform/text.h"

namespace tarvelon {
namespace {

// TypeCarrosserie in upper case → the partner's body type.
const std::pair<const char*, const char*> kBodyTypes[] = {
    {"4X2", "Tous Terrains"},
    {"4X4", "Tous Terrains"},
    {"BERLINE", "Berline"},
    {"BREAK", "Break - Monospace"},
    {"CABRIOLET", "Cabriolet"},
    {"CITADINE", "Berline"},
    {"COUPÉ", "Coupé"},
    {"FOURGON", "Utilitaires et véhicules de société"},
    {"MONOSPACE", "Break - Monospace"},
    {"PICK UP", "Utilitaires et véhicules de société"},
    {"SOCIÉTÉ", "Utilitaires et véhicules de société"},
};

// A partner code given when any of the stock codes occurs in the list.
struct CodeRule {
  std::vector<const char*> anyOf;
  const char* code;
};

const std::vector<CodeRule> kSafetyCodes = {
    {{"AirbagCond"}, "1"}, {{"AirbagPass"}, "2"}, {{"ABS"}, "3"}, {{"AirbagLat"}, "4"}, {{"ESP"}, "6"},
};

const std::vector<CodeRule> kEquipmentCodes = {
    {{"RadCass"}, "A"},   {{"RadCD"}, "B"},      {{"ToitOuvr"}, "C"},  {{"PMat"}, "D"},
    {{"Alarm"}, "E"},     {{"PNeige"}, "F"},     {{"AntiDem"}, "G"},   {{"PorBag"}, "H"},
    {{"AntiPat"}, "I"},   {{"PotCat"}, "J"},     {{"AttRem"}, "K"},    {{"RegVit"}, "L"},
    {{"RadCD", "RadCass", "RadMP3"}, "M"},       {{"RetrElec"}, "O"},  {{"Clim"}, "P"},
    {{"DirAss"}, "Q"},    {{"SCuir"}, "R"},      {{"S1/3"}, "S"},      {{"EquHandi"}, "T"},
    {{"SChauf"}, "U"},    {{"VerCent"}, "V"},    {{"SElect"}, "W"},    {{"AntiBrou"}, "X"},
    {{"GPS"}, "Y"},       {{"JantAll"}, "Z"},    {{"VitreElect"}, "H1"}, {{"ToitPano"}, "J1"},
    {{"BluToo"}, "K1"},   {{"RPS"}, "L1"},       {{"FiltPart"}, "M1"},
};

// Plain substring tests in upper case, so "ClimAuto" also gives the "Clim" code.
std::string CodesFound(const std::vector<CodeRule>& rules, const std::string& combined) {
  const std::string list = AnsiUpper(combined);
  std::string codes;
  for (const CodeRule& rule : rules) {
    for (const char* stockCode : rule.anyOf) {
      if (!Contains(list, AnsiUpper(stockCode))) continue;
      codes += (codes.empty() ? "" : ",") + std::string(rule.code);
      break;
    }
  }
  return codes;
}

}  // namespace

std::string LArgusBodyType(const std::string& typeCarrosserie) {
  const std::string upper = AnsiUpper(typeCarrosserie);
  for (const auto& [value, code] : kBodyTypes)
    if (upper == Ansi(value)) return Ansi(code);
  return upper;
}

std::string LArgusSafetyCodes(const std::string& combined) { return CodesFound(kSafetyCodes, combined); }

std::string LArgusEquipmentCodes(const std::string& combined) { return CodesFound(kEquipmentCodes, combined); }

}  // namespace tarvelon
