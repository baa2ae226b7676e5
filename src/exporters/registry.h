#pragma once
#include "app/dispatch.h"

namespace tarvelon {

// Every exporter of the program, by option key.
const ExporterRegistry& BuiltInExporters();

}  // namespace tarvelon
