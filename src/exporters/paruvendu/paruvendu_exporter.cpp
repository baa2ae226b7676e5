#include "exporters/paruvendu/paruvendu_exporter.h"

namespace tarvelon {

std::unique_ptr<ClientFileBuilder> ParuVenduExporter::MakeClientFileBuilder(RunState& state) const {
  return std::make_unique<ParuVenduClientFiles>(state);
}

void RunParuVenduExport(RunState& state, const std::string&) {
  ParuVenduExporter exporter;
  exporter.Run(state);
}

SettingsUse ParuVenduSettingsUse() { return AnnonceSettingsUse(); }

}  // namespace tarvelon
