#include "exporters/annonce/annonce_rules.h"

#include <cmath>

#include "platform/numbers.h"
#include "platform/text.h"

namespace tarvelon {

std::string DoorCountText(const std::string& doors) {
  std::string text = doors;
  for (const char* word : {"hayon", "avec", "portes", "p"}) text = Trim(ReplaceAll(text, word, "", true));
  return text;
}

std::string GuaranteeMonths(const std::string& guarantee) { return Trim(ReplaceAll(guarantee, "MOIS", "", true)); }

std::string VersionForTitle(const std::string& brand, const std::string& model, const std::string& version) {
  const std::string title = brand + " " + model + " " + version;
  if (title.size() <= 50) return version;
  const long keep = static_cast<long>(version.size()) - static_cast<long>(title.size()) + 47;
  return (keep > 0 ? version.substr(0, static_cast<size_t>(keep)) : std::string()) + "...";
}

std::string FormatThousands(double value) {
  std::string digits = FormatFixed(std::fabs(value), 0);
  std::string grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ' ';
    grouped += digits[i];
  }
  return value < 0 && grouped != "0" ? "-" + grouped : grouped;
}

std::string DiscountText(double rate) { return rate >= 10 && rate < 50 ? FormatFixed(rate, 0) : ""; }

}  // namespace tarvelon
