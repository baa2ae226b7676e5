#include "stock/conversions.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "app/run_state.h"
#include "platform/numbers.h"
#include "platform/text.h"
#include "stock/extract.h"
#include "stock/xml_cursor.h"
#include "stock/xpath_values.h"

namespace tarvelon {
namespace {

std::string TwoDigits(int n) { return n < 10 ? "0" + std::to_string(n) : std::to_string(n); }

// Weeks counted from Sunday. A count of 0 or 53 moves to the neighbouring
// year. In a leap year that begins on a Tuesday, its last days and the first
// days of the next year send each other back and forth without end (27 December
// 2036 from noon to 3 January 2037 before noon): such a second move is not
// made, and these days form week "53".
std::string WeekNumberAt(const DateTime& t, bool moved) {
  const DateTime january{t.year, 1, 1};
  const int weekday = DayOfWeek(january);
  const long long days = RoundHalfEven(ToDayCount(t) - ToDayCount(january));
  long long n = (days + weekday) / 7 + (weekday <= 3 ? 1 : 0);
  if (weekday != 3 && (n == 0 || n == 53)) {
    if (moved) return "53";
    if (n == 0) return WeekNumberAt(DateTime{t.year - 1, 12, 31}, true);
    return WeekNumberAt(DateTime{t.year + 1, 1, 1}, true);
  }
  return TwoDigits(static_cast<int>(n));
}

}  // namespace

std::string BrandName(const std::string& brand) {
  if (brand == "VW" || brand == "VU" || brand == "VUL") return "Volkswagen";
  return brand;
}

std::string WeekNumber(const DateTime& t) { return WeekNumberAt(t, false); }

std::string SiteAbbreviation(const std::string& site) {
  const size_t length = site.size();
  std::string result;
  if (length >= 2) result = std::string(1, site[0]) + AnsiLower(site.substr(length - 1));
  const size_t hyphen = site.find('-');
  // 1-based position P of the hyphen, taken when P < L - 3.
  if (hyphen != std::string::npos && hyphen + 1 + 3 < length) result = std::string(1, site[0]) + site[hyphen + 1];
  return result;
}

std::string AdReference(const RunState& state, const std::string& brandPart, const std::string& site,
                        std::string expo) {
  std::string week = WeekNumber(Now());
  const std::string& option = state.exportOption;
  if (option == "VIVACAR" || option == "SITAUTOPRO" || option == "BUSINESSAPTITUDE" || option == "BRELO")
    week.clear();
  else if (option == "LEBONCOIN")
    week = "11";
  if (expo == site) expo.clear();
  if (!expo.empty()) week = SiteAbbreviation(expo) + week;
  return brandPart.substr(0, 2) + SiteAbbreviation(site) + week;
}

int LeadingNumber(const std::string& text, int def) {
  const size_t blank = text.find(' ');
  const size_t p = text.find('p');
  const size_t cut = std::min(blank, p);  // npos when both are absent
  return ToIntDef(text.substr(0, cut), def);
}

namespace {

// The text being cut is `done` (already edited) followed by `text` from
// `rest` on. A marker may begin in `done` only at or after `from`, which
// stays near its end, so every search reads each character about once.
size_t FindJoined(const std::string& done, const std::string& text, size_t rest, const std::string& marker,
                  size_t from) {
  const size_t split = done.size();
  if (from < split) {
    if (const size_t at = done.find(marker, from); at != std::string::npos) return at;
    // A marker that begins in `done` and ends in the rest of the text.
    const size_t first = std::max(from, split >= marker.size() ? split - marker.size() + 1 : 0);
    for (size_t i = first; i < split; ++i) {
      const size_t head = split - i;
      if (done.compare(i, head, marker, 0, head) == 0 &&
          text.compare(rest, marker.size() - head, marker, head, marker.size() - head) == 0)
        return i;
    }
    from = split;
  }
  const size_t at = text.find(marker, rest + (from - split));
  return at == std::string::npos ? at : split + (at - rest);
}

}  // namespace

std::string ReplaceBetweenMarkers(std::string text, const std::string& start, const std::string& end,
                                  const std::string& replacement) {
  if (start.empty() || end.empty()) return text;
  // A replacement that holds the markers itself would be cut again forever.
  const size_t inner = replacement.find(start);
  const bool selfMatching = inner != std::string::npos && replacement.find(end, inner + start.size()) != std::string::npos;
  // Each pass searches the current text from its beginning; everything before
  // the last cut but the marker's length was searched already and cannot hold
  // a start, so the search goes on from there instead of from the beginning.
  // A replacement no shorter than the stretch it replaces can join with the
  // text around it into a new stretch, again and again without end (the text
  // growing each time): after such a cut the search goes on after the
  // replacement, and never again before it. What stays right of that point
  // shrinks with every cut, so the loop ends.
  std::string done;
  size_t rest = 0;
  size_t from = 0;
  size_t settled = 0;
  while (true) {
    const size_t first = FindJoined(done, text, rest, start, from);
    if (first == std::string::npos) break;
    size_t last = FindJoined(done, text, rest, end, first + start.size());
    if (last == std::string::npos) break;
    last += end.size();
    // One block for the result, not one doubled as it grows: texts are tens of MB.
    if (done.capacity() < text.size()) done.reserve(text.size());
    if (selfMatching || replacement.size() >= last - first) settled = first + replacement.size();
    const size_t split = done.size();
    if (last <= split) {
      done.replace(first, last - first, replacement);
    } else {
      if (first >= split)
        done.append(text, rest, first - split);
      else
        done.resize(first);
      rest += last - split;
      done += replacement;
    }
    from = std::max(settled, first >= start.size() - 1 ? first - (start.size() - 1) : 0);
  }
  done.append(text, rest, std::string::npos);
  return done;
}

std::string VersionWithoutModel(const std::string& version, const std::string& model) {
  // Without a model there is nothing to take out (removing "" + " " would
  // glue every word of the version together).
  if (model.empty()) return Trim(version);
  std::string result = ReplaceAll(version, model + " ", "", true);
  std::string plain = ReplaceAll(ReplaceAll(model, Ansi("é"), "e"), Ansi("É"), "e");
  result = ReplaceAll(result, plain + " ", "", true);
  return Trim(result);
}

namespace {

// The label of one upper-cased code: LibelleEquipement of the first entry
// of the table whose AbbrEquip is that code, "" when there is none.
std::string LabelOf(const IXMLCursor& cursor, const std::string& code) {
  static const std::string kCode = "AbbrEquip", kLabel = "LibelleEquipement";
  static const std::string kTable = kEquipmentLabels;
  return cursor.ValueWhereChildIs(kTable, kCode, code, kLabel);
}

}  // namespace

// Each code that a ";" ends is replaced, wherever it stands between two ";"
// (case ignored), by its label, one code after the other over the whole text;
// a match takes both its ";" with it, so of two neighbours one pass replaces
// only the first. When no label holds a ";" or equals another code, that
// comes to one walk over the fields between two ";": each takes the label of
// its code, except in a run of one code whose label is that code again, where
// every pass matches the same fields (the first, third, ...) and the others
// stay. Otherwise the replacements are made one after the other.
std::string EquipmentLabels(const IXMLCursor& cursor, const std::string& codes) {
  if (codes.empty()) return "";
  std::vector<std::string_view> fields;
  fields.reserve(static_cast<size_t>(std::count(codes.begin(), codes.end(), ';')) + 1);
  for (size_t start = 0;;) {
    const size_t end = codes.find(';', start);
    fields.emplace_back(codes.data() + start, (end == std::string::npos ? codes.size() : end) - start);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  const size_t last = fields.size() - 1;  // the text after the last ";" is no code
  struct Label {
    std::string code;  // upper-cased
    std::string text;
    bool sameAsCode = false;
  };
  std::vector<Label> labels;  // a list holds a few codes: a look along them is the quickest
  labels.reserve(last);
  std::vector<int> labelOf(fields.size(), -1);
  for (size_t i = 0; i < last; ++i) {
    if (fields[i].empty()) continue;
    std::string code = AnsiUpper(fields[i]);
    size_t known = 0;
    while (known < labels.size() && labels[known].code != code) ++known;
    if (known == labels.size()) {
      std::string text = LabelOf(cursor, code);
      labels.push_back({std::move(code), std::move(text)});
    }
    labelOf[i] = static_cast<int>(known);
  }
  // Upper-casing keeps the length and codes are upper-cased already: a label
  // can only equal a code of its own length, compared ignoring case.
  bool oneWalk = true;
  for (Label& label : labels) {
    label.sameAsCode = SameTextIgnoringCase(label.text, label.code);
    bool otherCode = false;
    for (const Label& other : labels)
      otherCode = otherCode || (&other != &label && SameTextIgnoringCase(label.text, other.code));
    if (label.text.find(';') != std::string::npos || otherCode) oneWalk = false;
  }

  std::string result;
  if (oneWalk) {
    // The first field stands after no ";" and the last before none: both stay.
    result.reserve(codes.size());
    result.append(fields[0]);
    size_t runPlace = 0;
    for (size_t i = 1; i <= last; ++i) {
      const Label* label = i < last && labelOf[i] >= 0 ? &labels[static_cast<size_t>(labelOf[i])] : nullptr;
      runPlace = label && i > 1 && labelOf[i - 1] == labelOf[i] ? runPlace + 1 : 0;
      result += ';';
      if (label && (!label->sameAsCode || runPlace % 2 == 0)) result += label->text;
      else result += fields[i];
    }
  } else {
    result = codes;
    for (size_t i = 0; i < last; ++i)
      if (labelOf[i] >= 0) {
        const std::string token(fields[i]);
        result = ReplaceAll(result, ";" + token + ";", ";" + labels[static_cast<size_t>(labelOf[i])].text + ";", true);
      }
  }
  if (!result.empty() && result.front() == ';') result.erase(0, 1);
  if (!result.empty() && result.back() == ';') result.pop_back();
  return ReplaceAll(result, ";", ", ");
}

std::string UrlPath(const std::string& address) {
  if (AnsiUpper(address.substr(0, 10)) != "HTTP://WWW") return address;
  const size_t slash = address.find('/', 7);  // the first "/" after the host
  return slash == std::string::npos ? std::string() : address.substr(slash + 1);
}

}  // namespace tarvelon
