#pragma once
// The program's version block: language 040C, code page 1252.
#include <string>
#include <vector>

namespace tarvelon {

// The lines of the "Version" button: item + " : " + value, in the block's order.
std::vector<std::string> VersionLines();

}  // namespace tarvelon
