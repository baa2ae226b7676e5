// The one text of an element, as read or as set on a new element, is kept in
// the element itself until the document reaches libxml2 (XPath, its writer,
// a copy): whichever form it is in, the document reads, writes, saves and
// selects the same.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "stock/xml_cursor.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

using testing::ReadHostFile;
using testing::ScopedEnv;
using testing::TempFolder;

// One record grown the way the feeds grow theirs: short and long values,
// values replaced (by a blank one too), a child and an attribute on an
// element that has a value, and values that need a text node of their own.
IXMLCursor Grown() {
  IXMLCursor doc;
  doc.LoadXML(Ansi("<?xml version=\"1.0\" encoding=\"windows-1252\"?><r><a>x</a></r>"));
  IXMLCursor r = doc.Select("/r");
  r.SetValue("O", "O");
  r.SetValue("Long", Ansi("Climatisation & régulateur <auto> \"été\" 12 €"));
  r.SetValue("Blank", "  ");
  r.SetValue("Empty", "");
  r.SetValue("Twice", "first");
  r.SetValue("Twice", "second");
  r.SetValue("Blanked", "value");
  r.SetValue("Blanked", " ");
  r.SetValue("Line", "a\r\nb");
  IXMLCursor parent = r.AppendChild("Parent", "text");
  parent.AppendChild("Child", "1");
  r.Select("O").SetAttribute("k", "v");
  // Attribute values: escaped, empty, replaced, set as a value.
  IXMLCursor longValue = r.Select("Long");
  longValue.SetAttribute("a", Ansi("x & <y> \"z\"\t\n"));
  longValue.SetAttribute("empty", "");
  longValue.SetAttribute("k2", "one");
  longValue.SetAttribute("k2", "two");
  longValue.SetValue("@viaValue", "w");
  return doc;
}

const char* const kGrown =
    "<r><a>x</a><O k=\"v\">O</O><Long a=\"x &amp; &lt;y&gt; &quot;z&quot;&#9;&#10;\" empty=\"\" k2=\"two\" viaValue=\"w\">Climatisation &amp; régulateur &lt;auto&gt; \"été\" 12 €</Long>"
    "<Blank>  </Blank><Empty/><Twice>second</Twice><Blanked> </Blanked><Line>a&#13;\nb</Line>"
    "<Parent>text<Child>1</Child></Parent></r>";

class XmlLeafText : public ::testing::Test {
 protected:
  TempFolder drive;
  ScopedEnv driveC{"TARVELON_DRIVE_C", drive.path().c_str()};
};

TEST_F(XmlLeafText, AGrownDocumentIsTheSameBeforeAndAfterTheLibraryReadsIt) {
  IXMLCursor kept = Grown();
  const std::string written = kept.GetXML();
  EXPECT_EQ(written, "<?xml version=\"1.0\"?>\n" + Ansi(kGrown) + "\n");
  EXPECT_EQ(kept.Select("/r").GetValue("Long"), Ansi("Climatisation & régulateur <auto> \"été\" 12 €"));
  EXPECT_EQ(kept.Select("/r").GetValue("Twice"), "second");
  EXPECT_EQ(kept.Select("/r/Long").GetValue("@a"), Ansi("x & <y> \"z\"\t\n"));
  EXPECT_EQ(kept.Select("/r/Long/@k2").GetValue("."), "two");
  EXPECT_EQ(kept.Select("/r/Parent").GetValue("."), "text1");
  kept.Save("C:\\kept.xml");

  // The XPath engine sees every value, and the document writes as before.
  IXMLCursor spread = Grown();
  IXMLCursor found = spread.SelectByXPath("/r/*[. = 'second' or . = 'O']");
  ASSERT_EQ(found.Count(), 2);
  EXPECT_EQ(found.GetXML(), "<O k=\"v\">O</O>");
  EXPECT_EQ(spread.SelectByXPath("/r/Long[@k2 = 'two' and @viaValue = 'w' and @empty = '']").Count(), 1);
  EXPECT_EQ(spread.Select("/r/Long").GetValue("@a"), Ansi("x & <y> \"z\"\t\n"));
  EXPECT_EQ(spread.GetXML(), written);
  spread.Save("C:\\spread.xml");
  EXPECT_EQ(ReadHostFile(drive.path() + "/kept.xml"), ReadHostFile(drive.path() + "/spread.xml"));

  // Values set once the library has read the tree take text nodes.
  spread.Select("/r").SetValue("After", "O");
  kept.Select("/r").SetValue("After", "O");
  EXPECT_EQ(spread.GetXML(), kept.GetXML());

  // Reading the text drops its blank values; an in-memory copy of the
  // document gives the same.
  IXMLCursor reloaded;
  reloaded.LoadXML(written);
  const std::string read = ReplaceAll(ReplaceAll(written, "<Blank>  </Blank>", "<Blank/>"), "<Blanked> </Blanked>", "<Blanked/>");
  EXPECT_EQ(reloaded.GetXML(), read);
  IXMLCursor copy;
  copy.LoadSaved(Grown(), "C:\\kept.xml");
  EXPECT_EQ(copy.Select("/r").GetValue("O"), "O");
  EXPECT_EQ(copy.GetXML(), read);
}

TEST_F(XmlLeafText, RecordsAreFoundByAValueSetThroughTheCursor) {
  IXMLCursor doc;
  doc.LoadXML("<d><V><id>1</id></V><V><id>2</id></V><V><id>3</id></V></d>");
  for (IXMLCursor v = doc.Select("/d/V"); !v.Eof(); v.Next()) v.SetValue("key", "k" + v.GetValue("id"));
  IXMLCursor two = doc.Select("/d/V[key='k2']");
  ASSERT_EQ(two.Count(), 1);
  EXPECT_EQ(two.GetValue("id"), "2");
  EXPECT_EQ(doc.SelectWhereChildIs("/d/V", "key", "k3").GetValue("id"), "3");
  EXPECT_EQ(doc.Select("/d").GetValue("."), "1k12k23k3");
  EXPECT_EQ(doc.SelectByXPath("/d/V[key='k1']").GetValue("id"), "1");
}

TEST_F(XmlLeafText, ReadTextsAreTheSameInEitherForm) {
  // A text that starts blank and grows; a blank one, dropped; mixed content;
  // an attribute; a CDATA section and a comment, which stay nodes.
  const std::string text = Ansi(
      "<?xml version=\"1.0\" encoding=\"windows-1252\"?><r><a> &amp; b</a><b> </b><c>x<d>été</d>y</c>"
      "<e k=\"1\">v</e><f><![CDATA[<z>]]></f><g><!--n-->w</g></r>");
  const std::string written = Ansi(
      "<?xml version=\"1.0\"?>\n<r><a> &amp; b</a><b/><c>x<d>été</d>y</c><e k=\"1\">v</e>"
      "<f><![CDATA[<z>]]></f><g><!--n-->w</g></r>\n");
  IXMLCursor kept, spread;
  kept.LoadXML(text);
  spread.LoadXML(text);
  ASSERT_EQ(spread.SelectByXPath(Ansi("//*[. = 'été']")).GetValue("."), Ansi("été"));
  for (IXMLCursor* doc : {&kept, &spread}) {
    EXPECT_EQ(doc->GetXML(), written);
    EXPECT_EQ(doc->Select("/r").GetValue("a"), " & b");
    EXPECT_EQ(doc->Select("/r").GetValue("c"), Ansi("xétéy"));
    EXPECT_EQ(doc->SelectWhereChildIs("/r", "e", "v").Count(), 1);
  }
  kept.Save("C:\\kept.xml");
  spread.Save("C:\\spread.xml");
  EXPECT_EQ(ReadHostFile(drive.path() + "/kept.xml"), ReadHostFile(drive.path() + "/spread.xml"));

  // With a DTD, entity content is libxml2's to copy: the texts stay nodes.
  IXMLCursor entities;
  entities.LoadXML("<!DOCTYPE r [<!ENTITY w \"<x>word</x>\">]><r>&w;&w;</r>");
  EXPECT_EQ(entities.Select("/r").GetValue("."), "wordword");
  EXPECT_EQ(entities.GetXML(), "<!DOCTYPE r [\n<!ENTITY w \"<x>word</x>\">\n]>\n<r>&w;&w;</r>\n");
}

}  // namespace
}  // namespace tarvelon
