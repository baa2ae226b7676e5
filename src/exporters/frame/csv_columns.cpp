#include "exporters/frame/csv_columns.h"

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

void AppendFormattedField(std::string& row, const std::string& value, const FieldFormat& format) {
  if (format.quoted) {
    row += '"';
    for (char c : value) row += c == '"' ? ' ' : c;
    row += '"';
  } else if (format.separator == ';') {
    row += UnquotedCsvValue(value);
  } else {
    for (char c : value) row += (c == format.separator || c == '\r' || c == '\n') ? ' ' : c;
  }
  row += format.separator;
}

void AppendCsvColumns(std::string& row, const std::vector<CsvColumn>& columns, const IXMLCursor& record,
                      const ComputedValues& computed) {
  AppendCsvColumns(row, columns, record, computed, FieldFormat{});
}

void AppendCsvColumns(std::string& row, const std::vector<CsvColumn>& columns, const IXMLCursor& record,
                      const ComputedValues& computed, const FieldFormat& format) {
  for (const auto& column : columns) {
    std::string value;
    switch (column.source) {
      case ColumnSource::Element:
        value = record.GetValue(column.name);
        break;
      case ColumnSource::ElementUnlessZero:
        value = record.GetValue(column.name);
        if (value == "0") value.clear();
        break;
      case ColumnSource::Fixed:
        value = Ansi(column.name);
        break;
      case ColumnSource::Computed: {
        auto it = computed.find(column.name);
        if (it == computed.end()) throw Error(std::string("Colonne sans valeur : ") + column.name);
        value = it->second;
        break;
      }
      case ColumnSource::Flag:
        value = HasEquipmentCode(record.GetValue(column.name), column.code);
        break;
      case ColumnSource::ElementUpper:
        value = AsciiUpper(record.GetValue(column.name));
        break;
      case ColumnSource::ElementDate:
        value = DateFieldText(record.GetValue(column.name));
        break;
      case ColumnSource::ElementCents:
        value = CentsText(record.GetValue(column.name));
        break;
      case ColumnSource::ElementYesNo:
        value = YesNoText(record.GetValue(column.name));
        break;
      case ColumnSource::Blank:
        for (int i = 0; i < column.count; ++i) AppendFormattedField(row, "", format);
        continue;
    }
    AppendFormattedField(row, value, format);
  }
}

}  // namespace tarvelon
