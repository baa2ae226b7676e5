#include "exporters/frame/csv_columns.h"

#include <cstring>

#include "exporters/frame/exporter_frame.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "stock/conversions.h"

namespace tarvelon {

int FieldCount(const std::vector<CsvColumn>& columns) {
  int count = 0;
  for (const auto& column : columns) count += column.source == ColumnSource::Blank ? column.count : 1;
  return count;
}

std::string UnquotedCsvValue(const std::string& value) {
  std::string safe = value;
  for (auto& c : safe) {
    if (c == ';') c = '.';
    else if (c == '\r' || c == '\n') c = ' ';
  }
  return safe;
}

std::string QuotedCsvValue(const std::string& value, char separator) {
  std::string safe;
  safe.reserve(value.size());
  for (char c : value) {
    if (c == '"') continue;
    safe += (c == ';' || c == separator) ? '.' : c;
  }
  return safe;
}

void AppendFormattedField(std::string& row, const std::string& value, const FieldFormat& format) {
  // Written straight into the row (room for the value, its quotes and the
  // separator, the unused end cut off): a field costs no text of its own.
  const size_t start = row.size();
  row.resize(start + value.size() + 3);
  char* out = row.data() + start;
  const char separator = format.separator;
  if (format.quoted) *out++ = '"';
  if (format.quoted && format.quotesAsBlanks) {
    for (char c : value) *out++ = c == '"' ? ' ' : c;
  } else if (format.quoted) {
    for (char c : value)
      if (c != '"') *out++ = (c == ';' || c == separator) ? '.' : c;
  } else if (separator == ';') {
    for (char c : value) *out++ = c == ';' ? '.' : (c == '\r' || c == '\n') ? ' ' : c;
  } else {
    for (char c : value) *out++ = (c == separator || c == '\r' || c == '\n') ? ' ' : c;
  }
  if (format.quoted) *out++ = '"';
  *out++ = separator;
  row.resize(static_cast<size_t>(out - row.data()));
}

void AppendCsvColumns(std::string& row, const std::vector<CsvColumn>& columns, const IXMLCursor& record,
                      const ComputedValues& computed) {
  AppendCsvColumns(row, columns, record, computed, FieldFormat{});
}

namespace {

// The labels of the listed codes ("A;B") that the list holds, in the listed order.
std::string LabelsOfPresentCodes(const IXMLCursor& record, const std::string& list, const std::string& codes) {
  std::string present = ";";
  size_t start = 0;
  while (start <= codes.size()) {
    size_t end = codes.find(';', start);
    if (end == std::string::npos) end = codes.size();
    const std::string code = codes.substr(start, end - start);
    if (!code.empty() && HasEquipmentCode(list, code) == "1") present += code + ";";
    start = end + 1;
  }
  return EquipmentLabels(record, present);
}

// HasEquipmentCode (";code;" inside a non-empty list: "1", else "0"; an
// empty list: "") without building the searched text.
const char* FlagOf(const std::string& list, const char* code) {
  if (list.empty()) return "";
  const std::string_view text(list), wanted(code);
  for (size_t at = text.find(wanted, 1); at != std::string_view::npos; at = text.find(wanted, at + 1))
    if (text[at - 1] == ';' && at + wanted.size() < text.size() && text[at + wanted.size()] == ';') return "1";
  return "0";
}

}  // namespace

const std::string& RecordTexts::List(const char* name) {
  for (const auto& [known, text] : lists_)
    if (known == name || std::strcmp(known, name) == 0) return text;
  lists_.emplace_back(name, record_.GetValue(name));
  return lists_.back().second;
}

std::string CsvColumnValue(const CsvColumn& column, const IXMLCursor& record, const ComputedValues& computed) {
  RecordTexts texts(record);
  return CsvColumnValue(column, texts, computed);
}

std::string CsvColumnValue(const CsvColumn& column, RecordTexts& texts, const ComputedValues& computed) {
  const IXMLCursor& record = texts.record();
  switch (column.source) {
    case ColumnSource::Element:
      return texts.Get(column.name);
    case ColumnSource::ElementUnlessZero: {
      std::string value = texts.Get(column.name);
      if (value == "0") value.clear();
      return value;
    }
    case ColumnSource::Fixed:
      return Ansi(column.name);
    case ColumnSource::Computed: {
      auto it = computed.find(column.name);
      if (it == computed.end()) throw Error(std::string("Colonne sans valeur : ") + column.name);
      return it->second;
    }
    case ColumnSource::Flag:
      return FlagOf(texts.List(column.name), column.code);
    case ColumnSource::FlagOrZero: {
      const char* flag = FlagOf(texts.List(column.name), column.code);
      return *flag ? flag : "0";
    }
    case ColumnSource::YesNo:
      return *FlagOf(texts.List(column.name), column.code) == '1' ? "O" : "N";
    case ColumnSource::Labels:
      return LabelsOfPresentCodes(record, texts.List(column.name), column.code);
    case ColumnSource::ElementUpper:
      return AsciiUpper(texts.Get(column.name));
    case ColumnSource::ElementDate:
      return DateFieldText(texts.Get(column.name));
    case ColumnSource::ElementCents:
      return CentsText(texts.Get(column.name));
    case ColumnSource::ElementYesNo:
      return YesNoText(texts.Get(column.name));
    case ColumnSource::Blank:
      break;
  }
  return "";
}

void AppendCsvColumns(std::string& row, const std::vector<CsvColumn>& columns, const IXMLCursor& record,
                      const ComputedValues& computed, const FieldFormat& format) {
  RecordTexts texts(record);
  for (const auto& column : columns) {
    const int count = column.source == ColumnSource::Blank ? column.count : 1;
    const std::string value = CsvColumnValue(column, texts, computed);
    for (int i = 0; i < count; ++i) AppendFormattedField(row, value, format);
  }
}

}  // namespace tarvelon
