// GoExportVivacarJSON: one object per vehicle of a client file, in the byte
// layout the Vivacar import reads (CR LF after the header and after every
// object, "]}" at the end), Windows-1252 text.
#include <cctype>
#include <functional>
#include <vector>

#include "exporters/vivacar/vivacar_exporter.h"
#include "platform/text.h"
#include "stock/conversions.h"

namespace tarvelon {
namespace {

const char* const kDefaultPartnerCode = "KORDV";
// Photos published under the former address are read from the current one.
const char* const kFormerPhotoBase = "http://images.groupe-kord.fr/KordImages";
const char* const kCurrentPhotoBase = "https://www.groupe-kord.fr/pictlore";

// -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
bool IsJsonNumber(const std::string& t) {
  size_t i = 0;
  const auto digits = [&] {
    const size_t from = i;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i;
    return i - from;
  };
  if (i < t.size() && t[i] == '-') ++i;
  if (i < t.size() && t[i] == '0') {
    ++i;
  } else if (digits() == 0) {
    return false;
  }
  if (i < t.size() && t[i] == '.') {
    ++i;
    if (digits() == 0) return false;
  }
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    if (digits() == 0) return false;
  }
  return i == t.size();
}

std::string Dashed(const std::string& date) { return ReplaceAll(date, "/", "-"); }
std::string TrueFalse(bool value) { return value ? "true" : "false"; }

std::string EnergyCode(const std::string& energy) {
  const std::string e = AnsiLower(energy);
  if (e == "diesel") return "GSL";
  if (e == "electrique") return "ELE";
  if (e == "essence") return "ESS";
  if (e == "gpl") return "GPL";
  return "AUT";
}

struct MemberValue {
  bool present = true;
  bool raw = false;
  std::string text;  // JSON text for a raw value, the unescaped content otherwise
};
MemberValue Quoted(const std::string& text) { return {true, false, text}; }
MemberValue Raw(const std::string& text) { return {true, true, text}; }
MemberValue Number(const std::string& text) { return Raw(JsonNumberOrNull(text)); }

MemberValue GuaranteeDuration(const IXMLCursor& r) {
  long long months = 0;
  if (!TryParseInt(ReplaceAll(r.GetValue("GARANTIE"), " Mois", ""), months) || months == 0) return {false, true, ""};
  return Raw(std::to_string(months));
}

MemberValue LeavingDate(const IXMLCursor& r) {
  const std::string date = r.GetValue("Date_Sortie");
  return date.empty() ? Raw("null") : Quoted(Dashed(date));
}

struct Member {
  const char* key;
  std::function<MemberValue(const IXMLCursor&)> value;
};

const std::vector<Member>& Members() {
  using R = const IXMLCursor&;
  static const std::vector<Member> members = {
      {"immatriculation", [](R r) { return Quoted(r.GetValue("NUMERO_IMMATRICULATION")); }},
      {"codeConcession", [](R r) { return Quoted(r.GetValue("CODE_CLIENT")); }},
      {"prixTTC", [](R r) { return Number(r.GetValue("PRIX")); }},
      {"datePremiereMiseEnCirculation", [](R r) { return Quoted(Dashed(r.GetValue("MISE_EN_CIRCULATION"))); }},
      {"reference", [](R r) { return Quoted(r.GetValue("REFERENCE")); }},
      {"dureeGarantie", GuaranteeDuration},
      {"kilometrage", [](R r) { return Number(r.GetValue("KILOMETRAGE")); }},
      {"codeMarque", [](R r) { return Quoted(r.GetValue("MARQUE")); }},
      {"modele", [](R r) { return Quoted(r.GetValue("VERSION")); }},
      {"codeEnergie", [](R r) { return Quoted(EnergyCode(r.GetValue("Energie"))); }},
      {"co2", [](R r) { return Number(r.GetValue("CO2")); }},
      {"puissanceFiscale", [](R r) { return Number(r.GetValue("PUISSANCE_FISCALE")); }},
      {"libelleGarantie", [](R r) { return Quoted(Trim(r.GetValue("GARANTIE") + " " + r.GetValue("TypeGarantie"))); }},
      {"couleur", [](R r) { return Quoted(r.GetValue("COULEUR")); }},
      {"estVisibleSitePartenaire", [](R) { return Raw("true"); }},
      {"etatNeuf", [](R r) { return Raw(TrueFalse(ToIntDef(r.GetValue("KILOMETRAGE"), 99990) <= 10)); }},
      {"dateEntree", [](R r) { return Quoted(Dashed(r.GetValue("Date_Entree"))); }},
      {"dateSortie", LeavingDate},
      {"enStock", [](R r) { return Raw(TrueFalse(r.GetValue("Date_Sortie").empty())); }},
      {"premiereMain", [](R r) { return Raw(TrueFalse(r.GetValue("PREMIERE_MAIN") == "O")); }},
      {"provenance", [](R r) { return Quoted(r.GetValue("Provenance")); }},
      {"numeroPolice", [](R r) { return Quoted(r.GetValue("REFERENCE").substr(0, 10)); }},
      {"numeroSerie", [](R r) { return Quoted(r.GetValue("Chassis")); }},
      {"version", [](R r) { return Quoted(r.GetValue("VERSION")); }},
      {"gamme", [](R r) { return Quoted(r.GetValue("MODELE")); }},
      {"finition", [](R) { return Quoted(""); }},
      {"portes", [](R r) { return Number(r.GetValue("NB_PORTES").substr(0, 1)); }},
      {"automatique", [](R r) { return Raw(TrueFalse(AnsiLower(r.GetValue("BOITE_DE_VITESSE")) == "automatique")); }},
      {"urlPhoto", [](R r) { return Quoted(ReplaceAll(r.GetValue("IDPHOTO1"), kFormerPhotoBase, kCurrentPhotoBase)); }},
  };
  return members;
}

}  // namespace

std::string JsonStringContent(const std::string& value) {
  static const char* const hex = "0123456789ABCDEF";
  std::string out;
  for (char c : value) {
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (u < 0x20) {
          out += "\\u00";
          out += hex[u >> 4];
          out += hex[u & 0x0F];
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string JsonNumberOrNull(const std::string& value) {
  const std::string number = ReplaceAll(Trim(value), ",", ".");
  return IsJsonNumber(number) ? number : "null";
}

std::string GoExportVivacarJSON(RunState& state, const IXMLCursor& clientFile) {
  IXMLCursor vehicles = clientFile.Select("/CLIENT/ANNONCE");
  std::string partner = state.ReadSetting("VIVACAR", "Code", kDefaultPartnerCode);
  if (partner.empty()) partner = vehicles.GetValue("CODE_CLIENT");

  std::string json = "{ \"codePartenaire\": \"" + JsonStringContent(partner) + "\", \"listeVehicules\": [ \r\n";
  for (bool first = true; !vehicles.Eof(); vehicles.Next(), first = false) {
    state.LogLine("Dans GoExportVivacarJSON -> " + vehicles.GetValue("NUMERO_IMMATRICULATION") + " - " +
                  vehicles.GetValue("REFERENCE"));
    std::string object;
    for (const Member& member : Members()) {
      const MemberValue v = member.value(vehicles);
      if (!v.present) continue;
      AppendJsonPair(object, member.key, v.raw, v.raw ? v.text : JsonStringContent(v.text));
    }
    json += std::string(first ? "" : ",") + "{\r\n" + object + "\r\n}\r\n";
  }
  return json + "]}";
}

}  // namespace tarvelon
