#pragma once
// Column layouts of the delimited feeds as tables: each column names where its
// value comes from; one writer walks the table for every vehicle.
#include <list>
#include <map>
#include <string>
#include <vector>

#include "stock/xml_cursor.h"

namespace tarvelon {

enum class ColumnSource {
  Element,           // the record's child `name`
  ElementUnlessZero, // the same, empty when it is exactly "0"
  Fixed,             // the text `name` itself (UTF-8 literal)
  Computed,          // the exporter's value named `name`
  Flag,              // HasEquipmentCode(record's list `name`, `code`)
  Blank,             // `count` empty fields
  ElementUpper,      // the record's child `name`, letters a to z in capitals
  ElementDate,       // the child read as "dd/mm/yyyy", written "yyyymmdd" (see DateFieldText)
  ElementCents,      // the child read as a decimal amount, in whole cents
  ElementYesNo,      // "oui" when the child is "TRUE" in any case, else "non"
  FlagOrZero,        // like Flag, "0" for an empty list
  YesNo,             // like Flag, "O" for "1", else "N"
  Labels,            // labels of the codes `code` ("A;B") present in the list `name`
};

struct CsvColumn {
  ColumnSource source;
  const char* name = "";
  const char* code = "";
  int count = 1;
};

inline CsvColumn Element(const char* name) { return {ColumnSource::Element, name}; }
inline CsvColumn ElementUnlessZero(const char* name) { return {ColumnSource::ElementUnlessZero, name}; }
inline CsvColumn Fixed(const char* utf8) { return {ColumnSource::Fixed, utf8}; }
inline CsvColumn Computed(const char* key) { return {ColumnSource::Computed, key}; }
inline CsvColumn Flag(const char* list, const char* code) { return {ColumnSource::Flag, list, code}; }
inline CsvColumn Blank(int count = 1) { return {ColumnSource::Blank, "", "", count}; }
inline CsvColumn ElementUpper(const char* name) { return {ColumnSource::ElementUpper, name}; }
inline CsvColumn ElementDate(const char* name) { return {ColumnSource::ElementDate, name}; }
inline CsvColumn ElementCents(const char* name) { return {ColumnSource::ElementCents, name}; }
inline CsvColumn ElementYesNo(const char* name) { return {ColumnSource::ElementYesNo, name}; }
inline CsvColumn FlagOrZero(const char* list, const char* code) { return {ColumnSource::FlagOrZero, list, code}; }
inline CsvColumn YesNo(const char* list, const char* code) { return {ColumnSource::YesNo, list, code}; }
inline CsvColumn Labels(const char* list, const char* codes) { return {ColumnSource::Labels, list, codes}; }

// Looked up by the table's own names, without a text made per look-up.
using ComputedValues = std::map<std::string, std::string, std::less<>>;

// Number of fields the table writes.
int FieldCount(const std::vector<CsvColumn>& columns);

// Appends every column's value followed by ";". A value's own ";" becomes "."
// and its line breaks blanks, so that no value can shift the partner's columns.
void AppendCsvColumns(std::string& row, const std::vector<CsvColumn>& columns, const IXMLCursor& record,
                      const ComputedValues& computed);

// The field text made safe for an unquoted semicolon file.
std::string UnquotedCsvValue(const std::string& value);

// How the fields of a delimited row are written. Every field is followed by
// the separator. Unquoted: a value's own separator and line breaks cannot
// shift the columns (";" becomes ".", a TAB, CR or LF a blank). Quoted: the
// value stands between double quotes and keeps its line breaks; its own double
// quotes are removed and its ";" made "." (the dealer feeds), or, with
// quotesAsBlanks, its double quotes become blanks and nothing else changes.
struct FieldFormat {
  char separator = ';';
  bool quoted = false;
  bool quotesAsBlanks = false;
};

// The same walk of the table in the given format; the default format gives
// exactly the output of the overload above.
void AppendCsvColumns(std::string& row, const std::vector<CsvColumn>& columns, const IXMLCursor& record,
                      const ComputedValues& computed, const FieldFormat& format);

// The equipment lists of the current record, each read from the document
// once for the row: a table names the same list in many flag columns. Other
// children are read as their column comes. Valid while the cursor stays on
// that record.
class RecordTexts {
 public:
  explicit RecordTexts(const IXMLCursor& record) : record_(record) {}
  std::string Get(const char* name) const { return record_.GetValue(name); }
  const std::string& List(const char* name);
  const IXMLCursor& record() const { return record_; }

 private:
  const IXMLCursor& record_;
  std::list<std::pair<const char*, std::string>> lists_;  // a row names a handful; references stay valid
};

// One column's value for the current record (a Blank column gives "").
std::string CsvColumnValue(const CsvColumn& column, const IXMLCursor& record, const ComputedValues& computed);
std::string CsvColumnValue(const CsvColumn& column, RecordTexts& texts, const ComputedValues& computed);
// Appends one field in the format: the cleaned value, then the separator.
void AppendFormattedField(std::string& row, const std::string& value, const FieldFormat& format);
// The field text made safe for a quoted dealer field (without its quotes).
std::string QuotedCsvValue(const std::string& value, char separator = ';');

}  // namespace tarvelon
