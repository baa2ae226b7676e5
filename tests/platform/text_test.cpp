#include <gtest/gtest.h>

#include <vector>

#include "platform/text.h"

namespace tarvelon {
namespace {

TEST(AnsiText, FrenchLettersTakeOneByteEach) {
  const std::string text = Ansi("Démarrer créé Réservé");
  EXPECT_EQ(text.size(), 21u);
  EXPECT_EQ(static_cast<unsigned char>(text[1]), 0xE9);
  EXPECT_EQ(AnsiToUtf8(text), "Démarrer créé Réservé");
}

TEST(AnsiText, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToAnsi("a\u4e2db\U0001F600c"), "a?b?c");
  EXPECT_EQ(Utf8ToAnsi("\xff\xfe"), "??");           // not UTF-8 at all
  EXPECT_EQ(Utf8ToAnsi("ab\xc3"), "ab?");            // cut sequence
}

TEST(AnsiText, TheHighControlRangeMapsToTypographicSigns) {
  EXPECT_EQ(Ansi("€’œŸ"), std::string("\x80\x92\x9c\x9f"));
  EXPECT_EQ(AnsiToUtf8("\x80\x92"), "€’");
}

TEST(AnsiCase, AccentedLettersChangeCase) {
  EXPECT_EQ(AnsiUpper(Ansi("élève œuvre ÿ")), Ansi("ÉLÈVE ŒUVRE Ÿ"));
  EXPECT_EQ(AnsiLower(Ansi("ÉCOLE À ÇA")), Ansi("école à ça"));
  EXPECT_EQ(AnsiUpper(Ansi("straße ÷")), Ansi("STRAßE ÷"));
  EXPECT_TRUE(SameTextIgnoringCase("LeBonCoin", "LEBONCOIN"));
  EXPECT_FALSE(SameTextIgnoringCase("LeBonCoin", "LEBONCOI"));
}

TEST(TextHelpers, ReplaceAllIgnoringCase) {
  EXPECT_EQ(ReplaceAll("3 Portes avec hayon", "portes", "", true), "3  avec hayon");
  EXPECT_EQ(ReplaceAll("aXbxc", "x", "-"), "aXb-c");
  EXPECT_EQ(ReplaceAll("abc", "", "-"), "abc");
  // Growing texts, hits overlapping their replacement or at both ends.
  EXPECT_EQ(ReplaceAll("xaxxax", "x", "xyx"), "xyxaxyxxyxaxyx");
  EXPECT_EQ(ReplaceAll("AaAaa", "aa", "[aa]", true), "[aa][aa]a");
  const std::string::size_type size = ReplaceAll(std::string(100000, 'a'), "a", "bb").size();
  EXPECT_EQ(size, 200000u);
  // A text handed over gives the same, shrinking in its own block.
  for (const char* text : {"xaxxax", "AaAaa", "none", "", "aaaa"})
    for (const auto& [from, to] : {std::pair{"x", "xyx"}, {"x", ""}, {"aa", "[]"}, {"aa", "b"}, {"a", "a"}}) {
      EXPECT_EQ(ReplaceAllInText(text, from, to), ReplaceAll(text, from, to)) << text << " " << from;
      EXPECT_EQ(ReplaceAllInText(text, from, to, true), ReplaceAll(text, from, to, true)) << text << " " << from;
    }
  // Longer texts, growing in their own block where it has the room and in a new one where not.
  std::string longer;
  for (int n = 0; n < 8; ++n) longer += "xaxxax AaAaa x<";
  for (size_t room : {size_t(0), size_t(8), size_t(200)})
    for (const auto& [from, to] : {std::pair{"x", "xyx"}, {"x", ""}, {"aa", "[]"}, {"<", "<<"}}) {
      std::string handed = longer;
      handed.reserve(longer.size() + room);
      EXPECT_EQ(ReplaceAllInText(std::move(handed), from, to, true), ReplaceAll(longer, from, to, true)) << room << from;
    }
}

TEST(TextHelpers, IntegersAreReadStrictly) {
  EXPECT_EQ(ToIntDef("12", 0), 12);
  EXPECT_EQ(ToIntDef("-3", 0), -3);
  EXPECT_EQ(ToIntDef("12 mois", 7), 7);
  EXPECT_EQ(ToIntDef("", 7), 7);
  EXPECT_EQ(ToIntDef("99999999999999", 7), 7);
}

}  // namespace
TEST(FindIgnoringCase, FindsEveryPlaceAPlainComparisonFinds) {
  // Every start position of every pattern over texts of mixed case and accents.
  const std::string text = Ansi("<DataVO><dataVO>Été été ÉTÉ</DATAVO><idphoto1>x</IDPHOTO1>aaab") + "<";
  for (const std::string& part : std::vector<std::string>{"<datavo>", Ansi("été"), "</DataVO>", "IDPHOTO1", "aab", "b<", "<", "zz"}) {
    for (size_t from = 0; from <= text.size(); ++from) {
      size_t expected = std::string::npos;
      for (size_t i = from; i + part.size() <= text.size() && expected == std::string::npos; ++i)
        if (SameTextIgnoringCase(std::string_view(text).substr(i, part.size()), part)) expected = i;
      EXPECT_EQ(FindIgnoringCase(text, part, from), expected) << part << " from " << from;
    }
  }
}

}  // namespace tarvelon
