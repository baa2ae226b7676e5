#include "exporters/topannonces/topannonces_exporter.h"
#include "platform/text.h"

namespace tarvelon {

std::string EquipmentLabelList(const TopAnnoncesVehicle& v) {
  std::string list;
  for (const std::string* labels : {&v.interiorLabels, &v.exteriorLabels, &v.safetyLabels}) {
    if (labels->empty()) continue;
    if (!list.empty()) list += ", ";
    list += *labels;
  }
  return list;
}

std::string EquipmentText(const TopAnnoncesVehicle& v) {
  const struct {
    const char* heading;
    const std::string& labels;
  } parts[] = {{"- Equipements Intérieurs : ", v.interiorLabels},
               {" - Equipements Extérieurs : ", v.exteriorLabels},
               {" - Equipements Sécurité : ", v.safetyLabels}};
  std::string text;
  for (const auto& p : parts)
    if (!p.labels.empty()) text += Ansi(p.heading) + p.labels;
  return text;
}

std::string InformationCodes(const std::string& information, const std::string& guarantee) {
  if (guarantee.empty() || Contains(information, ";Gar;")) return information;
  // A list that already ends with its separator takes the code alone, so no empty place appears.
  return information + (EndsWith(information, ";") ? "Gar;" : ";Gar;");
}

}  // namespace tarvelon
