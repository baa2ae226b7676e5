#include "exporters/rad1/rad1_exporter.h"
#include "platform/text.h"
#include "stock/conversions.h"

namespace tarvelon {
namespace {

const std::string kCrLf = "\r\n";
const std::string kRule(44, '_');

}  // namespace

std::string Rad1Title(const std::string& brand, const std::string& model, const std::string& modelVersion,
                      const std::string& reference) {
  // An empty model is never found in the version, so it still adds its blank.
  const std::string modelText =
      !model.empty() && Contains(AnsiUpper(modelVersion), AnsiUpper(model)) ? modelVersion : model + " " + modelVersion;
  std::string title = brand + " " + modelText;
  const std::string suffix = " (ref:" + reference + ")";
  if (title.size() + suffix.size() > 50) {
    const size_t keep = suffix.size() < 47 ? 47 - suffix.size() : 0;
    title = title.substr(0, keep) + "...";
  }
  return title + suffix;
}

std::string Rad1AdText(const Rad1AdInputs& in) {
  std::string t = kRule + kCrLf + kCrLf;
  t += BrandName(in.brand) + " " + in.modelVersion + kCrLf;
  std::string guarantee = in.guarantee;
  if (guarantee.empty() && Contains(in.information, ";GarCons;")) guarantee = "Constructeur";
  if (!guarantee.empty())
    t += (Contains(AnsiUpper(guarantee), "MOIS") ? Ansi("Garantie Européenne de ") : std::string("Garantie ")) +
         guarantee + kCrLf;
  t += kRule + kCrLf + kCrLf;
  t += "Carrosserie : " + in.body + kCrLf;
  t += "Puissance : " + in.power + " CV" + kCrLf;
  t += "Couleur : " + in.colour + kCrLf;
  t += "Mise en Circulation : " + in.registration + kCrLf;
  if (in.rad1) t += Ansi("Kilométrage : ") + in.mileage + kCrLf;
  t += ReplaceAll(in.doors + ", " + in.seats + " places", "p avec", " portes avec", true) + kCrLf;
  if (Contains(in.information, ";VNF;")) t += Ansi("Véhicule Non Fumeur") + kCrLf;
  if (Contains(in.information, ";StatGar;")) t += "Stationnement dans un garage" + kCrLf;
  t += kCrLf;
  const struct {
    const char* heading;
    const std::string& labels;
  } equipment[] = {{" + Equipements Intérieurs : ", in.interiorLabels},
                   {" + Equipements Extérieurs : ", in.exteriorLabels},
                   {" + Equipements Sécurité : ", in.safetyLabels}};
  for (const auto& e : equipment)
    if (!e.labels.empty()) t += Ansi(e.heading) + e.labels + kCrLf + kCrLf;
  t += kRule + kCrLf + kCrLf;
  const std::string contactText =
      AnsiUpper(in.contact) == "STANDARD" ? Ansi("Tél : ") : "Contactez " + in.contact + " au ";
  t += contactText + in.telephone + kCrLf;
  t += in.company + kCrLf + kCrLf + in.openingHours + kCrLf;
  t += kRule + kCrLf + kCrLf + in.message + kCrLf;
  const std::string warranty =
      !in.guaranteeMonths.empty() ? "+ Garantie de " + in.guaranteeMonths + " mois" : in.guaranteeMessage;
  if (!warranty.empty()) t += warranty + kCrLf;
  return t + kRule;
}

}  // namespace tarvelon
