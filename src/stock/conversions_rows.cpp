// Appenders of delimited rows: semicolon rows, JSON pairs and the tab rows of
// the PVO feed.
#include "platform/numbers.h"
#include "platform/text.h"
#include "stock/conversions.h"

namespace tarvelon {
namespace {

const char kTab = '\t';

std::string WholeNumber(double value) { return std::to_string(RoundHalfEven(value)); }

}  // namespace

void AppendCsvField(std::string& row, const std::string& value) {
  row += value;
  row += ';';
}

void AppendJsonPair(std::string& object, const std::string& name, bool raw, const std::string& value) {
  if (!object.empty()) object += ", \r\n";
  object += "\"" + name + "\": ";
  object += raw ? value : "\"" + value + "\"";
}

void AppendTabField(std::string& row, const std::string& value) {
  for (char c : value) row += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
  row += kTab;
}

std::string CentsText(const std::string& value) { return WholeNumber(ParseDecimalOrZero(value) * 100); }

std::string VatCentsText(const std::string& amount, const std::string& date) {
  DateTime when;
  int year = ParseShortDate(date, when) ? when.year : Now().year;
  // The tax contained in a tax-inclusive amount: 19.6 % until 2013, 20 % since.
  double rate = year < 2014 ? 19.6 / 119.6 : 20.0 / 120.0;
  return WholeNumber(ParseDecimalOrZero(amount) * rate * 100);
}

std::string DateFieldText(const std::string& value) {
  if (value.empty()) return "";
  DateTime date;
  // A text that is no date reads as day 0, 30/12/1899.
  if (!ParseShortDate(value, date)) date = DateTime{};
  return FormatStamp(date, "yyyymmdd");
}

std::string YesNoText(const std::string& value) { return AnsiUpper(value) == "TRUE" ? "oui" : "non"; }

void AppendCentsField(std::string& row, const std::string& value) { row += CentsText(value) + kTab; }

void AppendVatCentsField(std::string& row, const std::string& amount, const std::string& date) {
  row += VatCentsText(amount, date) + kTab;
}

void AppendDateField(std::string& row, const std::string& value) { row += DateFieldText(value) + kTab; }

void AppendYesNoField(std::string& row, const std::string& value) { row += YesNoText(value) + kTab; }

std::string UpperCaseOptionCodes(const std::string& list, const std::string& mark) {
  std::string codes;
  if (list.empty()) return codes;
  size_t start = 0;
  while (true) {
    const size_t comma = list.find(',', start);
    const std::string piece = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (piece == AnsiUpper(piece)) codes += piece + mark;
    if (comma == std::string::npos) break;
    start = comma + 1;
    if (start < list.size() && list[start] == ' ') ++start;
  }
  return codes;
}

}  // namespace tarvelon
