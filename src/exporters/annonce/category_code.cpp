#include "exporters/annonce/annonce_rules.h"

#include <map>

#include "platform/text.h"

namespace tarvelon {

std::string CategoryCode(const std::string& category) {
  static const std::map<std::string, std::string> codes = {
      {"BERLINE", "11100"},   {"CITADINE", "11100"}, {"BREAK", "11200"}, {"SOCIETE", "11200"},
      {"MONOSPACE", "11300"}, {"SUV", "11400"},      {"4X2", "11400"},   {"4X4", "11400"},
      {"PICK UP", "11400"},   {"CABRIOLET", "11500"}, {"COUPE", "11500"}, {"FOURGON", "12000"},
  };
  std::string plain = category;
  for (const char* accented : {"é", "è"}) plain = ReplaceAll(plain, Ansi(accented), "e", true);
  auto it = codes.find(AnsiUpper(plain));
  return it == codes.end() ? "11100" : it->second;
}

}  // namespace tarvelon
