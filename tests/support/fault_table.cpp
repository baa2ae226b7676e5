#include "support/fault_table.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace tarvelon::testing {

namespace {

// Tabs and line ends would break the row apart.
std::string Cell(std::string text) {
  for (char& c : text)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return text;
}

}  // namespace

void RecordFault(const std::string& fault, const std::string& where, const std::string& outcome, double seconds) {
  const char* table = std::getenv("TARVELON_FAULT_TABLE");
  if (!table || !*table) return;
  char time[32];
  std::snprintf(time, sizeof time, "%.1f", seconds);
  std::ofstream out(table, std::ios::app | std::ios::binary);
  out << Cell(fault) << '\t' << Cell(where) << '\t' << Cell(outcome) << '\t' << time << '\n';
}

}  // namespace tarvelon::testing
