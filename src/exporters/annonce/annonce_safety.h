#pragma once
// Values of the stock extract and of the settings that reach an XPath
// expression, a file name or the XML text: checked or quoted first, so that
// a stray value can neither widen a selection nor lead a file elsewhere.
#include <string>

namespace tarvelon {

// A record number as the extract writes it (digits, blanks around allowed);
// `digits` receives the number without the blanks.
bool IsRecordNumber(const std::string& value, std::string& digits);

// The value as an XPath string literal: in single quotes, in double quotes
// when it holds a single quote, else a concat() of both.
std::string XPathLiteral(const std::string& value);

// A bare file name: not empty, no folder separator, no drive, not "." or "..".
bool IsPlainFileName(const std::string& name);

// The value as XML attribute text (&, <, > and the double quote escaped).
std::string XmlAttributeText(const std::string& value);

}  // namespace tarvelon
