#include "exporters/registry.h"

#include "exporters/annonce/annonce_exporter.h"
#include "exporters/annonces_jaunes/annonces_jaunes_exporter.h"
#include "exporters/autoscout24/autoscout24_exporter.h"
#include "exporters/largus/largus_exporter.h"
#include "exporters/neowebcar/neowebcar_exporter.h"
#include "exporters/pvo/pvo_exporter.h"
#include "exporters/dealer_csv/dealer_csv_exporter.h"
#include "exporters/autoreflex/autoreflex_exporter.h"
#include "exporters/rad1/rad1_exporter.h"
#include "exporters/topannonces/topannonces_exporter.h"
#include "exporters/paruvendu/paruvendu_exporter.h"
#include "exporters/vivacar/vivacar_exporter.h"

namespace tarvelon {

const ExporterRegistry& BuiltInExporters() {
  static const ExporterRegistry registry = [] {
    ExporterRegistry r;
    for (const char* key : {"AUTOSCOUT24", "VPN"})
      r.Register(key, [](RunState& state, const std::string&) { AutoScout24Exporter().Run(state); });
    for (const char* key : {"SITAUTOPRO", "LEBONCOIN", "HEYCAR", "GMBFI"}) r.Register(key, RunAnnonceExport);
    r.Register("NEOWEBCAR", [](RunState& state, const std::string&) { NeoWebCarExporter().Run(state); });
    r.Register("LARGUS", [](RunState& state, const std::string&) { LArgusExporter().Run(state); });
    r.Register("PVO", [](RunState& state, const std::string&) { PvoExporter().Run(state); });
    for (const char* key : {"AXECIBLES", "FVA", "BUSINESSAPTITUDE", "BRELO"})
      r.Register(key, [](RunState& state, const std::string&) { RunDealerCsvExport(state); });
    r.Register("ANNONCESJAUNES", [](RunState& state, const std::string&) { AnnoncesJaunesExporter().Run(state); });
    for (const char* key : {"RAD1", "INFOPRESS"}) r.Register(key, RunRad1Export);
    r.Register("TOPANNONCES", RunTopAnnoncesExport);
    r.Register("AUTOREFLEX", RunAutoReflexExport);
    r.Register("PARUVENDU", RunParuVenduExport);
    r.Register("VIVACAR", RunVivacarExport);
    return r;
  }();
  return registry;
}

}  // namespace tarvelon
