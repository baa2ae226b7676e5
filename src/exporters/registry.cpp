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
      r.Register(key, [](RunState& state, const std::string&) { AutoScout24Exporter().Run(state); },
                 AutoScout24SettingsUse());
    for (const char* key : {"SITAUTOPRO", "LEBONCOIN", "HEYCAR", "GMBFI"}) r.Register(key, RunAnnonceExport, AnnonceSettingsUse());
    r.Register("NEOWEBCAR", [](RunState& state, const std::string&) { NeoWebCarExporter().Run(state); },
               NeoWebCarSettingsUse());
    r.Register("LARGUS", [](RunState& state, const std::string&) { LArgusExporter().Run(state); }, LArgusSettingsUse());
    r.Register("PVO", [](RunState& state, const std::string&) { PvoExporter().Run(state); }, PvoSettingsUse());
    for (const char* key : {"AXECIBLES", "FVA", "BUSINESSAPTITUDE", "BRELO"})
      r.Register(key, [](RunState& state, const std::string&) { RunDealerCsvExport(state); },
                 DealerCsvSettingsUse(key));
    r.Register("ANNONCESJAUNES", [](RunState& state, const std::string&) { AnnoncesJaunesExporter().Run(state); },
               AnnoncesJaunesSettingsUse());
    r.Register("RAD1", RunRad1Export, Rad1SettingsUse("Rad1"));
    r.Register("INFOPRESS", RunRad1Export, Rad1SettingsUse("InfoPress"));
    r.Register("TOPANNONCES", RunTopAnnoncesExport, TopAnnoncesSettingsUse());
    r.Register("AUTOREFLEX", RunAutoReflexExport, AutoReflexSettingsUse());
    r.Register("PARUVENDU", RunParuVenduExport, ParuVenduSettingsUse());
    r.Register("VIVACAR", RunVivacarExport, VivacarSettingsUse());
    return r;
  }();
  return registry;
}

}  // namespace tarvelon
