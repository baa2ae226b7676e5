#pragma once
// Values of the stock extract and of the settings that reach an XPath
// expression, a file name or the XML text: checked or quoted first, so that
// a stray value can neither widen a selection nor lead a file elsewhere.
#include <string>

#include "platform/paths.h"
#include "stock/xpath_values.h"

namespace tarvelon {

// The value as XML attribute text (&, <, > and the double quote escaped).
std::string XmlAttributeText(const std::string& value);

}  // namespace tarvelon
