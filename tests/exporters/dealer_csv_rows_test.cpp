// The small rules of the quoted dealer feeds that the end-to-end cases cannot
// reach one by one: quoting, the guarantee code, photo-name cuts, the warranty
// end date, the quoted column format and the profile table.
#include <gtest/gtest.h>

#include "exporters/annonces_jaunes/annonces_jaunes_exporter.h"
#include "exporters/dealer_csv/dealer_csv_exporter.h"
#include "exporters/dealer_csv/dealer_csv_profile.h"
#include "stock/conversions.h"

namespace tarvelon {
namespace {

TEST(QuotedFormat, QuotesAreDroppedSemicolonsBecomePointsLineBreaksStay) {
  std::string row;
  AppendFormattedField(row, "a \"b\"; c\r\nd", FieldFormat{';', true});
  EXPECT_EQ(row, "\"a b. c\r\nd\";");
  // The unquoted default keeps the semicolon file's own rule.
  row.clear();
  AppendFormattedField(row, "a;b\r\nc", FieldFormat{});
  EXPECT_EQ(row, "a.b  c;");
}

TEST(QuotedFormat, TheTableWalkWritesQuotedFieldsAndBlanks) {
  IXMLCursor doc;
  doc.LoadXML("<document><DataVOS><DataVO><A>x;y</A><L>;Clim;</L></DataVO></DataVOS>"
              "<LiensEquipementsS><LiensEquipements><AbbrEquip>CLIM</AbbrEquip>"
              "<LibelleEquipement>Climatisation</LibelleEquipement></LiensEquipements></LiensEquipementsS></document>");
  IXMLCursor record = doc.Select("/document/DataVOS/DataVO");
  const std::vector<CsvColumn> columns = {Element("A"),         Blank(2),          FlagOrZero("M", "Clim"),
                                          YesNo("L", "Clim"),   Labels("L", "GPS;Clim"), Computed("c")};
  std::string quoted, plain;
  AppendCsvColumns(quoted, columns, record, {{"c", "\"v\""}}, FieldFormat{';', true});
  EXPECT_EQ(quoted, "\"x.y\";\"\";\"\";\"0\";\"O\";\"Climatisation\";\"v\";");
  AppendCsvColumns(plain, columns, record, {{"c", "v"}});
  EXPECT_EQ(plain, "x.y;;;0;O;Climatisation;v;");
}

TEST(QuotedCsvText, HeaderWithTheFirstVehicleAndNoSemicolonBeforeLineEnds) {
  QuotedCsvText text;
  EXPECT_EQ(text.Text(), "\r\n");
  text.StartVehicle(true);
  text.AddQuotedField("1", "A");
  text.AddQuotedField("x\r\ny", "B");
  text.EndVehicle();
  text.StartVehicle(false);
  text.AddQuotedField("2", "A");
  text.AddQuotedField("", "B");
  text.EndVehicle();
  EXPECT_EQ(text.Text(), "\"A\";\"B\"\r\n\"1\";\"x\r\ny\"\r\n\"2\";\"\"\r\n");
}

TEST(AdjustedInformationList, TheGuaranteeCodeLeavesNoEmptyPlace) {
  EXPECT_EQ(AdjustedInformationList(";VNF;", "12 mois"), ";VNF;Gar;");
  EXPECT_EQ(AdjustedInformationList(";VNF", "12 mois"), ";VNF;Gar;");
  EXPECT_EQ(AdjustedInformationList("", "12 mois"), ";Gar;");
  EXPECT_EQ(AdjustedInformationList(";VNF;", ""), ";VNF;");
  EXPECT_EQ(AdjustedInformationList(";GarCons;", "12 mois"), ";GarCons;");
  EXPECT_EQ(AdjustedInformationList(";Gar;GarCons;", ""), ";GarCons;");
}

TEST(PhotoNameParts, ShortNamesAreCutSafely) {
  EXPECT_EQ(PhotoFolderPart("pel/vo/201-1.jpg"), "pel/vo/");
  EXPECT_EQ(PhotoNamePart("pel/vo/201-1.jpg"), "201-1.jpg");
  EXPECT_EQ(PhotoFolderPart("ab"), "ab");
  EXPECT_EQ(PhotoNamePart("ab"), "");
  EXPECT_EQ(PhotoNamePart("1234567"), "");
  EXPECT_EQ(PhotoNamePart("aaa/bb/" + std::string(1200, 'n')).size(), 1000u);
}

TEST(WarrantyEndDate, MonthsCarryIntoTheYearAndTheDayStopsAt28) {
  EXPECT_EQ(WarrantyEndDate(DateTime{2017, 10, 31}, 14), "28/12/2018");
  EXPECT_EQ(WarrantyEndDate(DateTime{2017, 1, 15}, 12), "15/01/2018");
  EXPECT_EQ(WarrantyEndDate(DateTime{2017, 12, 5}, 1), "05/01/2018");
  EXPECT_EQ(WarrantyEndDate(DateTime{2017, 10, 31}, 0), "");
  EXPECT_EQ(WarrantyEndDate(DateTime{2017, 10, 31}, -5), "");
  EXPECT_EQ(WarrantyEndDate(DateTime{2017, 10, 31}, 2147483647), "");
  EXPECT_EQ(WarrantyEndDate(DateTime{2017, 10, 31}, 1200), "28/10/2117");
}

TEST(AirbagCount, LateralAirbagsCountTwo) {
  EXPECT_EQ(AirbagCount(";AirbagCond;AirbagPass;AirbagLat;"), 4);
  EXPECT_EQ(AirbagCount(""), 0);
}

TEST(DealerCsvProfiles, ColumnCountsPerKey) {
  EXPECT_EQ(DealerCsvColumnCount(DealerCsvProfileOf("AXECIBLES")), 59u);
  EXPECT_EQ(DealerCsvColumnCount(DealerCsvProfileOf("FVA")), 59u);
  EXPECT_EQ(DealerCsvColumnCount(DealerCsvProfileOf("BUSINESSAPTITUDE")), 56u);
  EXPECT_EQ(DealerCsvColumnCount(DealerCsvProfileOf("BRELO")), 58u);
  EXPECT_EQ(AnnoncesJaunesColumns().size(), 115u);
}

TEST(DealerCsvSummary, BreloLeavesOutItsZeroCounts) {
  DealerCsvCounts counts;
  counts.reserved = 2;
  counts.demo = 1;
  EXPECT_EQ(DealerCsvSummary(counts, true), " - 2 R\xe9serv\xe9s - 0 Vendus - 0 VO - 1 VD");
  EXPECT_EQ(DealerCsvSummary(counts, false),
            " - 0 Remis\xe9s - 0 Affaires - 2 R\xe9serv\xe9s - 0 Vendus - 0 VO - 1 VD - 0 VDZ");
}

TEST(EquipmentLabels, ACodeWithAnApostropheIsLookedUp) {
  IXMLCursor doc;
  doc.LoadXML("<document><LiensEquipementsS><LiensEquipements><AbbrEquip>X'Y</AbbrEquip>"
              "<LibelleEquipement>Quoted</LibelleEquipement></LiensEquipements></LiensEquipementsS></document>");
  EXPECT_EQ(EquipmentLabels(doc, ";x'y;Z\"'Q;"), "Quoted, ");
}

}  // namespace
}  // namespace tarvelon
