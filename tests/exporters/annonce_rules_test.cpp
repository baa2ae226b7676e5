// The small rules of the annonce feeds: category codes, door counts, the
// 50-character title, equipment answers and the public comment.
#include <gtest/gtest.h>

#include "exporters/annonce/annonce_rules.h"
#include "platform/numbers.h"
#include "platform/text.h"

namespace tarvelon {
namespace {

TEST(CategoryCode, MatchesTheBodyTypesWhateverTheirAccentsAndCase) {
  EXPECT_EQ(CategoryCode("Berline"), "11100");
  EXPECT_EQ(CategoryCode("citadine"), "11100");
  EXPECT_EQ(CategoryCode(Ansi("Société")), "11200");
  EXPECT_EQ(CategoryCode("BREAK"), "11200");
  EXPECT_EQ(CategoryCode("Monospace"), "11300");
  EXPECT_EQ(CategoryCode("4x4"), "11400");
  EXPECT_EQ(CategoryCode("Pick up"), "11400");
  EXPECT_EQ(CategoryCode(Ansi("COUPÉ")), "11500");
  EXPECT_EQ(CategoryCode(Ansi("Coupè")), "11500");
  EXPECT_EQ(CategoryCode("Fourgon"), "12000");
  // Anything else, the empty text and near misses included, is a saloon.
  EXPECT_EQ(CategoryCode(""), "11100");
  EXPECT_EQ(CategoryCode("Pick-up"), "11100");
  EXPECT_EQ(CategoryCode("SUV "), "11100");
}

TEST(DoorCountText, KeepsTheNumberAlone) {
  EXPECT_EQ(DoorCountText("5 portes avec hayon"), "5");
  EXPECT_EQ(DoorCountText("3p"), "3");
  EXPECT_EQ(DoorCountText("5 Portes"), "5");
  EXPECT_EQ(DoorCountText("4 PORTES AVEC HAYON"), "4");
  EXPECT_EQ(DoorCountText(""), "");
}

TEST(GuaranteeMonths, DropsTheMonthWordInAnyCase) {
  EXPECT_EQ(GuaranteeMonths("12 MOIS"), "12");
  EXPECT_EQ(GuaranteeMonths("24 Mois"), "24");
  EXPECT_EQ(GuaranteeMonths(""), "");
}

TEST(VersionForTitle, KeepsTheTitleWithinFiftyCharacters) {
  // "Volkswagen Golf " is 16 characters.
  const std::string v34 = "2.0 TDI 150 Carat Edition DSG7 GPS";
  EXPECT_EQ(VersionForTitle("Volkswagen", "Golf", v34), v34);  // exactly 50
  EXPECT_EQ(VersionForTitle("Volkswagen", "Golf", "2.0 TDI 150 Carat Edition DSG7 Navi"),
            "2.0 TDI 150 Carat Edition DSG7 ...");  // 51: the last four become "..."
  const std::string title =
      "Volkswagen Golf " + VersionForTitle("Volkswagen", "Golf", std::string(80, 'x'));
  EXPECT_EQ(title.size(), 50u);
  // A brand and model that fill the title leave only the dots.
  EXPECT_EQ(VersionForTitle(std::string(30, 'B'), std::string(30, 'M'), "GTI"), "...");
}

TEST(EquipmentYesNo, AnswersOnlyForAList) {
  EXPECT_EQ(EquipmentYesNo(";Clim;GPS;", "GPS"), "O");
  EXPECT_EQ(EquipmentYesNo(";Clim;GPS;", "gps"), "N");
  EXPECT_EQ(EquipmentYesNo(";ClimAuto;", "Clim"), "N");
  EXPECT_EQ(EquipmentYesNo("", "GPS"), "");
}

std::string ValueOf(const std::vector<EquipmentValue>& values, const std::string& element) {
  for (const auto& v : values)
    if (element == v.element) return v.write ? v.value : "<not written>";
  return "<missing>";
}

TEST(EquipmentValues, SeventyTwoRowsInTheirOrderWithTheFourSpecialRows) {
  const auto values = EquipmentValues({";RadMP3;RadCD;Clim;ClimAuto;SCuir;", ";JantAlu;JantAll;Tuning;",
                                       Ansi(";ABS;DPiéton;"), ";VNF;"});
  ASSERT_EQ(values.size(), 72u);
  EXPECT_STREQ(values.front().element, "AUTO_RADIO");
  EXPECT_STREQ(values[19].element, "INTERIEUR");
  EXPECT_STREQ(values[70].element, "NON_FUMEUR");
  EXPECT_STREQ(values.back().element, "TUNING");
  EXPECT_EQ(ValueOf(values, "AUTO_RADIO"), "Radio CD");  // the cassette first, then the CD
  EXPECT_EQ(ValueOf(values, "CLIMATISATION"), "Climatisation Automatique");
  EXPECT_EQ(ValueOf(values, "INTERIEUR"), "cuir");
  EXPECT_EQ(ValueOf(values, "JANTES"), "aluminium");
  EXPECT_EQ(ValueOf(values, "DETECTION_PIETON"), "O");
  EXPECT_EQ(ValueOf(values, "NON_FUMEUR"), "O");
  EXPECT_EQ(ValueOf(values, "TUNING"), "O");
  EXPECT_EQ(ValueOf(values, "GPS"), "N");

  const auto plain = EquipmentValues({";RadMP3;", ";JantAll;", ";ABS;", ""});
  EXPECT_EQ(ValueOf(plain, "AUTO_RADIO"), "Radio MP3");
  EXPECT_EQ(ValueOf(plain, "CLIMATISATION"), "");
  EXPECT_EQ(ValueOf(plain, "INTERIEUR"), "<not written>");
  EXPECT_EQ(ValueOf(plain, "JANTES"), "alliage");
  EXPECT_EQ(ValueOf(plain, "NON_FUMEUR"), "");

  // An empty list answers nothing at all, not "N".
  const auto none = EquipmentValues({"", "", "", ""});
  for (const auto& v : none) EXPECT_EQ(v.value, "") << v.element;
  EXPECT_EQ(ValueOf(EquipmentValues({";Clim;", "", "", ""}), "AUTO_RADIO"), "N");
}

TEST(FormatThousands, BlankBetweenThousandsNoDecimals) {
  EXPECT_EQ(FormatThousands(25000), "25 000");
  EXPECT_EQ(FormatThousands(1234567), "1 234 567");
  EXPECT_EQ(FormatThousands(999), "999");
  EXPECT_EQ(FormatThousands(25990.5), "25 991");
}

CommentInputs Demonstration(const std::string& catalogue, const std::string& price) {
  CommentInputs in;
  in.typeVO = "2";
  in.message = Ansi("Jamais roulé");
  in.contact = "Julie";
  in.telephone = "03 44 44 44 44";
  in.company = "Quivale";
  in.openingHours = "9h-19h";
  in.cataloguePrice = catalogue;
  in.price = price;
  return in;
}

TEST(AnnonceComment, DemonstrationDiscountFromTenToUnderFifty) {
  AnnonceCommentResult r = AnnonceComment(Demonstration("25000", "22500"));
  EXPECT_EQ(r.rate, 10);
  EXPECT_EQ(DiscountText(r.rate), "10");
  EXPECT_EQ(r.text, Ansi("Prix catalogue : 25 000 euros, soit une remise de 10.0% sur ce véhicule, Jamais roulé, "
                         "contactez Julie au 03 44 44 44 44, Quivale, 9h-19h"));

  r = AnnonceComment(Demonstration("20000", "10000"));  // exactly 50
  EXPECT_EQ(r.rate, 0);
  EXPECT_EQ(DiscountText(r.rate), "");
  EXPECT_EQ(r.text.find("Prix catalogue"), std::string::npos);

  for (const char* price : {"", "0"}) {  // no price: the catalogue price stands for it
    r = AnnonceComment(Demonstration("20000", price));
    EXPECT_EQ(r.rate, 0) << price;
  }
  EXPECT_EQ(AnnonceComment(Demonstration("20000", "18100")).rate, 0);  // 9.5 %

  CommentInputs used = Demonstration("25000", "20000");
  used.typeVO = "1";
  r = AnnonceComment(used);
  EXPECT_EQ(r.rate, 0);
  EXPECT_EQ(r.text, Ansi("Jamais roulé, Quivale, 9h-19h"));  // no contact for a used vehicle
}

TEST(AnnonceComment, RateIsWrittenWithAPointWhateverTheLocale) {
  SetDecimalSeparator(',');
  const AnnonceCommentResult r = AnnonceComment(Demonstration("20000", "17500"));
  SetDecimalSeparator('.');
  EXPECT_NE(r.text.find("une remise de 12.5%"), std::string::npos) << r.text;
  EXPECT_EQ(DiscountText(12.5), "13");
}

TEST(AnnonceComment, GuaranteeContactAtpAndLineBreaks) {
  CommentInputs in = Demonstration("", "15000");
  in.guaranteeMessage = "Garantie constructeur";
  in.guarantee = "12";
  in.contact = "standard";
  in.message = "Ligne 1\r\nLigne 2";
  in.atpOffer = true;
  in.atpMessage = "Offre ATP";
  EXPECT_EQ(AnnonceComment(in).text,
            Ansi("Offre ATP -, Garantie de 12 mois, Ligne 1 Ligne 2, Tél : 03 44 44 44 44, Quivale, 9h-19h"));

  in.guarantee.clear();
  in.atpOffer = false;
  in.contact = "Paul";
  EXPECT_EQ(AnnonceComment(in).text,
            "Garantie constructeur, Ligne 1 Ligne 2, contactez Paul au 03 44 44 44 44, Quivale, 9h-19h");
}

}  // namespace
}  // namespace tarvelon
