#pragma once
// tarvelon --check OPTION: the preflight table of one target.
#include <string>

namespace tarvelon {

class ExporterRegistry;

// 0 when no check failed, 1 when one did, 2 for an option outside the table.
int RunCheckCommand(const std::string& option, const ExporterRegistry& exporters);

}  // namespace tarvelon
