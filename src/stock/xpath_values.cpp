#include "stock/xpath_values.h"

#include "platform/text.h"

namespace tarvelon {

bool IsRecordNumber(const std::string& value, std::string& digits) {
  digits = Trim(value);
  if (digits.empty() || digits.size() > 18) return false;
  for (char c : digits)
    if (c < '0' || c > '9') return false;
  return true;
}

std::string XPathLiteral(const std::string& value) {
  if (value.find('\'') == std::string::npos) return "'" + value + "'";
  if (value.find('"') == std::string::npos) return "\"" + value + "\"";
  std::string parts = "concat(";
  size_t start = 0;
  while (true) {
    const size_t quote = value.find('\'', start);
    parts += "'" + value.substr(start, quote - start) + "'";
    if (quote == std::string::npos) break;
    parts += ", \"'\", ";
    start = quote + 1;
  }
  return parts + ")";
}

}  // namespace tarvelon
