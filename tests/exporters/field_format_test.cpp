// One column table, three written forms: unquoted semicolons (the default),
// quoted semicolons and tabs.
#include <gtest/gtest.h>

#include "exporters/frame/csv_columns.h"
#include "exporters/largus/largus_exporter.h"
#include "exporters/neowebcar/neowebcar_exporter.h"
#include "exporters/pvo/pvo_exporter.h"
#include "stock/conversions.h"

namespace tarvelon {
namespace {

IXMLCursor Record(const std::string& children) {
  IXMLCursor document;
  document.LoadXML("<?xml version=\"1.0\"?><document><DataVOS><DataVO>" + children + "</DataVO></DataVOS></document>");
  return document.Select("/document/DataVOS/DataVO");
}

TEST(FieldFormat, OneTableFourForms) {
  const IXMLCursor record = Record("<a>x;\"y\"&#9;z&#13;&#10;w</a><d>31/12/2016</d><m>12,5</m><b>TRUE</b><u>ab-c</u>");
  const std::vector<CsvColumn> columns = {Element("a"), ElementDate("d"), ElementYesNo("b"), ElementUpper("u"),
                                          Blank(2)};
  std::string plain, defaultForm, quoted, dealer, tabs;
  AppendCsvColumns(plain, columns, record, {});
  AppendCsvColumns(defaultForm, columns, record, {}, FieldFormat{});
  AppendCsvColumns(quoted, columns, record, {}, FieldFormat{';', true, true});
  AppendCsvColumns(dealer, columns, record, {}, FieldFormat{';', true});
  AppendCsvColumns(tabs, columns, record, {}, FieldFormat{'\t', false});
  EXPECT_EQ(plain, "x.\"y\"\tz  w;20161231;oui;AB-C;;;");
  EXPECT_EQ(defaultForm, plain);
  EXPECT_EQ(quoted, "\"x; y \tz\r\nw\";\"20161231\";\"oui\";\"AB-C\";\"\";\"\";");
  EXPECT_EQ(dealer, "\"x.y\tz\r\nw\";\"20161231\";\"oui\";\"AB-C\";\"\";\"\";");
  EXPECT_EQ(tabs, "x;\"y\" z  w\t20161231\toui\tAB-C\t\t\t");
}

TEST(FieldFormat, TheTablesHaveTheirFieldCounts) {
  EXPECT_EQ(FieldCount(LArgusLeadingColumns()) + FieldCount(LArgusTrailingColumns()), 52);
  EXPECT_EQ(FieldCount(PvoColumns()), 167);
  EXPECT_EQ(NeoWebCarColumns().size(), 29u);
}

TEST(FieldFormat, OptionCodesKeepThePiecesInCapitals) {
  EXPECT_EQ(UpperCaseOptionCodes("AB1, cd,EF", "|"), "AB1|EF|");
  EXPECT_EQ(UpperCaseOptionCodes("AB1, cd,EF", "||"), "AB1||EF||");
  EXPECT_EQ(UpperCaseOptionCodes("", "|"), "");
  EXPECT_EQ(UpperCaseOptionCodes("X,,  y", "|"), "X||");  // the empty piece counts; one blank only is skipped
}

TEST(FieldFormat, NeoWebCarVersionsNeverBreak) {
  EXPECT_EQ(NeoWebCarVersion("Golf 1.6 TDI", "Golf"), "1.6 TDI");
  EXPECT_EQ(NeoWebCarVersion("Golf", "Golf"), "");
  EXPECT_EQ(NeoWebCarVersion(" 1.6", ""), "1.6");
  EXPECT_EQ(NeoWebCarVersion("", ""), "");
  EXPECT_EQ(NeoWebCarVersion(" " + std::string(150, 'x'), "").size(), 100u);
}

TEST(FieldFormat, LArgusCodesAreSubstringTests) {
  EXPECT_EQ(LArgusEquipmentCodes(";ClimAuto;RadCD;"), "B,M,P");
  EXPECT_EQ(LArgusEquipmentCodes(";RadMP3;"), "M");
  EXPECT_EQ(LArgusSafetyCodes(";esp;abs;"), "3,6");
  EXPECT_EQ(LArgusBodyType("suv"), "SUV");
}

}  // namespace
}  // namespace tarvelon
