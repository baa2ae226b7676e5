// The cursor's operations: walking, reading, writing, deleting, appending.
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/text.h"
#include "stock/xml_cursor.h"

namespace tarvelon {
namespace {

const char* const kFiveRecords =
    "<?xml version=\"1.0\"?>"
    "<document><DataVOS EOF=\"0\" RecordName=\"DataVO\">"
    "<DataVO><idVO>1</idVO><VERSION>v1</VERSION><Kilometrage>1000</Kilometrage></DataVO>"
    "<DataVO><idVO>2</idVO><Kilometrage/></DataVO>"
    "<DataVO><idVO>3</idVO><VERSION>v3</VERSION></DataVO>"
    "<DataVO><idVO>4</idVO></DataVO>"
    "<DataVO><idVO>5</idVO><Options><a>x</a><b>y</b></Options></DataVO>"
    "</DataVOS></document>";

IXMLCursor Records(IXMLCursor& doc) {
  doc.LoadXML(kFiveRecords);
  return doc.Select("/document/DataVOS/DataVO");
}

TEST(XmlCursor, NewCursorHasNothing) {
  IXMLCursor c;
  EXPECT_TRUE(c.Eof());
  EXPECT_EQ(c.Count(), 0);
  EXPECT_EQ(c.GetValue("."), "");
  EXPECT_EQ(c.GetXML(), "");
  EXPECT_TRUE(c.Select("/document").Eof());
  c.Next();
  EXPECT_TRUE(c.Eof());
  c.SetValue("x", "y");
  c.Delete();
  c.Save("c:\\nowhere\\never.xml");  // without a document nothing happens
}

TEST(XmlCursor, LoadStandsOnTheRootAndWalksRecordsInOrder) {
  IXMLCursor doc;
  doc.LoadXML(kFiveRecords);
  EXPECT_FALSE(doc.Eof());
  EXPECT_EQ(doc.Count(), 1);
  IXMLCursor records = doc.Select("/document/DataVOS/DataVO");
  EXPECT_EQ(records.Count(), 5);
  std::string ids;
  for (; !records.Eof(); records.Next()) ids += records.GetValue("idVO");
  EXPECT_EQ(ids, "12345");
  // Past the last record: Eof, but the last record is still the current node.
  EXPECT_TRUE(records.Eof());
  EXPECT_EQ(records.GetValue("idVO"), "5");
  records.Next();
  EXPECT_EQ(records.GetValue("idVO"), "5");
}

TEST(XmlCursor, AbsoluteSelectionFromAnyNodeGivesAllRecords) {
  IXMLCursor doc;
  IXMLCursor records = Records(doc);
  records.Next();
  records.Next();
  IXMLCursor options = records.Select("//Options/b");
  ASSERT_FALSE(options.Eof());
  IXMLCursor again = options.Select("/document/DataVOS/DataVO");
  EXPECT_EQ(again.Count(), 5);
  EXPECT_EQ(again.GetValue("idVO"), "1");
}

TEST(XmlCursor, GetValueReadsAllDescendantTextOrNothing) {
  IXMLCursor doc;
  IXMLCursor records = Records(doc);
  EXPECT_EQ(records.GetValue("Kilometrage"), "1000");
  records.Next();
  EXPECT_EQ(records.GetValue("Kilometrage"), "");  // present but empty
  records.Next();
  EXPECT_EQ(records.GetValue("Kilometrage"), "");  // missing
  records.Next();
  records.Next();
  EXPECT_EQ(records.GetValue("Options"), "xy");
  EXPECT_EQ(records.GetValue("."), "5xy");
  EXPECT_EQ(records.GetValue("Options/b"), "y");
  EXPECT_EQ(records.GetValue("../@RecordName"), "DataVO");
}

TEST(XmlCursor, SelectOnAnEmptySelectionStaysAtEof) {
  IXMLCursor doc;
  doc.LoadXML(kFiveRecords);
  IXMLCursor none = doc.Select("/document/Nothing");
  EXPECT_TRUE(none.Eof());
  EXPECT_EQ(none.Count(), 0);
  IXMLCursor deeper = none.Select("/document/DataVOS/DataVO");
  EXPECT_TRUE(deeper.Eof());
  EXPECT_EQ(deeper.GetValue("idVO"), "");
  deeper.SetValue("idVO", "9");
  deeper.SetAttribute("a", "b");
  deeper.Delete();
  EXPECT_EQ(doc.Select("/document/DataVOS/DataVO").Count(), 5);
  EXPECT_THROW(deeper.AppendChild("x", ""), Error);
}

TEST(XmlCursor, SetValueAppendsOnceThenChangesInPlace) {
  IXMLCursor doc;
  IXMLCursor records = Records(doc);
  records.SetValue("titre", "X");
  EXPECT_EQ(records.GetXML(),
            "<DataVO><idVO>1</idVO><VERSION>v1</VERSION><Kilometrage>1000</Kilometrage><titre>X</titre></DataVO>");
  records.SetValue("titre", "Y");
  records.SetValue("idVO", "7");
  EXPECT_EQ(records.GetXML(),
            "<DataVO><idVO>7</idVO><VERSION>v1</VERSION><Kilometrage>1000</Kilometrage><titre>Y</titre></DataVO>");
  // Short texts live in their node, longer ones apart: each replaces the other.
  for (const std::string& value : {std::string(15, 'a'), std::string(16, 'b'), std::string("c"), std::string(40, 'd')}) {
    records.SetValue("titre", value);
    records.SetValue("@court", value);
    EXPECT_EQ(records.GetValue("titre"), value);
    EXPECT_EQ(records.GetValue("@court"), value);
    EXPECT_EQ(records.Select("titre[.='" + value + "']").Count(), 1);
  }
  records.SetValue("titre", "");
  EXPECT_EQ(records.GetValue("titre"), "");
  EXPECT_NE(records.GetXML().find("<titre/>"), std::string::npos);
  // An element with element content gets the text alone.
  records.Next();
  records.Next();
  records.Next();
  records.Next();
  records.SetValue("Options", "plain");
  EXPECT_EQ(records.GetXML(), "<DataVO><idVO>5</idVO><Options>plain</Options></DataVO>");
}

TEST(XmlCursor, SetValueWithAtSetsAnAttribute) {
  IXMLCursor doc;
  IXMLCursor records = Records(doc);
  records.SetValue("@type", "a");
  records.SetAttribute("code", "b\"c");
  records.SetValue("@type", "d");
  EXPECT_EQ(records.GetValue("@type"), "d");
  EXPECT_EQ(records.GetXML().rfind("<DataVO type=\"d\" code=\"b&quot;c\"><idVO>", 0), 0u);
}

TEST(XmlCursor, InvalidNamesAndPathsFail) {
  IXMLCursor doc;
  IXMLCursor records = Records(doc);
  try {
    records.Select("/document/DataVOS/DataVO[idVO=]");
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "Invalid expression : /document/DataVOS/DataVO[idVO=]");
  }
  EXPECT_THROW(records.Select("count(idVO)"), Error);  // not a node set
  EXPECT_THROW(records.GetValue("a b"), Error);
  EXPECT_THROW(records.SetValue("bad name", "x"), Error);
  EXPECT_THROW(records.AppendChild("1abc", ""), Error);
  EXPECT_THROW(records.SetAttribute("a b", "x"), Error);
  IXMLCursor text = records.Select("idVO/text()");
  ASSERT_FALSE(text.Eof());
  EXPECT_THROW(text.SetAttribute("a", "x"), Error);
}

TEST(XmlCursor, DeleteRemovesTheElementOrNothing) {
  IXMLCursor doc;
  IXMLCursor records = Records(doc);
  records.Select("VERSION").Delete();
  EXPECT_EQ(records.GetXML(), "<DataVO><idVO>1</idVO><Kilometrage>1000</Kilometrage></DataVO>");
  records.Next();
  IXMLCursor none = records.Select("VERSION");
  none.Delete();  // the record has none
  EXPECT_EQ(records.GetXML(), "<DataVO><idVO>2</idVO><Kilometrage/></DataVO>");
}

TEST(XmlCursor, AWalkThatDeletesStillVisitsEveryRecordOnce) {
  IXMLCursor doc;
  IXMLCursor records = Records(doc);
  std::string visited;
  for (; !records.Eof(); records.Next()) {
    std::string id = records.GetValue("idVO");
    visited += id;
    if (id == "2" || id == "3") records.Delete();
  }
  EXPECT_EQ(visited, "12345");
  EXPECT_TRUE(records.Eof());
  std::string left;
  for (IXMLCursor r = doc.Select("/document/DataVOS/DataVO"); !r.Eof(); r.Next()) left += r.GetValue("idVO");
  EXPECT_EQ(left, "145");
}

TEST(XmlCursor, NodesDeletedThroughAnotherCursorStayReadable) {
  IXMLCursor doc;
  IXMLCursor records = Records(doc);
  IXMLCursor sameRecords = doc.Select("/document/DataVOS/DataVO");
  IXMLCursor versions = doc.Select("//VERSION");
  ASSERT_EQ(versions.Count(), 2);
  doc.Select("/document/DataVOS").Delete();  // the whole list goes
  for (; !sameRecords.Eof(); sameRecords.Next()) {
    sameRecords.GetValue("idVO");
    sameRecords.SetValue("titre", "t");
    sameRecords.AppendChild("x", "y");
    sameRecords.Select("VERSION").Delete();
    sameRecords.Delete();
    sameRecords.GetXML();
  }
  for (; !versions.Eof(); versions.Next()) {
    versions.SetValue(".", "changed");
    versions.Delete();
  }
  EXPECT_EQ(doc.GetXML(), "<?xml version=\"1.0\"?>\n<document/>\n");
  // Replacing the document leaves the old lists readable too.
  doc.LoadXML("<other/>");
  EXPECT_EQ(records.GetValue("idVO"), "1");
  EXPECT_EQ(records.Select("/document/DataVOS/DataVO").Count(), 0);
}

TEST(XmlCursor, LoadReplacesTheSharedDocument) {
  IXMLCursor doc;
  IXMLCursor records = Records(doc);
  IXMLCursor sharer = records.Select("..");
  sharer.LoadXML("<document><DataVOS><DataVO><idVO>9</idVO></DataVO></DataVOS></document>");
  IXMLCursor fresh = sharer.Select("/document/DataVOS/DataVO");
  EXPECT_EQ(fresh.GetValue("idVO"), "9");
  // A list taken before keeps the nodes of the old content.
  EXPECT_EQ(records.GetValue("idVO"), "1");
}

TEST(XmlCursor, AppendChildStandsOnTheNewLastChild) {
  IXMLCursor doc;
  IXMLCursor records = Records(doc);
  IXMLCursor added = records.AppendChild("photo1", "aaa/bb/name");
  EXPECT_FALSE(added.Eof());
  EXPECT_EQ(added.Count(), 4);
  EXPECT_EQ(added.GetValue("."), "aaa/bb/name");
  added.Next();
  EXPECT_TRUE(added.Eof());
  IXMLCursor empty = records.AppendChild("vide", "");
  EXPECT_EQ(empty.GetXML(), "<vide/>");
  EXPECT_EQ(records.GetXML(),
            "<DataVO><idVO>1</idVO><VERSION>v1</VERSION><Kilometrage>1000</Kilometrage>"
            "<photo1>aaa/bb/name</photo1><vide/></DataVO>");
  added.SetAttribute("n", "1");
  EXPECT_EQ(added.GetXML(), "<photo1 n=\"1\">aaa/bb/name</photo1>");
}

TEST(XmlCursor, AppendChildWithoutDocumentCreatesOne) {
  IXMLCursor c;
  IXMLCursor root = c.AppendChild("annonces", "");
  EXPECT_FALSE(root.Eof());
  root.AppendChild("annonce", "a & b");
  EXPECT_EQ(root.GetXML(), "<annonces><annonce>a &amp; b</annonce></annonces>\n");
  EXPECT_EQ(c.Select("/annonces").Count(), 0);  // c itself stands nowhere
}

TEST(XmlCursor, AppendChildOnADocumentWithoutCurrentNodeFails) {
  IXMLCursor doc;
  doc.LoadXML("<a/>");
  IXMLCursor none = doc.Select("b");
  try {
    none.AppendChild("c", "");
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "TXMLCursor.AppendChild - EOF");
  }
}

TEST(XmlCursor, ValuesCrossAsWindows1252) {
  IXMLCursor doc;
  doc.LoadXML(Ansi("<a><b>Réservé €</b><c>&#x65E5;&#x672C;</c></a>"));
  EXPECT_EQ(doc.GetValue("b"), Ansi("Réservé €"));
  EXPECT_EQ(doc.GetValue("c"), "??");  // outside the code page
  doc.SetValue("d", Ansi("Démarrer œuvre"));
  EXPECT_EQ(doc.GetValue("d"), Ansi("Démarrer œuvre"));
  EXPECT_EQ(doc.Select(Ansi("d[.='Démarrer œuvre']")).Count(), 1);
}


// A long text reaches the parser a piece at a time: characters of several
// bytes fall across every piece's end, and a value spans pieces.
TEST(XmlCursor, ALongTextReadsTheSameAcrossItsPieces) {
  std::string text = "<a>";
  std::string expected;
  for (int i = 0; i < 40000; ++i) {
    const std::string value = Ansi("é€") + std::to_string(i);
    text += "<v>" + value + "</v>";
    if (i == 20000) expected = value;
  }
  const std::string longValue(300000, '\xE9');
  text += "<long>" + longValue + "</long></a>";
  IXMLCursor doc;
  doc.LoadXML(text);
  EXPECT_EQ(doc.Select("v").Count(), 40000);
  EXPECT_EQ(doc.Select("v[20001]").GetValue("."), expected);
  EXPECT_EQ(doc.GetValue("long"), longValue);
  EXPECT_EQ(doc.GetXML(), text + "\n");
}
TEST(XmlCursor, NamespacesOfTheRootServeLaterPaths) {
  IXMLCursor doc;
  doc.LoadXML("<r xmlns:v=\"urn:v\"><v:item>1</v:item></r>");
  EXPECT_THROW(doc.Select("v:item"), Error);  // LoadXML collects none
}

}  // namespace
}  // namespace tarvelon
