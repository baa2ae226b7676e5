#include "app/version.h"

#include <utility>

namespace tarvelon {

std::vector<std::string> VersionLines() {
  // Items looked up under \StringFileInfo\040c04e4\ in the order of the button.
  static const std::vector<std::pair<const char*, const char*>> items = {
      {"FileDescription", ""}, {"CompanyName", ""},      {"FileVersion", "1.15.7.30"},
      {"InternalName", ""},    {"LegalCopyRight", ""},   {"OriginalFileName", ""},
      {"ProductName", ""},     {"ProductVersion", "1.0.0.0"}};
  std::vector<std::string> lines;
  for (const auto& [name, value] : items) lines.push_back(std::string(name) + " : " + value);
  return lines;
}

}  // namespace tarvelon
