#pragma once
// Values of the stock extract that go into an XPath expression: checked or
// quoted first, so that a stray value can never widen a selection.
#include <string>

namespace tarvelon {

// A record number as the extract writes it (digits, blanks around allowed);
// `digits` receives the number without the blanks.
bool IsRecordNumber(const std::string& value, std::string& digits);

// The value as an XPath string literal: in single quotes, in double quotes
// when it holds a single quote, else a concat() of both.
std::string XPathLiteral(const std::string& value);

}  // namespace tarvelon
