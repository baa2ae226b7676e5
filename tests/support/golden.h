#pragma once
// Golden files: expected outputs kept beside the test cases. With
// TARVELON_UPDATE_GOLDEN=1 a test writes what it got instead, for review.
#include <string>

namespace tarvelon::testing {

std::string CasePath(const std::string& caseName, const std::string& file);
// Compares byte for byte; on difference reports the first differing line.
void ExpectSameAsGolden(const std::string& actual, const std::string& goldenHostPath);

}  // namespace tarvelon::testing
