#pragma once
// Random record texts for the tests that hold a one-pass text edit against
// the same edits made one after the other: elements of the given names in
// every form (empty, nested, left open, a stray end tag, with attributes),
// and values holding escapes and accented letters.
#include <random>
#include <string>
#include <vector>

namespace tarvelon::testing {

class RecordTextMaker {
 public:
  // `otherAttribute` is the second attribute an element may carry (the first is
  // k="a &lt; b"); `values` are UTF-8; a level holds up to `perLevel` - 1
  // elements.
  RecordTextMaker(unsigned seed, std::vector<std::string> names, std::string otherAttribute,
                  std::vector<std::string> values, int perLevel);

  std::string Elements(int depth);
  bool Pick(double p) { return std::bernoulli_distribution(p)(random_); }
  int Number(int below) { return below <= 0 ? 0 : std::uniform_int_distribution<int>(0, below - 1)(random_); }
  // A stray "<" or ">" somewhere in the text, with probability p.
  void MaybeStray(std::string &text, double p);

 private:
  std::string Value();

  std::mt19937 random_;
  std::vector<std::string> names_, values_;
  std::string otherAttribute_;
  int perLevel_;
};

}  // namespace tarvelon::testing
