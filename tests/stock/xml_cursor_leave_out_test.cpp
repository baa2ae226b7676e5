// GetXMLLeavingOut gives what a saved copy (LoadSaved) with the same nodes
// deleted gives, while the document itself stays as it is.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/text.h"
#include "stock/xml_cursor.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

using testing::ScopedEnv;
using testing::TempFolder;
// Whether a node of the selection goes, told by its own text (the same in
// the document and in its copy).
using Goes = std::function<bool(const std::string& xpath, const std::string& node)>;

const std::vector<std::string> kSelections = {"/document/COORDONNEESS/COORDONNEES", "/document/DataVOS/DataVO",
                                              "/document/DataVOS/DataVO/Note"};

class XmlCursorLeaveOut : public ::testing::Test {
 protected:
  // Today's way: a copy as the saved file gives it, the nodes deleted in it.
  std::string ByCopy(const std::string& text, const Goes& goes) {
    IXMLCursor prepared;
    prepared.LoadXML(text);
    prepared.Save("c:\\work\\prepared.xml");
    IXMLCursor copy;
    copy.LoadSaved(prepared, "c:\\work\\prepared.xml");
    for (const std::string& xpath : kSelections)
      for (IXMLCursor c = copy.Select(xpath); !c.Eof(); c.Next())
        if (goes(xpath, c.GetXML())) c.Delete();
    return copy.GetXML();
  }

  // The same nodes listed on the document itself.
  bool LeavingOut(const std::string& text, const Goes& goes, std::string& out, bool listTwice = false) {
    IXMLCursor prepared;
    prepared.LoadXML(text);
    const std::string before = prepared.GetXML();
    EXPECT_TRUE(prepared.SavedCopyIsSame());
    std::vector<IXMLCursor> leftOut;
    for (const std::string& xpath : kSelections)
      for (IXMLCursor c = prepared.Select(xpath); !c.Eof(); c.Next())
        if (goes(xpath, c.GetXML())) {
          leftOut.push_back(c);
          if (listTwice) leftOut.push_back(c);
        }
    leftOut.push_back(prepared.Select("/document/nothing"));  // at Eof: nothing to leave out
    const bool written = prepared.GetXMLLeavingOut(leftOut, out);
    EXPECT_EQ(prepared.GetXML(), before);  // the document is left as it was
    return written;
  }

  TempFolder drive;
  ScopedEnv driveC{"TARVELON_DRIVE_C", drive.path().c_str()};
};

// Two contact blocks, five records: escaped text and attributes, a record
// with an empty element, texts outside ASCII in text and attributes.
std::string Document(const std::string& declaration) {
  return declaration + Ansi(
      "<document><COORDONNEESS EOF=\"1\" RecordName=\"COORDONNEES\">"
      "<COORDONNEES><CODECLIENT>A</CODECLIENT><InfoVille>Nîmes</InfoVille></COORDONNEES>"
      "<COORDONNEES><CODECLIENT>B &amp; C</CODECLIENT></COORDONNEES></COORDONNEESS>"
      "<DataVOS EOF=\"1\" RecordName=\"DataVO\">"
      "<DataVO><idVO>1</idVO><Note a=\"x&quot;y\">a &lt; b</Note></DataVO>"
      "<DataVO code=\"é\"><idVO>2</idVO><remise/><Note>deux</Note></DataVO>"
      "<DataVO><idVO>3</idVO><Note>trois &gt; 2</Note><Note>encore</Note></DataVO>"
      "<DataVO><idVO>4</idVO><TypeVO k=\"1\">VO</TypeVO></DataVO>"
      "<DataVO><idVO>5</idVO><Note>€ cinq</Note></DataVO></DataVOS></document>");
}

TEST_F(XmlCursorLeaveOut, GivesTheTextOfTheCopyWithTheNodesDeleted) {
  const auto has = [](const std::string& node, const char* part) { return node.find(part) != std::string::npos; };
  const std::vector<std::pair<std::string, Goes>> choices = {
      // No contact block for the client, a record between two kept ones, the last record.
      {"no contact block",
       [&](const std::string& x, const std::string& n) {
         return x == kSelections[0] || (x == kSelections[1] && (has(n, "<idVO>2<") || has(n, "<idVO>5<")));
       }},
      {"nothing", [](const std::string&, const std::string&) { return false; }},
      {"everything", [](const std::string&, const std::string&) { return true; }},
      // Children of kept records, and children inside a record that goes too.
      {"nested",
       [&](const std::string& x, const std::string& n) {
         return (x == kSelections[2] && n != "<Note>encore</Note>") || (x == kSelections[1] && has(n, "<idVO>3<"));
       }},
      {"first block and first record",
       [&](const std::string&, const std::string& n) { return has(n, "<CODECLIENT>A<") || has(n, "<idVO>1<"); }},
  };
  for (const std::string& declaration :
       {std::string(), std::string("<?xml version=\"1.0\"?>"), std::string("<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?>")}) {
    const std::string text = Document(declaration);
    for (const auto& [name, goes] : choices) {
      for (bool twice : {false, true}) {
        std::string out = "untouched";
        ASSERT_TRUE(LeavingOut(text, goes, out, twice)) << name;
        EXPECT_EQ(out, ByCopy(text, goes)) << name << " / " << declaration;
      }
    }
  }
  // The picks above reach the cases they name.
  std::string out;
  ASSERT_TRUE(LeavingOut(Document(""), choices[0].second, out));
  EXPECT_EQ(out.find("COORDONNEES>"), std::string::npos);
  EXPECT_NE(out.find("<COORDONNEESS EOF=\"1\" RecordName=\"COORDONNEES\"/>"), std::string::npos);
  EXPECT_NE(out.find("<idVO>1</idVO>"), std::string::npos);
  EXPECT_EQ(out.find("<idVO>2</idVO>"), std::string::npos);
  EXPECT_NE(out.find("<idVO>3</idVO>"), std::string::npos);
  EXPECT_EQ(out.find("<idVO>5</idVO>"), std::string::npos);
}

TEST_F(XmlCursorLeaveOut, RefusesWhatItCannotWriteAsTheCopyWould) {
  // A blank value set after loading: a saved copy would lose it.
  IXMLCursor unsettled;
  unsettled.LoadXML("<document><DataVOS><DataVO><idVO>1</idVO></DataVO></DataVOS></document>");
  unsettled.Select("/document/DataVOS/DataVO").SetValue("Blanc", "  ");
  EXPECT_FALSE(unsettled.SavedCopyIsSame());
  // As parsed, or changed since: the copy is the same only where reading the saved text gives the same.
  const std::pair<std::string, bool> loaded[] = {
      {"<a><b>x</b><c/></a>", true},           {"<a xml:space=\"preserve\"><b> </b></a>", true},
      {"<a><!--note--><b>x</b></a>", false},  {"<a><?job run?></a>", false},
      {"<a><![CDATA[x]]></a>", false},        {"<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>", false},
      {"<a>&lt;&#233;&#13;</a>", true}};
  for (const auto& [text, same] : loaded) {
    IXMLCursor doc;
    doc.LoadXML(text);
    EXPECT_EQ(doc.SavedCopyIsSame(), same) << text;
  }
  IXMLCursor attribute, appended, deleted;
  attribute.LoadXML("<a><b>x</b></a>");
  attribute.Select("b").SetAttribute("k", std::string("bell\x07"));
  EXPECT_FALSE(attribute.SavedCopyIsSame());
  appended.LoadXML("<a><b>x</b></a>");
  appended.AppendChild("c", " ");
  EXPECT_FALSE(appended.SavedCopyIsSame());
  deleted.LoadXML("<a>x<b/>y</a>");
  deleted.Select("b").Delete();
  EXPECT_FALSE(deleted.SavedCopyIsSame());  // the two texts now side by side

  // Namespaces are libxml2's to write.
  IXMLCursor spaced;
  spaced.LoadXML("<document xmlns:k=\"urn:k\"><DataVOS><DataVO><k:idVO>1</k:idVO></DataVO></DataVOS></document>");
  std::string out = "untouched";
  EXPECT_FALSE(spaced.GetXMLLeavingOut({}, out));
  EXPECT_EQ(out, "untouched");

  // The root cannot be left out, nor a node of another document.
  IXMLCursor plain, other;
  plain.LoadXML("<document><DataVOS><DataVO/></DataVOS></document>");
  other.LoadXML("<document><DataVOS><DataVO/></DataVOS></document>");
  EXPECT_FALSE(plain.GetXMLLeavingOut({plain.Select("/document")}, out));
  EXPECT_FALSE(plain.GetXMLLeavingOut({other.Select("/document/DataVOS/DataVO")}, out));
  EXPECT_EQ(out, "untouched");
  ASSERT_TRUE(plain.GetXMLLeavingOut({plain.Select("/document/DataVOS/DataVO")}, out));
  EXPECT_EQ(out, "<document><DataVOS/></document>\n");  // emptied, written as the copy writes it
}

}  // namespace
}  // namespace tarvelon
