// The annonce feeds' text edits, done with fewer passes over the text, give
// exactly what the edits one at a time give: on the serialized extracts and
// prepared files of the cases, and on many generated texts made to trip
// them (tags in every case, empty forms, escaped "<", names sharing a
// prefix, tags with attributes, listed elements nested in others, elements
// left open across records, stray "<" and ">").
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <utility>

#include "exporters/annonce/annonce_exporter.h"
#include "exporters/annonce/annonce_safety.h"
#include "exporters/annonce/client_files.h"
#include "exporters/frame/text_cuts.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "stock/conversions.h"
#include "stock/xml_cursor.h"
#include "support/golden.h"
#include "support/record_texts.h"

namespace tarvelon {
namespace {

namespace fs = std::filesystem;

// The reference: every edit its own pass, in the order the feeds make them.
std::string RemoveOneByOne(std::string text, const std::vector<std::string>& names) {
  for (const std::string& name : names) text = RemoveElement(std::move(text), name);
  return text;
}

using TagList = std::vector<std::pair<std::string, std::string>>;
const TagList kClientTags = {{"<DataVO>", "<ANNONCE>"}, {"</DataVO>", "</ANNONCE>"}, {"<document>", ""}, {"</document>", ""}};

std::string ReplaceInTurn(std::string text, const TagList& tags) {
  for (const auto& [from, to] : tags) text = ReplaceAll(text, from, to, true);
  return text;
}

std::string PreparedTextOneEditAtATime(std::string text, int photoSlots) {
  text = RemoveElement(std::move(text), "InfoVA");
  text = CutElementRun(std::move(text), "NOMPHOTO1", "NOMPHOTO6");
  text = WrapPhotoSlots(text, photoSlots);
  text = CutElementRun(std::move(text), "EQUTINTERIEUR", "INFOCOMPLEMENT");
  text = RemoveElement(std::move(text), "vGarantie");
  text = RemoveElement(std::move(text), "TypeGarantie");
  text = CutWithinRecords(std::move(text), "<TypeVO ", "</TypeVO>");
  text = RemoveElement(std::move(text), "xMarque");
  text = RemoveElement(std::move(text), "vMarque");
  text = CutWithinRecords(std::move(text), "<InfosSRS ", "</InfosSRS>");
  return RemoveOneByOne(std::move(text), {"id_Track", "RefVille", "RefSite", "RefExpo", "MsgGarCons", "MsgAnnonce",
                                          "PrixCatalogue", "HorairesCommercial", "LibelleSociete"});
}

std::string ClientTextOneEditAtATime(std::string text, const std::string& clientCode, bool keepWorkingElements) {
  text = ReplaceBetweenMarkers(text, "<InfosSRS ", "</InfosSRS>", "");
  text = ReplaceBetweenMarkers(text, "<InfosSRS ", "\"InfosSR\"/>", "");
  const std::string client = "<CLIENT CODE=\"" + XmlAttributeText(clientCode) + "\">";
  text = ReplaceBetweenMarkers(text, "<COORDONNEESS EOF=\"", "RecordName=\"COORDONNEES\"/>", client);
  text = ReplaceBetweenMarkers(text, "<COORDONNEESS EOF=\"", "RecordName=\"COORDONNEES\">", client);
  text = ReplaceAll(text, "</COORDONNEESS>", "", true);
  text = ReplaceBetweenMarkers(text, "<DataVOS EOF=\"", "RecordName=\"DataVO\">", "");
  text = ReplaceBetweenMarkers(text, "<DataVOS EOF=\"", "RecordName=\"DataVO\"/>", "");
  text = ReplaceAll(text, "</DataVOS>", "</CLIENT>", true);
  text = RemoveOneByOne(std::move(text), {"CODECLIENT", "cGroup", "TypeVO", "Concession", "FlagExclusion"});
  text = ReplaceInTurn(text, kClientTags);
  text = WithIsoDeclaration(text);
  if (!keepWorkingElements) {
    text = RemoveOneByOne(std::move(text), {"idVO", "InfoVille", "RefSite", "RefExpo", "remise"});
    text = RenameCityElement(text, "LIBELLEVILLE");
  }
  return text;
}

void ExpectSameEdits(const std::string& text, const std::string& where) {
  for (int slots : {0, 3, 6}) EXPECT_EQ(EditPreparedText(text, slots), PreparedTextOneEditAtATime(text, slots)) << where;
  for (bool keep : {false, true})
    EXPECT_EQ(ClientFileText(text, "C<1>&\"", keep), ClientTextOneEditAtATime(text, "C<1>&\"", keep)) << where;
}

TEST(AnnonceTextPasses, CaseFilesGiveWhatTheEditsOneAtATimeGive) {
  int compared = 0;
  const fs::path cases = fs::path(testing::CasePath("leboncoin-two-sites", "x")).parent_path().parent_path();
  for (const auto& entry : fs::recursive_directory_iterator(cases)) {
    if (entry.path().extension() != ".xml") continue;
    const std::string path = entry.path().string();
    IXMLCursor document;
    try {
      document.Load(path);
    } catch (const Error&) {
      continue;  // not a document (a case's damaged extract)
    }
    const std::string text = document.GetXML();
    ExpectSameEdits(text, path);
    // And on what the prepared edits leave, as the client files start from it.
    ExpectSameEdits(EditPreparedText(text, 6), path + " (prepared)");
    ++compared;
  }
  EXPECT_GT(compared, 30);
}

// A generated text: records of elements drawn from the names the edits
// handle and their look-alikes, mostly well-formed, sometimes not.
class TextMaker {
 public:
  explicit TextMaker(unsigned seed)
      : maker_(seed, {"idVO",           "idvo",          "IDVO",
                      "InfoVille",      "RefSite",       "RefSiteX",
                      "RefExpo",        "remise",        "remiseX",
                      "Remise",         "TypeVO",        "CODECLIENT",
                      "cGroup",         "Concession",    "FlagExclusion",
                      "LIBELLEVILLE",   "InfoVA",        "vGarantie",
                      "TypeGarantie",   "xMarque",       "vMarque",
                      "id_Track",       "RefVille",      "MsgGarCons",
                      "MsgAnnonce",     "PrixCatalogue", "HorairesCommercial",
                      "LibelleSociete", "IDPHOTO1",      "IDPHOTO2",
                      "IDPHOTO7",       "idphoto3",      "NOMPHOTO1",
                      "NOMPHOTO6",      "EQUTINTERIEUR", "INFOCOMPLEMENT",
                      "InfosSRS",       "Prix"},
               "RecordName=\"InfosSR\"", {"", "1", "a &lt;remise&gt; b", "&amp;", "Nîmes", "x y"}, 8) {}

  std::string Document() {
    std::string text = maker_.Pick(0.5) ? "<?xml version=\"1.0\"?>\n" : "";
    text += "<document><COORDONNEESS EOF=\"1\" RecordName=\"COORDONNEES\">";
    for (int i = maker_.Number(3); i > 0; --i) text += "<COORDONNEES>" + maker_.Elements(2) + "</COORDONNEES>";
    text += maker_.Pick(0.2) ? "<DataVOS EOF=\"0\" RecordName=\"DataVO\"/>"
                             : "</COORDONNEESS><DataVOS EOF=\"1\" RecordName=\"DataVO\">";
    for (int i = maker_.Number(6); i > 0; --i)
      text += (maker_.Pick(0.1) ? "<dataVO>" : "<DataVO>") + maker_.Elements(3) + "</DataVO>";
    text += "</DataVOS></document>\n";
    maker_.MaybeStray(text, 0.1);
    return text;
  }

 private:
  testing::RecordTextMaker maker_;
};

TEST(AnnonceTextPasses, GeneratedTextsGiveWhatTheEditsOneAtATimeGive) {
  TextMaker maker(20170214);
  const std::vector<std::vector<std::string>> lists = {
      {"CODECLIENT", "cGroup", "TypeVO", "Concession", "FlagExclusion"},
      {"idVO", "InfoVille", "RefSite", "RefExpo", "remise"},
      {"remise", "remiseX"},
      {"remiseX", "remise"},
      {"vGarantie", "TypeGarantie"}};
  const std::vector<TagList> tagLists = {
      kClientTags,
      {{"<remise>", ""}, {"</remise>", ""}, {"<remise/>", "<REMISE/>"}},
      {{"<idVO>", "<InfoVille>"}, {"<InfoVille>", ""}},  // a replacement replaced again: in turn
      {{"<DataVO>", "<a>"}, {"<dataVO>", "<b>"}}};       // the same tag twice: in turn
  for (int i = 0; i < 3000; ++i) {
    const std::string text = maker.Document();
    for (const auto& names : lists) ASSERT_EQ(RemoveElements(text, names), RemoveOneByOne(text, names)) << text;
    for (const auto& tags : tagLists) ASSERT_EQ(ReplaceTags(text, tags), ReplaceInTurn(text, tags)) << text;
    ExpectSameEdits(text, text);
    if (HasFailure()) return;
  }
}

TEST(AnnonceTextPasses, OnePassOrNameByNameWhereThatDiffers) {
  // A listed element inside another: name by name, the inner one goes first.
  const std::string nested = "<DataVO><b><a><b></b></a></b><c/></DataVO>";
  EXPECT_EQ(RemoveElements(nested, {"a", "b"}), "<DataVO><c/></DataVO>");
  EXPECT_EQ(RemoveElements(nested, {"b", "a"}), RemoveOneByOne(nested, {"b", "a"}));
  // Names sharing a prefix, tags with attributes, forms of every kind.
  EXPECT_EQ(RemoveElements("<DataVO><remiseX>1</remiseX><remise>2</remise><TypeVO k=\"1\">3</TypeVO><TypeVO/>"
                           "<remise/></DataVO>",
                           {"remise", "TypeVO"}),
            "<DataVO><remiseX>1</remiseX><TypeVO k=\"1\">3</TypeVO></DataVO>");
  // A cut after an unclosed "<" joins the texts around it into a new tag: in turn.
  const std::string open = "<DataVO><a<b/>>1</a><b>2</b></DataVO>";
  EXPECT_EQ(RemoveElements(open, {"b", "a"}), RemoveOneByOne(open, {"b", "a"}));
  EXPECT_EQ(RemoveOneByOne(open, {"b", "a"}), "<DataVO></DataVO>");
  const std::string split = "<document><x<document>>";
  EXPECT_EQ(ReplaceTags(split, {{"<document>", ""}, {"<x>", "<y>"}}), "<y>");
  EXPECT_EQ(ReplaceTags("<DATAVO></datavo><Document/>", kClientTags), "<ANNONCE></ANNONCE><Document/>");
  // An element left open does not reach into the next record.
  EXPECT_EQ(RemoveElements("<DataVO><a>1</DataVO><DataVO></a><b>2</b></DataVO>", {"a", "b"}),
            "<DataVO><a>1</DataVO><DataVO></a></DataVO>");
}

}  // namespace
}  // namespace tarvelon
