#pragma once
// The reliability table: each fault test appends one row to the file named by
// the environment variable TARVELON_FAULT_TABLE (nothing when it is unset).
#include <string>

namespace tarvelon::testing {

// Appends "fault<TAB>where<TAB>outcome<TAB>seconds" and a line end.
void RecordFault(const std::string& fault, const std::string& where, const std::string& outcome, double seconds);

}  // namespace tarvelon::testing
