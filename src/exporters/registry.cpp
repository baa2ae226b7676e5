#include "exporters/registry.h"

#include "exporters/annonce/annonce_exporter.h"
#include "exporters/autoscout24/autoscout24_exporter.h"
#include "exporters/paruvendu/paruvendu_exporter.h"
#include "exporters/vivacar/vivacar_exporter.h"

namespace tarvelon {

const ExporterRegistry& BuiltInExporters() {
  static const ExporterRegistry registry = [] {
    ExporterRegistry r;
    for (const char* key : {"AUTOSCOUT24", "VPN"})
      r.Register(key, [](RunState& state, const std::string&) { AutoScout24Exporter().Run(state); });
    for (const char* key : {"SITAUTOPRO", "LEBONCOIN", "HEYCAR", "GMBFI"}) r.Register(key, RunAnnonceExport);
    r.Register("PARUVENDU", RunParuVenduExport);
    r.Register("VIVACAR", RunVivacarExport);
    return r;
  }();
  return registry;
}

}  // namespace tarvelon
