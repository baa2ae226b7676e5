#include "support/record_texts.h"

#include <utility>

#include "platform/text.h"

namespace tarvelon::testing {

RecordTextMaker::RecordTextMaker(unsigned seed, std::vector<std::string> names, std::string otherAttribute,
                                 std::vector<std::string> values, int perLevel)
    : random_(seed),
      names_(std::move(names)),
      values_(std::move(values)),
      otherAttribute_(std::move(otherAttribute)),
      perLevel_(perLevel) {}

std::string RecordTextMaker::Elements(int depth) {
  std::string out;
  for (int i = Number(perLevel_); i > 0; --i) {
    const std::string &name = names_[static_cast<size_t>(Number(static_cast<int>(names_.size())))];
    const std::string attributes = !Pick(0.2) ? "" : Pick(0.5) ? " k=\"a &lt; b\"" : " " + otherAttribute_;
    const int form = Number(10);
    if (form == 0)
      out += "<" + name + attributes + "/>";
    else if (form == 1 && depth > 0)
      out += "<" + name + attributes + ">" + Elements(depth - 1) + "</" + name + ">";
    else if (form == 2)
      out += "<" + name + ">";  // left open: its end may come in a later record
    else if (form == 3)
      out += "</" + name + ">";
    else
      out += "<" + name + attributes + ">" + Value() + "</" + name + ">";
  }
  return out;
}

std::string RecordTextMaker::Value() {
  return Ansi(values_[static_cast<size_t>(Number(static_cast<int>(values_.size())))]);
}

void RecordTextMaker::MaybeStray(std::string &text, double p) {
  if (Pick(p)) text.insert(static_cast<size_t>(Number(static_cast<int>(text.size()))), Pick(0.5) ? "<" : ">");
}

}  // namespace tarvelon::testing
