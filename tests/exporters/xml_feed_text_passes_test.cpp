// The TopAnnonces, Rad1/InfoPress and AutoReflex text edits, done with fewer
// passes over the text, give exactly what the edits one at a time give: on
// the serialized extracts of the cases and on generated texts made to trip
// them (tags in every case, empty forms, attributes, names sharing a prefix,
// elements left open across records, stray "<" and ">").
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <utility>

#include "exporters/autoreflex/autoreflex_exporter.h"
#include "exporters/frame/text_cuts.h"
#include "exporters/rad1/rad1_exporter.h"
#include "exporters/topannonces/topannonces_exporter.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "stock/xml_cursor.h"
#include "support/golden.h"
#include "support/record_texts.h"

namespace tarvelon {
namespace {

namespace fs = std::filesystem;

// The references: every edit its own pass, in the order the feeds make them.
std::string TopAnnoncesPhotoTextInTurn(std::string text) {
  text = ReplaceAll(text, "<Carrosserie>", "<carrosserie>");
  text = ReplaceAll(text, "</Carrosserie>", "</carrosserie>");
  text = ReplaceAll(text, "<Carrosserie/>", "<carrosserie/>");
  return GatherSlots(text, "NOMPHOTO", 6, "liste_photos", "photo");
}

std::string TopAnnoncesTextInTurn(std::string text) {
  text = RemoveSection(text, "InfosSRS");
  text = CutElementRun(std::move(text), "MODELEVERSION", "InfoComplement");
  for (const char* name : {"idVO", "TypeVO", "InfoVille", "RefSite", "RefExpo"}) text = RemoveElement(std::move(text), name);
  text = ReplaceSectionTags(text, "DataVOS", "<listepa>", "</listepa>");
  text = ReplaceAll(text, "<DataVO>", "<annonce>", true);
  text = ReplaceAll(text, "</DataVO>", "</annonce>", true);
  text = ReplaceAll(text, "<document>", "", true);
  text = ReplaceAll(text, "</document>", "", true);
  return WithIsoDeclaration(text);
}

std::string Rad1TextInTurn(std::string text, bool rad1) {
  text = RemoveSection(text, "InfosSRS");
  for (const char* name : {"idVO", "TypeVO", "InfoVille", "RefVille", "id_Track"}) text = RemoveElement(std::move(text), name);
  if (rad1) text = CutElementRun(std::move(text), "LibelleSociete", "Ref");
  for (const char* name : {"RefSite", "RefExpo"}) text = RemoveElement(std::move(text), name);
  text = CutElementRun(std::move(text), "EqutInterieur", "InfoComplement");
  text = CutElementRun(std::move(text), "HorairesCommercial", "MsgGarCons");
  if (rad1) {
    text = ReplaceAll(text, "<document>", "<TRAQUEANNONCES_XML>", true);
    text = ReplaceAll(text, "</document>", "</TRAQUEANNONCES_XML>", true);
    text = ReplaceAll(text, "<DataVO>", "<annonces>", true);
    text = ReplaceAll(text, "</DataVO>", "</annonces>", true);
  }
  text = ReplaceSectionTags(text, "DataVOS", "", "");
  text = ReplaceAll(text, "<DataVO>", "<annonce>", true);
  text = ReplaceAll(text, "</DataVO>", "</annonce>", true);
  text = ReplaceAll(text, "<document>", "<annonces>", true);
  text = ReplaceAll(text, "</document>", "</annonces>", true);
  text = WithIsoDeclaration(text);
  return ReplaceAll(text, "Rad1_", "", true);
}

std::string AutoReflexTextInTurn(std::string text) {
  for (int n = 1; n <= 6; ++n) {
    const std::string slot = "NomPhoto" + std::to_string(n);
    text = ReplaceAll(text, "</" + slot + ">", "</Photo>", true);
    text = ReplaceAll(text, "<" + slot + ">", "<Photo Num=\"" + std::to_string(n) + "\">", true);
  }
  text = ReplaceAll(text, "<idNVO>", "<id-VO>", true);
  text = ReplaceAll(text, "</idNVO>", "</id-VO>", true);
  text = RemoveSection(text, "InfosSRS");
  for (const char* name : {"idVO", "TypeVO", "InfoVille", "RefSite", "RefExpo", "id_Track", "RefVille"})
    text = RemoveElement(std::move(text), name);
  return text;
}

void ExpectSameEdits(const std::string& text, const std::string& where) {
  const std::string photoText = EditTopAnnoncesPhotoText(text);
  EXPECT_EQ(photoText, TopAnnoncesPhotoTextInTurn(text)) << where;
  EXPECT_EQ(EditTopAnnoncesText(photoText), TopAnnoncesTextInTurn(photoText)) << where;
  EXPECT_EQ(EditTopAnnoncesText(text), TopAnnoncesTextInTurn(text)) << where;
  for (bool rad1 : {true, false}) EXPECT_EQ(EditRad1Text(text, rad1), Rad1TextInTurn(text, rad1)) << where;
  EXPECT_EQ(EditAutoReflexText(text), AutoReflexTextInTurn(text)) << where;
}

TEST(XmlFeedTextPasses, CaseFilesGiveWhatTheEditsOneAtATimeGive) {
  int compared = 0;
  const fs::path cases = fs::path(testing::CasePath("topannonces-photos", "x")).parent_path().parent_path();
  for (const auto& entry : fs::recursive_directory_iterator(cases)) {
    if (entry.path().extension() != ".xml") continue;
    const std::string path = entry.path().string();
    IXMLCursor document;
    try {
      document.Load(path);
    } catch (const Error&) {
      continue;  // not a document (a case's damaged extract)
    }
    ExpectSameEdits(document.GetXML(), path);
    ++compared;
  }
  EXPECT_GT(compared, 30);
}

// Generated documents: records of elements named as the edits name them and
// like them, mostly well-formed, sometimes not.
class FeedTextMaker {
 public:
  explicit FeedTextMaker(unsigned seed)
      : maker_(seed, {"idVO",
                      "IDVO",
                      "idVOX",
                      "TypeVO",
                      "InfoVille",
                      "RefVille",
                      "id_Track",
                      "RefSite",
                      "RefSiteX",
                      "RefExpo",
                      "Carrosserie",
                      "carrosserie",
                      "CARROSSERIE",
                      "NOMPHOTO1",
                      "NOMPHOTO3",
                      "NOMPHOTO6",
                      "nomphoto2",
                      "NomPhoto4",
                      "NOMPHOTO7",
                      "NomPhoto10",
                      "idNVO",
                      "IDNVO",
                      "MODELEVERSION",
                      "InfoComplement",
                      "LibelleSociete",
                      "Ref",
                      "EqutInterieur",
                      "HorairesCommercial",
                      "MsgGarCons",
                      "Rad1_Prix",
                      "document",
                      "DataVO",
                      "Prix"},
               "Num=\"1\"", {"", "aa/bb/cc.jpg", "a &lt;idVO&gt; b", "&amp;", "Nîmes", "rad1_x"}, 9) {}

  std::string Document() {
    std::string text = maker_.Pick(0.5) ? "<?xml version=\"1.0\"?>\n" : "";
    text += maker_.Pick(0.1) ? "<Document>" : "<document>";
    if (maker_.Pick(0.3))
      text += "<InfosSRS EOF=\"1\" RecordName=\"InfosSR\"><InfosSR>" + maker_.Elements(1) + "</InfosSR></InfosSRS>";
    text +=
        maker_.Pick(0.2) ? "<DataVOS EOF=\"0\" RecordName=\"DataVO\"/>" : "<DataVOS EOF=\"1\" RecordName=\"DataVO\">";
    for (int i = maker_.Number(6); i > 0; --i)
      text += (maker_.Pick(0.1) ? "<dataVO>" : "<DataVO>") + maker_.Elements(2) + "</DataVO>";
    text += "</DataVOS></document>\n";
    maker_.MaybeStray(text, 0.15);
    return text;
  }

 private:
  testing::RecordTextMaker maker_;
};

TEST(XmlFeedTextPasses, GeneratedTextsGiveWhatTheEditsOneAtATimeGive) {
  FeedTextMaker maker(20261209);
  for (int i = 0; i < 3000; ++i) {
    const std::string text = maker.Document();
    ExpectSameEdits(text, text);
    if (HasFailure()) return;
  }
}

TEST(XmlFeedTextPasses, ExactCaseTagsStayExact) {
  const std::vector<std::pair<std::string, std::string>> tags = {{"<Carrosserie>", "<carrosserie>"},
                                                                  {"</Carrosserie>", "</carrosserie>"}};
  EXPECT_EQ(ReplaceTags("<Carrosserie>a</Carrosserie><CARROSSERIE>b</CARROSSERIE>", tags, false),
            "<carrosserie>a</carrosserie><CARROSSERIE>b</CARROSSERIE>");
  // A replacement that is itself a tag replaced (here only when case is
  // ignored) sends the replacements back in turn.
  EXPECT_EQ(ReplaceTags("<Carrosserie>a</Carrosserie>", tags, true), "<carrosserie>a</carrosserie>");
}

}  // namespace
}  // namespace tarvelon
