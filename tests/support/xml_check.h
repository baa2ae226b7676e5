#pragma once
// Independent readers for the XML the exporters deliver: xmllint for
// well-formedness and XPath look-ups, and the ISO-8859-15 decoding.
#include <string>

namespace tarvelon::testing {

// ISO-8859-15 bytes as UTF-8 (it differs from ISO-8859-1 in eight places, the euro sign among them).
std::string Iso885915ToUtf8(const std::string& bytes);

// xmllint's report on the file; empty when the file is well-formed.
std::string XmlLintReport(const std::string& hostPath);

// What `xmllint --xpath` prints for the expression (a count, a string).
std::string XPathOf(const std::string& hostPath, const std::string& expression);

}  // namespace tarvelon::testing
