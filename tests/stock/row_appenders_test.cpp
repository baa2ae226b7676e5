// The appenders of delimited rows.
#include <gtest/gtest.h>

#include "platform/numbers.h"
#include "platform/text.h"
#include "stock/conversions.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

class Separator {
 public:
  explicit Separator(char c) : saved_(DecimalSeparator()) { SetDecimalSeparator(c); }
  ~Separator() { SetDecimalSeparator(saved_); }

 private:
  char saved_;
};

TEST(RowAppenders, CsvAndJson) {
  std::string row;
  AppendCsvField(row, "a");
  AppendCsvField(row, "");
  AppendCsvField(row, Ansi("é;x"));
  EXPECT_EQ(row, Ansi("a;;é;x;"));

  std::string object;
  AppendJsonPair(object, "marque", false, "Peugeot");
  AppendJsonPair(object, "prix", true, "12500");
  AppendJsonPair(object, "texte", false, "dit \"oui\"");
  EXPECT_EQ(object, "\"marque\": \"Peugeot\", \r\n\"prix\": 12500, \r\n\"texte\": \"dit \"oui\"\"");
}

TEST(RowAppenders, TabFieldBlanksLineBreaksAndTabs) {
  std::string row;
  AppendTabField(row, "a\tb\r\nc");
  AppendTabField(row, "");
  EXPECT_EQ(row, "a b  c\t\t");
}

TEST(RowAppenders, CentsUnderBothSeparators) {
  Separator comma(',');
  std::string row;
  AppendCentsField(row, "12500,50");
  AppendCentsField(row, "12500.50");  // not a number under a comma
  AppendCentsField(row, "");
  AppendCentsField(row, "0,125");     // 12.5 goes to the even 12
  AppendCentsField(row, "-3,2");
  EXPECT_EQ(row, "1250050\t0\t0\t12\t-320\t");
  Separator point('.');
  row.clear();
  AppendCentsField(row, "12500.50");
  EXPECT_EQ(row, "1250050\t");
}

TEST(RowAppenders, VatCentsFollowTheRateOfTheYear) {
  Separator comma(',');
  std::string row;
  AppendVatCentsField(row, "1196", "01/06/2013");
  AppendVatCentsField(row, "1200", "01/06/2014");
  AppendVatCentsField(row, "abc", "01/06/2014");
  EXPECT_EQ(row, "19600\t20000\t0\t");
  testing::ScopedEnv now("TARVELON_NOW", "2012-05-01 10:00:00");
  row.clear();
  AppendVatCentsField(row, "1196", "pas une date");  // the current year decides
  EXPECT_EQ(row, "19600\t");
}

TEST(RowAppenders, DatesAndFlags) {
  std::string row;
  AppendDateField(row, "05/03/2017");
  AppendDateField(row, "31/02/2017");
  AppendDateField(row, "");
  AppendDateField(row, "2017-03-05");
  EXPECT_EQ(row, "20170305\t18991230\t\t18991230\t");
  row.clear();
  AppendYesNoField(row, "TRUE");
  AppendYesNoField(row, "true");
  AppendYesNoField(row, "1");
  AppendYesNoField(row, "");
  EXPECT_EQ(row, "oui\toui\tnon\tnon\t");
}

}  // namespace
}  // namespace tarvelon
