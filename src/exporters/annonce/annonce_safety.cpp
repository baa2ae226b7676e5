#include "exporters/annonce/annonce_safety.h"

#include "platform/text.h"

namespace tarvelon {

std::string XmlAttributeText(const std::string& value) { return EscapeMarkup(value); }

}  // namespace tarvelon
