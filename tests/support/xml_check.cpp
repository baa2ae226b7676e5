#include "support/xml_check.h"

#include "support/temp_folder.h"

namespace tarvelon::testing {

std::string Iso885915ToUtf8(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    char32_t cp = c;
    switch (c) {
      case 0xA4: cp = 0x20AC; break;
      case 0xA6: cp = 0x0160; break;
      case 0xA8: cp = 0x0161; break;
      case 0xB4: cp = 0x017D; break;
      case 0xB8: cp = 0x017E; break;
      case 0xBC: cp = 0x0152; break;
      case 0xBD: cp = 0x0153; break;
      case 0xBE: cp = 0x0178; break;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::string XmlLintReport(const std::string& hostPath) {
  std::string report;
  if (RunCommand("xmllint --noout '" + hostPath + "' 2>&1", &report) != 0 && report.empty()) report = "xmllint failed";
  return report;
}

std::string XPathOf(const std::string& hostPath, const std::string& expression) {
  std::string out;
  RunCommand("xmllint --xpath \"" + expression + "\" '" + hostPath + "' 2>&1", &out);
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

}  // namespace tarvelon::testing
