// The shared field conversions.
#include <gtest/gtest.h>

#include "app/run_state.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "stock/conversions.h"
#include "stock/xml_cursor.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

using testing::ScopedEnv;

DateTime At(int y, int m, int d, int hour = 0, int minute = 0) { return DateTime{y, m, d, hour, minute, 0, 0}; }

TEST(WorkDirRule, WindirWhenSharedTempIsEmpty) {
  ScopedEnv shared("SharedTemp", nullptr);
  ScopedEnv windir("Windir", "C:\\WINDOWS");
  EXPECT_EQ(WorkDir(), "C:\\WINDOWS\\TEMP\\");
  ScopedEnv set("SharedTemp", "D:\\work\\");
  EXPECT_EQ(WorkDir(), "D:\\work\\\\");
}

TEST(BrandNameRule, OnlyTheExactCodesMeanVolkswagen) {
  EXPECT_EQ(BrandName("VW"), "Volkswagen");
  EXPECT_EQ(BrandName("VU"), "Volkswagen");
  EXPECT_EQ(BrandName("VUL"), "Volkswagen");
  EXPECT_EQ(BrandName("vw"), "vw");
  EXPECT_EQ(BrandName("AUDI"), "AUDI");
  EXPECT_EQ(BrandName(""), "");
}

TEST(WeekNumberRule, StatedExamples) {
  EXPECT_EQ(WeekNumber(At(2017, 1, 1)), "01");   // Sunday
  EXPECT_EQ(WeekNumber(At(2017, 1, 2)), "01");   // Monday
  EXPECT_EQ(WeekNumber(At(2017, 1, 8)), "02");   // Sunday
  EXPECT_EQ(WeekNumber(At(2016, 1, 1)), "52");   // Friday: week 0 is the last of 2015
  EXPECT_EQ(WeekNumber(At(2017, 12, 31)), "01"); // Sunday: week 53 is the first of 2018
}

TEST(WeekNumberRule, FromNoonOnTheDayCountsAsTheNext) {
  EXPECT_EQ(WeekNumber(At(2017, 1, 7, 11, 59)), "01");  // Saturday morning
  EXPECT_EQ(WeekNumber(At(2017, 1, 7, 13, 0)), "02");   // Saturday 13:00: the next Sunday's week
  EXPECT_EQ(WeekNumber(At(2017, 1, 14, 12, 0)), "03");  // a half goes to the even day count (14)
  EXPECT_EQ(WeekNumber(At(2017, 1, 7, 12, 0)), "01");   // 5.5 goes to 6
}

TEST(WeekNumberRule, OrdinaryWeeksAndYearEnds) {
  EXPECT_EQ(WeekNumber(At(2017, 2, 14)), "07");
  EXPECT_EQ(WeekNumber(At(2015, 1, 1)), "53");   // count 0: 31/12/2014, a year that began on Wednesday
  EXPECT_EQ(WeekNumber(At(2015, 12, 31)), "52");
  EXPECT_EQ(WeekNumber(At(2020, 12, 31)), "53"); // leap year starting on Wednesday: no move
  EXPECT_EQ(WeekNumber(At(2021, 1, 1)), "53");   // its count 0 moves to 31/12/2020
}

TEST(WeekNumberRule, EndlessCaseGivesWeek53) {
  // 2036 is a leap year starting on a Tuesday; 2037 starts on a Thursday.
  EXPECT_EQ(DayOfWeek(At(2036, 1, 1)), 2);
  EXPECT_EQ(WeekNumber(At(2036, 12, 27, 11, 0)), "52");
  EXPECT_EQ(WeekNumber(At(2036, 12, 27, 13, 0)), "53");
  EXPECT_EQ(WeekNumber(At(2036, 12, 31)), "53");
  EXPECT_EQ(WeekNumber(At(2037, 1, 1)), "53");
  EXPECT_EQ(WeekNumber(At(2037, 1, 3, 11, 0)), "53");
  EXPECT_EQ(WeekNumber(At(2037, 1, 4)), "01");
}

TEST(SiteAbbreviationRule, StatedExamples) {
  EXPECT_EQ(SiteAbbreviation("quivale"), "qe");
  EXPECT_EQ(SiteAbbreviation("pelmar-dorn"), "pd");
  EXPECT_EQ(SiteAbbreviation("sauvrel-ni"), "si");
  EXPECT_EQ(SiteAbbreviation("q"), "");
  EXPECT_EQ(SiteAbbreviation(""), "");
  EXPECT_EQ(SiteAbbreviation("QUIVALE"), "Qe");
  EXPECT_EQ(SiteAbbreviation("A-bcde"), "Ab");
}

class AdReferenceRule : public ::testing::Test {
 protected:
  ScopedEnv now{"TARVELON_NOW", "2017-02-14 10:00:00"};  // week 07
  RunState state;
};

TEST_F(AdReferenceRule, BrandSitesAndWeek) {
  state.exportOption = "AXECIBLES";
  EXPECT_EQ(AdReference(state, "VOLKSWAGEN", "pelmar-dorn", "quivale"), "VOpdqe07");
  EXPECT_EQ(AdReference(state, "VOLKSWAGEN", "pelmar-dorn", "pelmar-dorn"), "VOpd07");
  EXPECT_EQ(AdReference(state, "VOLKSWAGEN", "pelmar-dorn", ""), "VOpd07");
  EXPECT_EQ(AdReference(state, "V", "pelmar-dorn", ""), "Vpd07");
}

TEST_F(AdReferenceRule, TargetsWithoutOrWithAFixedWeek) {
  for (const char* option : {"VIVACAR", "SITAUTOPRO", "BUSINESSAPTITUDE", "BRELO"}) {
    state.exportOption = option;
    EXPECT_EQ(AdReference(state, "VOLKSWAGEN", "pelmar-dorn", "quivale"), "VOpdqe") << option;
  }
  state.exportOption = "LEBONCOIN";
  EXPECT_EQ(AdReference(state, "VOLKSWAGEN", "pelmar-dorn", "quivale"), "VOpdqe11");
  EXPECT_EQ(AdReference(state, "VOLKSWAGEN", "pelmar-dorn", "pelmar-dorn"), "VOpd11");
}

TEST(LeadingNumberRule, CutAtTheFirstBlankOrLowerCaseP) {
  EXPECT_EQ(LeadingNumber("12 mois", 0), 12);
  EXPECT_EQ(LeadingNumber("5p", 0), 5);
  EXPECT_EQ(LeadingNumber("3 portes", 0), 3);
  EXPECT_EQ(LeadingNumber("Portes 5", -1), -1);
  EXPECT_EQ(LeadingNumber("", 0), 0);
  EXPECT_EQ(LeadingNumber("90p", 0), 90);
  EXPECT_EQ(LeadingNumber("24", 0), 24);
  EXPECT_EQ(LeadingNumber("5P", 7), 7);
  EXPECT_EQ(LeadingNumber(" 5", 7), 7);
}

TEST(ReplaceBetweenMarkersRule, CutsEveryStretch) {
  EXPECT_EQ(ReplaceBetweenMarkers("a<x>1</x>b<x>2</x>c", "<x>", "</x>", ""), "abc");
  EXPECT_EQ(ReplaceBetweenMarkers("a<x>1</x>b", "<x>", "</x>", "[r]"), "a[r]b");
  EXPECT_EQ(ReplaceBetweenMarkers("</x>a<x>b", "<x>", "</x>", ""), "</x>a<x>b");  // end only before start
  EXPECT_EQ(ReplaceBetweenMarkers("a<X>1</x>b", "<x>", "</x>", ""), "a<X>1</x>b");  // case matters
  EXPECT_EQ(ReplaceBetweenMarkers("<DataVOS EOF=\"1\" RecordName=\"DataVO\"><DataVO/>",
                                  "<DataVOS EOF=\"", "RecordName=\"DataVO\">", "<CLIENT CODE=\"7\">"),
            "<CLIENT CODE=\"7\"><DataVO/>");
  EXPECT_EQ(ReplaceBetweenMarkers("ab", "", "b", "x"), "ab");
  // A replacement holding both markers is not cut again.
  EXPECT_EQ(ReplaceBetweenMarkers("<a>1</a><a>2</a>", "<a>", "</a>", "<a>x</a>"), "<a>x</a><a>x</a>");
}

TEST(ReplaceBetweenMarkersRule, SearchesAgainWhereACutCanMakeANewStart) {
  // After each cut the text is searched from its beginning: a start that the cut
  // itself brings together is found, as is one that the replacement ends.
  EXPECT_EQ(ReplaceBetweenMarkers("<<x>1</x>x>2</x>.", "<x>", "</x>", ""), ".");
  EXPECT_EQ(ReplaceBetweenMarkers("[a]b]c", "[", "]", "x["), "xx[c");
}

TEST(ReplaceBetweenMarkersRule, AReplacementThatRejoinsIntoNewStretchesEnds) {
  // Searched from the beginning each time, "baab" would join with the text
  // around it into a longer new stretch without end; the search goes on after it.
  EXPECT_EQ(ReplaceBetweenMarkers("aaba", "ab", "a", "baab"), "abaab");
  EXPECT_EQ(ReplaceBetweenMarkers("aaba", "ab", "a", "b"), "ab");
}

TEST(ReplaceBetweenMarkersRule, TenCutsPerRecordOverTenThousandRecords) {
  std::string record;
  for (int k = 0; k < 10; ++k) record += "<e" + std::to_string(k) + ">v</e" + std::to_string(k) + "><keep/>";
  std::string text, expected;
  for (int r = 0; r < 10000; ++r) {
    text += "<DataVO>" + record + "</DataVO>";
    expected += "<DataVO>";
    for (int k = 0; k < 10; ++k) expected += "<keep/>";
    expected += "</DataVO>";
  }
  for (int k = 0; k < 10; ++k)
    text = ReplaceBetweenMarkers(text, "<e" + std::to_string(k) + ">", "</e" + std::to_string(k) + ">", "");
  EXPECT_EQ(text, expected);
}

TEST(VersionWithoutModelRule, RemovesTheModelInAnyCase) {
  EXPECT_EQ(VersionWithoutModel("GOLF 1.6 TDI 105 Confort", "Golf"), "1.6 TDI 105 Confort");
  EXPECT_EQ(VersionWithoutModel(Ansi("SÉRIE 1 118d"), Ansi("Série 1")), "118d");
  EXPECT_EQ(VersionWithoutModel("SERIE 1 118d Sport", Ansi("Série 1")), "118d Sport");
  EXPECT_EQ(VersionWithoutModel("  Polo Polo Match  ", "polo"), "Match");
  EXPECT_EQ(VersionWithoutModel("Clio", "Clio"), "Clio");  // no blank after the model
}

TEST(VersionWithoutModelRule, AnEmptyModelKeepsTheVersionsBlanks) {
  EXPECT_EQ(VersionWithoutModel(" 1.6 TDI 105 Confort ", ""), "1.6 TDI 105 Confort");
}

TEST(EquipmentLabelsRule, CodesBecomeLabels) {
  IXMLCursor doc;
  doc.LoadXML(
      "<document><LiensEquipementsS>"
      "<LiensEquipements><AbbrEquip>CLIM</AbbrEquip><LibelleEquipement>Climatisation</LibelleEquipement></LiensEquipements>"
      "<LiensEquipements><AbbrEquip>RADCD</AbbrEquip><LibelleEquipement>Radio CD</LibelleEquipement></LiensEquipements>"
      "<LiensEquipements><AbbrEquip>gps</AbbrEquip><LibelleEquipement>GPS</LibelleEquipement></LiensEquipements>"
      "</LiensEquipementsS></document>");
  IXMLCursor record = doc.Select("/document");
  EXPECT_EQ(EquipmentLabels(record, ";Clim;RadCD;"), "Climatisation, Radio CD");
  EXPECT_EQ(EquipmentLabels(record, ";Clim;XX;"), "Climatisation, ");
  EXPECT_EQ(EquipmentLabels(record, "Clim;RadCD;"), "Clim, Radio CD");  // without the leading ";"
  EXPECT_EQ(EquipmentLabels(record, ";clim;"), "Climatisation");
  // A code holding a quote is looked up like any other, not read as part of the expression.
  EXPECT_EQ(EquipmentLabels(record, ";Clim;X']|//*[1=1;"), "Climatisation, ");
  EXPECT_EQ(EquipmentLabels(record, ";gps;"), "");  // stored in lower case: never found
  EXPECT_EQ(EquipmentLabels(record, ";Clim;Rad"), "Climatisation, Rad");
  EXPECT_EQ(EquipmentLabels(record, ""), "");
  EXPECT_EQ(EquipmentLabels(record, ";"), "");
}

TEST(UrlPathRule, PathOfWwwAddresses) {
  EXPECT_EQ(UrlPath("http://www.images.fr/aaa/bb/name.jpg"), "aaa/bb/name.jpg");
  EXPECT_EQ(UrlPath("HTTP://WWW.images.fr/aaa/bb/name.jpg"), "aaa/bb/name.jpg");
  EXPECT_EQ(UrlPath("http://images.fr/aaa/bb/name.jpg"), "http://images.fr/aaa/bb/name.jpg");
  EXPECT_EQ(UrlPath("aaa/bb/name"), "aaa/bb/name");
}

}  // namespace
}  // namespace tarvelon
