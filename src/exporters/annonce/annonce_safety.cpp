#include "exporters/annonce/annonce_safety.h"

#include "platform/text.h"

namespace tarvelon {

std::string XmlAttributeText(const std::string& value) {
  std::string out;
  for (char c : value) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace tarvelon
