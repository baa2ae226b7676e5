#include "exporters/registry.h"

namespace tarvelon {

const ExporterRegistry& BuiltInExporters() {
  static const ExporterRegistry registry = [] {
    ExporterRegistry r;
    return r;
  }();
  return registry;
}

}  // namespace tarvelon
