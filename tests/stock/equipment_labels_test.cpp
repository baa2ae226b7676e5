// EquipmentLabels gives exactly what replacing one code after the other over
// the whole text gives (the reference below, looked up by the XPath engine
// alone), on random and hostile code lists and label tables.
#include <gtest/gtest.h>

#include <random>

#include "platform/text.h"
#include "stock/conversions.h"
#include "stock/extract.h"
#include "stock/xml_cursor.h"
#include "stock/xpath_values.h"

namespace tarvelon {
namespace {

// One expression per code, then a replacement over the whole text per code.
std::string ReferenceLabels(const IXMLCursor& cursor, const std::string& codes) {
  if (codes.empty()) return "";
  std::string result = codes;
  std::string token;
  for (char c : codes) {
    if (c != ';') {
      token += c;
      continue;
    }
    if (!token.empty()) {
      std::string label;
      IXMLCursor found =
          cursor.SelectByXPath(std::string(kEquipmentLabels) + "[AbbrEquip=" + XPathLiteral(AnsiUpper(token)) + "]");
      if (!found.Eof()) label = found.GetValue("LibelleEquipement");
      result = ReplaceAll(result, ";" + token + ";", ";" + label + ";", true);
    }
    token.clear();
  }
  if (!result.empty() && result.front() == ';') result.erase(0, 1);
  if (!result.empty() && result.back() == ';') result.pop_back();
  return ReplaceAll(result, ";", ", ");
}

IXMLCursor Table(const std::vector<std::pair<std::string, std::string>>& entries, const std::string& extra = "") {
  std::string xml = "<document><DataVOS><DataVO/></DataVOS><LiensEquipementsS>";
  for (const auto& [code, label] : entries)
    xml += "<LiensEquipements><AbbrEquip>" + EscapeMarkup(code) + "</AbbrEquip><LibelleEquipement>" +
           EscapeMarkup(label) + "</LibelleEquipement></LiensEquipements>";
  xml += extra + "</LiensEquipementsS></document>";
  IXMLCursor doc;
  doc.LoadXML(xml);
  return doc.Select("/document/DataVOS/DataVO");
}

TEST(EquipmentLabels, KnownCases) {
  IXMLCursor record = Table({{"GPS", "GPS"}, {"AB", "Airbag"}, {"CL", "Clim;auto"}, {"X", "AB"}, {"O'K", Ansi("Prêt")}});
  EXPECT_EQ(EquipmentLabels(record, ";AB;ab;zz;;"), "Airbag, Airbag, , ");
  // A label that is its own code: of two neighbours only the first is replaced.
  EXPECT_EQ(EquipmentLabels(record, ";gps;gps;gps;"), "GPS, gps, GPS");
  // The first field follows no ";", the last is followed by none.
  EXPECT_EQ(EquipmentLabels(record, "AB;AB;AB"), "AB, Airbag, AB");
  EXPECT_EQ(EquipmentLabels(record, ";o'k;"), Ansi("Prêt"));
  // A label holding ";" or another code is replaced again by later codes.
  EXPECT_EQ(EquipmentLabels(record, ";X;CL;AB;"), ReferenceLabels(record, ";X;CL;AB;"));
  EXPECT_EQ(EquipmentLabels(record, ";X;CL;AB;"), "Airbag, Clim, auto, Airbag");
}

TEST(EquipmentLabels, RandomListsAndTablesGiveWhatTheReferenceGives) {
  std::mt19937 random(1616);
  const std::vector<std::string> codes = {"AB", "ab", "Ab", "GPS", "C", "c", "O'K", "Q\"T", "A'B\"C", Ansi("é"),
                                          Ansi("É"), " AB", "AB ", "ZZ", "X", "clim"};
  auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
  int checked = 0;
  for (int round = 0; round < 400; ++round) {
    // Labels: empty, a code (itself or another, any case), with ";" or ";code;", with accents and quotes.
    std::vector<std::pair<std::string, std::string>> entries;
    const int size = static_cast<int>(random() % 8);
    for (int i = 0; i < size; ++i) {
      std::string label;
      switch (random() % 7) {
        case 0: break;
        case 1: label = pick(codes); break;
        case 2: label = AnsiLower(pick(codes)); break;
        case 3: label = "a;" + pick(codes); break;
        case 4: label = ";" + pick(codes) + ";"; break;
        case 5: label = Ansi("Sièges \"chauffants\" l'hiver"); break;
        default: label = "Label " + std::to_string(i); break;
      }
      std::string code = pick(codes);
      if (random() % 2) code = AnsiUpper(code);
      entries.emplace_back(code, label);
    }
    // Entries with two codes, without a label, or with two labels.
    const std::string extra = random() % 3 ? std::string()
                                            : "<LiensEquipements><AbbrEquip>ZZ</AbbrEquip><AbbrEquip>C</AbbrEquip>"
                                              "<LibelleEquipement>two codes</LibelleEquipement></LiensEquipements>"
                                              "<LiensEquipements><AbbrEquip>GPS</AbbrEquip></LiensEquipements>"
                                              "<LiensEquipements><AbbrEquip>X</AbbrEquip><LibelleEquipement>1"
                                              "</LibelleEquipement><LibelleEquipement>2</LibelleEquipement>"
                                              "</LiensEquipements>";
    IXMLCursor record = Table(entries, extra);
    for (int list = 0; list < 25; ++list) {
      std::string text = random() % 2 ? ";" : "";
      const int fields = static_cast<int>(random() % 9);
      for (int f = 0; f < fields; ++f) {
        const std::string field = random() % 6 ? pick(codes) : std::string();
        // Runs of one code are common in hostile lists.
        const int repeat = random() % 4 ? 1 : 2 + static_cast<int>(random() % 3);
        for (int r = 0; r < repeat; ++r) text += (random() % 2 ? AnsiLower(field) : field) + ";";
      }
      if (random() % 3 == 0 && !text.empty()) text.pop_back();
      if (random() % 5 == 0) text += pick(codes);
      ASSERT_EQ(EquipmentLabels(record, text), ReferenceLabels(record, text)) << "list: " << text;
      ++checked;
    }
  }
  EXPECT_EQ(checked, 400 * 25);
}

TEST(EquipmentLabels, ATableChangedOrReplacedIsReadAgain) {
  IXMLCursor record = Table({{"AB", "Airbag"}});
  EXPECT_EQ(EquipmentLabels(record, ";AB;"), "Airbag");
  IXMLCursor entry = record.Select("/document/LiensEquipementsS/LiensEquipements");
  entry.SetValue("AbbrEquip", "CD");
  EXPECT_EQ(EquipmentLabels(record, ";AB;CD;"), ", Airbag");
  entry.SetValue("LibelleEquipement", "Climatisation");
  EXPECT_EQ(EquipmentLabels(record, ";CD;"), "Climatisation");
  entry.Delete();
  EXPECT_EQ(EquipmentLabels(record, ";CD;"), "");
  IXMLCursor table = record.Select("/document/LiensEquipementsS");
  table.AppendChild("LiensEquipements", "").SetValue("AbbrEquip", "CD");
  EXPECT_EQ(EquipmentLabels(record, ";CD;"), "");
  IXMLCursor other = Table({{"CD", "Autre"}});
  EXPECT_EQ(EquipmentLabels(other, ";CD;"), "Autre");
  EXPECT_EQ(EquipmentLabels(IXMLCursor(), ";CD;"), "");
}

}  // namespace
}  // namespace tarvelon
