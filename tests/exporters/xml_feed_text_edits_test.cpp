// The text edits of the XML feeds (RAD1, INFOPRESS, TOPANNONCES, AUTOREFLEX)
// and the rules of their vehicle texts.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/run_state.h"
#include "exporters/autoreflex/autoreflex_exporter.h"
#include "exporters/frame/text_cuts.h"
#include "exporters/frame/text_scan.h"
#include "exporters/frame/xml_feed.h"
#include "exporters/rad1/rad1_exporter.h"
#include "exporters/topannonces/topannonces_exporter.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

TEST(RemoveElement, BothFormsInOnePassAsTwoPassesGive) {
  const std::string text =
      "<d><DataVO><a>1</a><b/><a/><c><a>2</a></c><a>open</DataVO><DataVO><a>3</a></DataVO><a>out</a><a/></d>";
  EXPECT_EQ(RemoveElement(text, "a"),
            ReplaceAll(CutWithinRecords(text, "<a>", "</a>"), "<a/>", ""));
  EXPECT_EQ(RemoveElement(text, "a"), "<d><DataVO><b/><c></c><a>open</DataVO><DataVO></DataVO></d>");
}

TEST(ApplyEdits, GivesWhatBuildingAnewGivesWithAndWithoutRoomToGrow) {
  using text_scan::Edit;
  const std::string text = "<a><b>1</b><c/></a>";
  // Growing before shrinking, shrinking before growing, at both ends, replacing with nothing.
  const std::vector<std::vector<Edit>> cases = {
      {{0, 3, "<long-root>"}, {11, 15, ""}, {15, 19, "</long-root>"}},
      {{3, 11, ""}, {15, 19, "</a><after-the-end/>"}},
      {{0, 0, "<?x?>"}, {19, 19, "\n"}},
      {{6, 7, "one"}, {7, 7, "two"}},
      {},
  };
  for (const std::vector<Edit>& edits : cases)
    for (size_t room : {size_t(0), size_t(5), size_t(100)}) {
      std::string expected;
      size_t read = 0;
      for (const Edit& e : edits) expected.append(text, read, e.begin - read).append(e.replacement), read = e.end;
      expected.append(text, read);
      std::string edited = text;
      edited.reserve(text.size() + room);
      text_scan::ApplyEdits(edited, edits);
      EXPECT_EQ(edited, expected) << room;
    }
}

TEST(XmlFeedStages, EachStageIsSavedAsItComesAndAFailingOneLeavesTheLastThatLoaded) {
  testing::TempFolder drive;
  testing::ScopedEnv driveC("TARVELON_DRIVE_C", drive.path().c_str());
  // A stage in the writer's own form, then one that must be parsed: the later replaces the earlier.
  SaveTextStage("<?xml version=\"1.0\"?>\n<a>\xe9</a>\n", "c:\\w\\stage.xml");
  EXPECT_EQ(testing::ReadHostFile(drive / "w/stage.xml"), "<?xml version=\"1.0\"?>\n<a>\xc3\xa9</a>\n");
  SaveTextStage("<a>second</a>", "c:\\w\\stage.xml");
  EXPECT_EQ(testing::ReadHostFile(drive / "w/stage.xml"), "<a>second</a>\n");
  try {
    SaveTextStage("<a>broken", "c:\\w\\stage.xml");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(e.text().find("<a>broken"), std::string::npos);
  }
  EXPECT_EQ(testing::ReadHostFile(drive / "w/stage.xml"), "<a>second</a>\n");
}

TEST(XmlFeedStages, TheResultIsLoggedWholeBeforeItLoadsOrFails) {
  testing::TempFolder drive;
  testing::ScopedEnv driveC("TARVELON_DRIVE_C", drive.path().c_str());
  testing::ScopedEnv shared("SharedTemp", drive.path().c_str());
  testing::ScopedEnv now("TARVELON_NOW", "2017-10-25 14:03:07");
  RunState state;
  const std::string stamp = "25/10/2017 14:03:07 - ";
  const struct {
    std::string text, saved;
  } cases[] = {
      // Taken without a tree: the euro sign has its byte, the apostrophe a reference.
      {"<?xml version=\"1.0\" encoding=\"ISO-8859-15\" ?>\n<a>\x80\x92</a>\n",
       "<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?>\n<a>\xa4&#8217;</a>\n"},
      {"<a>  <b>1</b></a>", "<a><b>1</b></a>\n"},  // parsed: the blank text goes
  };
  std::string log;
  for (const auto& c : cases) {
    std::string text = c.text;
    text.reserve(text.size() + 64);  // room for the line in the text's own block, as an edit in place leaves
    IXMLCursor document;
    LoadResultText(state, document, std::move(text), "after");
    const std::vector<std::string>& memo = state.window.memo();
    ASSERT_GE(memo.size(), 3u);
    EXPECT_EQ(memo[memo.size() - 3], "-> " + stamp + "Result : " + c.text);
    EXPECT_EQ(memo[memo.size() - 2], "-> " + stamp + "after");
    EXPECT_EQ(memo.back(), "-> " + stamp + "Avant Enregistrement");
    document.Save("c:\\w\\out.xml");
    EXPECT_EQ(testing::ReadHostFile(drive / "w/out.xml"), c.saved);
    log += stamp + "Result : " + c.text + "\r\n" + stamp + "after\r\n" + stamp + "Avant Enregistrement\r\n";
  }
  // A text that does not load: its two lines are logged, then the error.
  IXMLCursor document;
  EXPECT_THROW(LoadResultText(state, document, "<a><b>", "after"), Error);
  EXPECT_EQ(state.window.memo().back(), "-> " + stamp + "after");
  log += stamp + "Result : <a><b>\r\n" + stamp + "after\r\n";
  EXPECT_EQ(testing::ReadHostFile(drive / "MarqueUpdate.log"), log);
}

TEST(GatherSlots, OnePhotoPerFilledSlotInSlotOrderAndAnEmptyListWhenNone) {
  const std::string text =
      "<DataVO><a/><NOMPHOTO1>u1</NOMPHOTO1><NOMPHOTO2/><NOMPHOTO3>u&amp;3</NOMPHOTO3><NOMPHOTO6/><z/></DataVO>"
      "<DataVO><NOMPHOTO1/><NOMPHOTO2/><x>&lt;NOMPHOTO1&gt;</x></DataVO>"
      "<DataVO><b/></DataVO>"
      "<DataVO><nomphoto2>v2</nomphoto2><c/><NOMPHOTO1>v1</NOMPHOTO1></DataVO>";
  EXPECT_EQ(GatherSlots(text, "NOMPHOTO", 6, "liste_photos", "photo"),
            "<DataVO><a/><liste_photos><photo>u1</photo><photo>u&amp;3</photo></liste_photos><z/></DataVO>"
            "<DataVO><liste_photos></liste_photos><x>&lt;NOMPHOTO1&gt;</x></DataVO>"
            "<DataVO><b/></DataVO>"
            "<DataVO><liste_photos><photo>v1</photo><photo>v2</photo></liste_photos><c/></DataVO>");
}

TEST(SectionEdits, EmptyFormsAreHandledLikeFullOnes) {
  EXPECT_EQ(RemoveSection("<d><InfosSRS EOF=\"0\" RecordName=\"InfosSR\"><InfosSR/></InfosSRS><InfosSRSX/>"
                          "<InfosSRS EOF=\"1\" RecordName=\"InfosSR\"/></d>",
                          "InfosSRS"),
            "<d><InfosSRSX/></d>");
  EXPECT_EQ(ReplaceSectionTags("<DataVOS EOF=\"0\" RecordName=\"DataVO\"><DataVO/></DataVOS>", "DataVOS", "<l>", "</l>"),
            "<l><DataVO/></l>");
  EXPECT_EQ(ReplaceSectionTags("<DataVOS EOF=\"1\" RecordName=\"DataVO\"/>", "DataVOS", "<l>", "</l>"), "<l></l>");
  EXPECT_EQ(WithIsoDeclaration("<?xml version=\"1.0\"?>\n<a/>"), "<?xml version=\"1.0\" encoding=\"ISO-8859-15\" ?>\n<a/>");
  EXPECT_EQ(WithIsoDeclaration("<a/>\n"), "<?xml version=\"1.0\" encoding=\"ISO-8859-15\" ?><a/>\n");
}

// Two records: the first ends its cut stretches with empty elements, the second starts one with an empty element.
const char* const kTwoRecords =
    "<?xml version=\"1.0\"?>\n<document><DataVOS EOF=\"0\" RecordName=\"DataVO\">"
    "<DataVO><idVO>1</idVO><EqutInterieur>;a;</EqutInterieur><InfoComplement/><LibelleSociete>S</LibelleSociete>"
    "<HorairesCommercial>h</HorairesCommercial><MsgGarCons/><Ref>r1</Ref><Titre>T1</Titre></DataVO>"
    "<DataVO><idVO>2</idVO><EqutInterieur/><InfoComplement>;b;</InfoComplement><HorairesCommercial/>"
    "<MsgGarCons>m</MsgGarCons><Titre>T2</Titre><Rad1_photo1>p</Rad1_photo1></DataVO></DataVOS>"
    "<InfosSRS EOF=\"1\" RecordName=\"InfosSR\"/></document>\n";

TEST(EditRad1Text, CutsStayInsideTheirRecordForBothFeeds) {
  EXPECT_EQ(EditRad1Text(kTwoRecords, false),
            "<?xml version=\"1.0\" encoding=\"ISO-8859-15\" ?>\n<annonces><annonce><LibelleSociete>S</LibelleSociete>"
            "<Ref>r1</Ref><Titre>T1</Titre></annonce><annonce><Titre>T2</Titre><photo1>p</photo1></annonce></annonces>\n");
  EXPECT_EQ(EditRad1Text(kTwoRecords, true),
            "<?xml version=\"1.0\" encoding=\"ISO-8859-15\" ?>\n<TRAQUEANNONCES_XML><annonces><Titre>T1</Titre></annonces>"
            "<annonces><Titre>T2</Titre><photo1>p</photo1></annonces></TRAQUEANNONCES_XML>\n");
}

TEST(EditRad1Text, TenThousandVehiclesInOnePassEach) {
  const std::string text = kTwoRecords;
  const size_t first = text.find("<DataVO>"), last = text.rfind("</DataVOS>");
  std::string many = text.substr(0, first);
  for (int n = 0; n < 5000; ++n) many += text.substr(first, last - first);
  many += text.substr(last);
  const std::string edited = EditRad1Text(many, false);
  size_t ads = 0;
  for (size_t at = edited.find("<annonce>"); at != std::string::npos; at = edited.find("<annonce>", at + 1)) ++ads;
  EXPECT_EQ(ads, 10000u);
  EXPECT_EQ(edited.find("Equt"), std::string::npos);
}

TEST(EditTopAnnoncesText, TheModelToCodesStretchStaysInsideItsRecord) {
  const std::string text =
      "<?xml version=\"1.0\"?>\n<document><DataVOS EOF=\"0\" RecordName=\"DataVO\"><DataVO><idVO>1</idVO>"
      "<MODELEVERSION>Golf</MODELEVERSION><InfoComplement/><k>1</k></DataVO><DataVO><MODELEVERSION/>"
      "<EqutInterieur>;a;</EqutInterieur><InfoComplement>;b;</InfoComplement><k>2</k></DataVO></DataVOS>"
      "<InfosSRS EOF=\"1\" RecordName=\"InfosSR\"/></document>\n";
  EXPECT_EQ(EditTopAnnoncesText(text), "<?xml version=\"1.0\" encoding=\"ISO-8859-15\" ?>\n<listepa><annonce><k>1</k>"
                                       "</annonce><annonce><k>2</k></annonce></listepa>\n");
}

TEST(EditAutoReflexText, FilledSlotsBecomeNumberedPhotosAndEmptyOnesKeepTheirName) {
  EXPECT_EQ(EditAutoReflexText("<DataVO><idNVO>r</idNVO><idVO>1</idVO><NomPhoto1>a</NomPhoto1><NomPhoto2>b</NomPhoto2>"
                               "<NomPhoto3/></DataVO>"),
            "<DataVO><id-VO>r</id-VO><Photo Num=\"1\">a</Photo><Photo Num=\"2\">b</Photo><NomPhoto3/></DataVO>");
}

TEST(Rad1Title, FiftyCharactersWithTheReferenceKept) {
  const std::string title = Rad1Title("Volkswagen", "Passat", "Passat SW 2.0 TDI 190 Carat Edition DSG7", "VWpd07-5012");
  EXPECT_EQ(title.size(), 50u);
  EXPECT_EQ(title, "Volkswagen Passat SW 2.0 TDI ... (ref:VWpd07-5012)");
  EXPECT_EQ(Rad1Title("SKODA", "", "Fabia", "X"), "SKODA  Fabia (ref:X)");
  EXPECT_EQ(Rad1Title("SKODA", "octavia", "OCTAVIA Combi", "X"), "SKODA OCTAVIA Combi (ref:X)");
}

TEST(TopAnnoncesRules, GuaranteeCodeAndAnswers) {
  EXPECT_EQ(InformationCodes(";VNF;", "12 mois"), ";VNF;Gar;");
  EXPECT_EQ(InformationCodes("", "12 mois"), ";Gar;");
  EXPECT_EQ(InformationCodes(";VNF", "12 mois"), ";VNF;Gar;");
  EXPECT_EQ(InformationCodes(";Gar;VNF;", "12 mois"), ";Gar;VNF;");
  EXPECT_EQ(InformationCodes(";VNF;", ""), ";VNF;");

  TopAnnoncesVehicle v;
  v.interior = ";ClimAuto;";
  v.energy = Ansi("Électrique");
  v.doors = "5p avec hayon";
  v.guarantee = "6 MOIS";
  const auto answers = ComplementAnswers(v);
  ASSERT_EQ(answers.size(), 50u);
  EXPECT_EQ(answers.front().first, "VS");
  EXPECT_EQ(answers.back().first, "IM");
  auto answer = [&](const std::string& type) {
    for (const auto& [t, a] : answers)
      if (t == type) return a;
    return std::string("missing");
  };
  EXPECT_EQ(answer("O1"), "true");  // ClimAuto stands in for Clim
  EXPECT_EQ(answer("O2"), "false");
  EXPECT_EQ(answer("O3"), "");      // no safety list
  EXPECT_EQ(answer("E"), "ELECTRIQUE");
  EXPECT_EQ(answer("NP"), "5");
  EXPECT_EQ(answer("G1"), "true");
  EXPECT_EQ(answer("G2"), "false");
  EXPECT_EQ(answer("E2"), "true");
}

}  // namespace
}  // namespace tarvelon
