#include "support/golden.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "support/temp_folder.h"

namespace tarvelon::testing {

std::string CasePath(const std::string& caseName, const std::string& file) {
  return std::string(TARVELON_SOURCE_DIR) + "/tests/exporters/cases/" + caseName + "/" + file;
}

void ExpectSameAsGolden(const std::string& actual, const std::string& goldenHostPath) {
  const char* update = std::getenv("TARVELON_UPDATE_GOLDEN");
  if (update && std::string(update) == "1") {
    WriteHostFile(goldenHostPath, actual);
    return;
  }
  const std::string expected = ReadHostFile(goldenHostPath);
  if (expected == actual) return;
  std::istringstream a(actual), e(expected);
  std::string lineA, lineE;
  int number = 1;
  while (true) {
    bool moreA = static_cast<bool>(std::getline(a, lineA));
    bool moreE = static_cast<bool>(std::getline(e, lineE));
    if (!moreA && !moreE) break;
    if (lineA != lineE || moreA != moreE) {
      ADD_FAILURE() << goldenHostPath << " differs at line " << number << "\n  expected: " << lineE
                    << "\n  actual:   " << lineA;
      return;
    }
    ++number;
  }
  ADD_FAILURE() << goldenHostPath << " differs (line ends or final bytes)";
}

}  // namespace tarvelon::testing
