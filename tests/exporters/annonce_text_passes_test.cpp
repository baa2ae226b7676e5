// The annonce feeds' text edits, done with fewer passes over the text, give
// exactly what the edits one at a time give: on the serialized extracts and
// prepared files of the cases, and on many generated texts made to trip
// them (tags in every case, empty forms, escaped "<", names sharing a
// prefix, tags with attributes, listed elements nested in others, elements
// left open across records, stray "<" and ">").
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string_view>
#include <utility>

#include "exporters/annonce/annonce_exporter.h"
#include "exporters/annonce/annonce_safety.h"
#include "exporters/annonce/client_files.h"
#include "exporters/frame/text_cuts.h"
#include "exporters/frame/text_scan.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "stock/conversions.h"
#include "stock/xml_cursor.h"
#include "support/golden.h"
#include "support/record_texts.h"

namespace tarvelon {
namespace {

namespace fs = std::filesystem;

// The passes as they were before they were made to read the text once: a
// marker searched for at a time, each record's end looked up anew.
namespace reference {

// The blocks the passes are built on, unchanged since: shared with them.
using text_scan::CutStretchesInPlace;
using text_scan::kRecordEnd;
using text_scan::Marker;
using text_scan::RecordLimits;
using text_scan::Stretch;

size_t FindBefore(const std::string& text, const std::string& marker, size_t from, size_t limit) {
  if (from >= limit) return std::string::npos;
  const size_t at = std::string_view(text).substr(from, limit - from).find(marker);
  return at == std::string::npos ? at : from + at;
}

std::string CutWithinRecords(std::string text, const std::string& start, const std::string& end) {
  const Marker from(start), to(end);
  RecordLimits limits(text);
  CutStretchesInPlace(text, [&](size_t pos) {
    for (size_t s = from.In(text, pos); s != std::string::npos; s = from.In(text, s + 1)) {
      const size_t e = to.In(text, s + start.size(), limits.For(s));
      if (e != std::string::npos) return Stretch{s, e + end.size()};
    }
    return Stretch{};
  });
  return text;
}

std::string CutElementRun(std::string text, const std::string& first, const std::string& last) {
  const std::string open = "<" + first + ">", openEmpty = "<" + first + "/>";
  const std::string close = "</" + last + ">", closeEmpty = "<" + last + "/>";
  const Marker opens(open), openEmpties(openEmpty), closes(close), closeEmpties(closeEmpty);
  RecordLimits limits(text);
  size_t nextOpen = opens.In(text, 0), nextOpenEmpty = openEmpties.In(text, 0);
  CutStretchesInPlace(text, [&](size_t from) {
    while (true) {
      if (nextOpen != std::string::npos && nextOpen < from) nextOpen = opens.In(text, from);
      if (nextOpenEmpty != std::string::npos && nextOpenEmpty < from) nextOpenEmpty = openEmpties.In(text, from);
      const bool empty = nextOpenEmpty < nextOpen;
      const size_t s = empty ? nextOpenEmpty : nextOpen;
      if (s == std::string::npos) return Stretch{};
      const size_t after = s + (empty ? openEmpty.size() : open.size());
      const size_t limit = limits.For(s);
      if (empty && first == last) return Stretch{s, after};
      const size_t e = closes.In(text, after, limit);
      const size_t eEmpty = closeEmpties.In(text, after, limit);
      if (e != std::string::npos && e < eEmpty) return Stretch{s, e + close.size()};
      if (eEmpty != std::string::npos) return Stretch{s, eEmpty + closeEmpty.size()};
      from = s + 1;
    }
  });
  return text;
}

std::string WrapPhotoSlots(const std::string& text, int slots) {
  const std::string opened = ReplaceAll(text, "<IDPHOTO1>", "<PHOTOS><PHOTO>", true);
  std::string wrapped;
  size_t pos = 0;
  while (true) {
    const size_t close = FindIgnoringCase(opened, kRecordEnd, pos);
    if (close == std::string::npos) break;
    const bool hasPhotos = FindBefore(opened, "<PHOTOS><PHOTO>", pos, close) != std::string::npos;
    wrapped.append(opened, pos, close - pos);
    if (hasPhotos) wrapped += "</PHOTOS>";
    wrapped += kRecordEnd;
    pos = close + kRecordEnd.size();
  }
  wrapped.append(opened, pos, std::string::npos);

  std::string out;
  const std::string slotName = "IDPHOTO";
  pos = 0;
  for (size_t hit = FindIgnoringCase(wrapped, slotName); hit != std::string::npos;
       hit = FindIgnoringCase(wrapped, slotName, std::max(hit + 1, pos))) {
    size_t digitsEnd = hit + slotName.size();
    while (digitsEnd < wrapped.size() && std::isdigit(static_cast<unsigned char>(wrapped[digitsEnd]))) ++digitsEnd;
    const std::string digits = wrapped.substr(hit + slotName.size(), digitsEnd - hit - slotName.size());
    if (digits.empty() || digits[0] == '0' || digits.size() > 9 || digitsEnd >= wrapped.size() ||
        wrapped[digitsEnd] != '>' || std::stol(digits) > slots)
      continue;
    out.append(wrapped, pos, hit - pos);
    out += "PHOTO>";
    pos = digitsEnd + 1;
  }
  out.append(wrapped, pos, std::string::npos);
  return out;
}

std::string RemoveElement(std::string text, const std::string& name) {
  const std::string open = "<" + name + ">", close = "</" + name + ">", empty = "<" + name + "/>";
  const Marker tags("<" + name), closes(close);
  RecordLimits limits(text);
  CutStretchesInPlace(text, [&](size_t pos) {
    for (size_t s = tags.In(text, pos); s != std::string::npos; s = tags.In(text, s + 1)) {
      if (text.compare(s, empty.size(), empty) == 0) return Stretch{s, s + empty.size()};
      if (text.compare(s, open.size(), open) != 0) continue;
      const size_t e = closes.In(text, s + open.size(), limits.For(s));
      if (e != std::string::npos) return Stretch{s, e + close.size()};
    }
    return Stretch{};
  });
  return text;
}

}  // namespace reference

// The reference: every edit its own pass, in the order the feeds make them.
std::string RemoveOneByOne(std::string text, const std::vector<std::string>& names) {
  for (const std::string& name : names) text = reference::RemoveElement(std::move(text), name);
  return text;
}

using TagList = std::vector<std::pair<std::string, std::string>>;
const TagList kClientTags = {{"<DataVO>", "<ANNONCE>"}, {"</DataVO>", "</ANNONCE>"}, {"<document>", ""}, {"</document>", ""}};

std::string ReplaceInTurn(std::string text, const TagList& tags) {
  for (const auto& [from, to] : tags) text = ReplaceAll(text, from, to, true);
  return text;
}

std::string PreparedTextOneEditAtATime(std::string text, int photoSlots) {
  text = reference::RemoveElement(std::move(text), "InfoVA");
  text = reference::CutElementRun(std::move(text), "NOMPHOTO1", "NOMPHOTO6");
  text = reference::WrapPhotoSlots(text, photoSlots);
  text = reference::CutElementRun(std::move(text), "EQUTINTERIEUR", "INFOCOMPLEMENT");
  text = RemoveOneByOne(std::move(text), {"vGarantie", "TypeGarantie"});
  text = reference::CutWithinRecords(std::move(text), "<TypeVO ", "</TypeVO>");
  text = RemoveOneByOne(std::move(text), {"xMarque", "vMarque"});
  text = reference::CutWithinRecords(std::move(text), "<InfosSRS ", "</InfosSRS>");
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

const std::vector<std::vector<std::string>> kNameLists = {
    {"CODECLIENT", "cGroup", "TypeVO", "Concession", "FlagExclusion"},
    {"idVO", "InfoVille", "RefSite", "RefExpo", "remise"},
    {"remise", "remiseX"},
    {"remiseX", "remise"},
    {"vGarantie", "TypeGarantie"},
    {"id_Track", "RefVille", "RefSite", "RefExpo", "MsgGarCons", "MsgAnnonce", "PrixCatalogue", "HorairesCommercial",
     "LibelleSociete"},
    {"IDPHOTO1", "IDPHOTO"},  // one name the start of another
    {"RefSite", "a<b"}};

// Each pass against its reference, with the feeds' names and with names that
// stretch it: one element its own run, a run ending at the record's end tag,
// names sharing a prefix or holding a "<", markers of one byte.
void ExpectSamePasses(const std::string& text, const std::string& where) {
  for (int slots : {0, 1, 6, 2000000000})
    EXPECT_EQ(WrapPhotoSlots(text, slots), reference::WrapPhotoSlots(text, slots)) << slots << " " << where;
  const std::vector<std::pair<std::string, std::string>> runs = {
      {"NOMPHOTO1", "NOMPHOTO6"}, {"EQUTINTERIEUR", "INFOCOMPLEMENT"}, {"IDPHOTO1", "IDPHOTO1"},
      {"RefSite", "RefSiteX"},    {"Prix", "DataVO"},                   {"DataVO", "remise"},
      {"a<b", "Prix"},            {"P", "/"}};
  for (const auto& [first, last] : runs)
    EXPECT_EQ(CutElementRun(text, first, last), reference::CutElementRun(text, first, last)) << first << " " << where;
  for (const char* name : {"InfoVA", "RefSite", "remise", "DataVO", "IDPHOTO1", "P", "a<b"})
    EXPECT_EQ(RemoveElement(text, name), reference::RemoveElement(text, name)) << name << " " << where;
  const std::vector<std::pair<std::string, std::string>> cuts = {
      {"<TypeVO ", "</TypeVO>"}, {"<InfosSRS ", "</InfosSRS>"}, {"<RefSite>", "</RefSite>"}, {"<", ">"}, {"", "/"}};
  for (const auto& [start, end] : cuts)
    EXPECT_EQ(CutWithinRecords(text, start, end), reference::CutWithinRecords(text, start, end))
        << start << " " << where;
  for (const auto& names : kNameLists) EXPECT_EQ(RemoveElements(text, names), RemoveOneByOne(text, names)) << where;
}

void ExpectSameEdits(const std::string& text, const std::string& where) {
  ExpectSamePasses(text, where);
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
                      "InfosSRS",       "Prix",          "IDPHOTO10",
                      "IDPHOTO0",       "IDPHOTO01",     "IdPhoto2",
                      "PHOTOS",         "PHOTO",         "DataVO",
                      "IDPHOTO999999999",                "IDPHOTO1234567890"},
               "RecordName=\"InfosSR\"",
               {"", "1", "a &lt;remise&gt; b", "&amp;", "Nîmes", "x y", "idphoto2>", "<PHOTOS><PHOTO>", "IDPHOTO6"}, 8) {}

  std::string Document() {
    std::string text = maker_.Pick(0.5) ? "<?xml version=\"1.0\"?>\n" : "";
    text += "<document><COORDONNEESS EOF=\"1\" RecordName=\"COORDONNEES\">";
    for (int i = maker_.Number(3); i > 0; --i) text += "<COORDONNEES>" + maker_.Elements(2) + "</COORDONNEES>";
    text += maker_.Pick(0.2) ? "<DataVOS EOF=\"0\" RecordName=\"DataVO\"/>"
                             : "</COORDONNEESS><DataVOS EOF=\"1\" RecordName=\"DataVO\">";
    for (int i = maker_.Number(6); i > 0; --i)
      text += (maker_.Pick(0.1) ? "<dataVO>" : "<DataVO>") + maker_.Elements(3) +
              (maker_.Pick(0.1) ? (maker_.Pick(0.5) ? "</datavo>" : "</DATAVo>") : "</DataVO>");
    text += "</DataVOS></document>\n";
    maker_.MaybeStray(text, 0.1);
    return text;
  }

 private:
  testing::RecordTextMaker maker_;
};

TEST(AnnonceTextPasses, GeneratedTextsGiveWhatTheEditsOneAtATimeGive) {
  TextMaker maker(20170214);
  const std::vector<TagList> tagLists = {
      kClientTags,
      {{"<remise>", ""}, {"</remise>", ""}, {"<remise/>", "<REMISE/>"}},
      {{"<idVO>", "<InfoVille>"}, {"<InfoVille>", ""}},  // a replacement replaced again: in turn
      {{"<DataVO>", "<a>"}, {"<dataVO>", "<b>"}}};       // the same tag twice: in turn
  for (int i = 0; i < 3000; ++i) {
    const std::string text = maker.Document();
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
