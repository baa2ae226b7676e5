// A child's value by its name (GetValue, SetValue) finds the first child of
// that name, as a walk over the children does, however the record changed
// before: misses, deletions, appends, and in a copied document.
#include <gtest/gtest.h>

#include <random>

#include "platform/text.h"
#include "stock/xml_cursor.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

using testing::ScopedEnv;
using testing::TempFolder;

// More children than are walked without an index, some names twice.
std::string WideRecord() {
  std::string xml = "<document><DataVOS><DataVO>";
  for (int i = 0; i < 12; ++i) xml += "<F" + std::to_string(i) + ">v" + std::to_string(i) + "</F" + std::to_string(i) + ">";
  xml += "<F3>second 3</F3><F11>second 11</F11><Mixed>a<b>c</b>d</Mixed><Cdata><![CDATA[x<y]]></Cdata>";
  return xml + "</DataVO></DataVOS></document>";
}

// What the XPath engine alone finds for the name: the value of the first node.
std::string ByXPath(const IXMLCursor& record, const std::string& name) {
  IXMLCursor found = record.SelectByXPath(name);
  return found.Eof() ? std::string() : found.GetValue(".");
}

TEST(XmlChildNames, MissesDeletionsAndAppendsAgreeWithAWalk) {
  IXMLCursor doc;
  doc.LoadXML(WideRecord());
  IXMLCursor record = doc.Select("/document/DataVOS/DataVO");
  // A miss first (the index is made here), then the name appended.
  EXPECT_EQ(record.GetValue("IDPHOTO1"), "");
  record.SetValue("IDPHOTO1", "p1");
  EXPECT_EQ(record.GetValue("IDPHOTO1"), "p1");
  // AppendChild after a miss is found too, and stays behind an existing first.
  EXPECT_EQ(record.GetValue("Added"), "");
  record.AppendChild("Added", "first");
  record.AppendChild("Added", "later");
  EXPECT_EQ(record.GetValue("Added"), "first");
  // The deleted first child gives way to the next of its name, then to none.
  record.Select("F3").Delete();
  EXPECT_EQ(record.GetValue("F3"), "second 3");
  record.Select("F3").Delete();
  EXPECT_EQ(record.GetValue("F3"), "");
  record.SetValue("F3", "again");
  EXPECT_EQ(record.GetValue("F3"), "again");
  EXPECT_EQ(record.Select("F3").Count(), 1);
  // Mixed content and CDATA read as before.
  EXPECT_EQ(record.GetValue("Mixed"), "acd");
  EXPECT_EQ(record.GetValue("Cdata"), "x<y");
  // A value set over element children replaces them; the name is still found.
  record.SetValue("Mixed", Ansi("été"));
  EXPECT_EQ(record.GetValue("Mixed"), Ansi("été"));
  EXPECT_EQ(record.Select("Mixed").GetXML(), Ansi("<Mixed>été</Mixed>"));
}

// Random changes to a wide record of a copied document (xmlCopyDoc keeps no
// name dictionary), each name compared with the XPath engine after each.
TEST(XmlChildNames, RandomChangesInACopiedDocumentAgreeWithXPath) {
  TempFolder drive;
  ScopedEnv driveC{"TARVELON_DRIVE_C", drive.path().c_str()};
  IXMLCursor source;
  source.LoadXML(WideRecord());
  source.Save("c:\\out\\wide.xml");
  IXMLCursor doc;
  doc.LoadSaved(source, "c:\\out\\wide.xml");
  IXMLCursor record = doc.Select("/document/DataVOS/DataVO");
  std::mt19937 random(16);
  const std::vector<std::string> names = {"F0", "F3", "F7", "F11", "N1", "N2", "Mixed"};
  for (int step = 0; step < 600; ++step) {
    const std::string& name = names[random() % names.size()];
    const std::string value = "s" + std::to_string(step);
    switch (random() % 5) {
      case 0: record.SetValue(name, value); break;
      case 1: record.AppendChild(name, value); break;
      case 2: {
        IXMLCursor children = record.Select(name);
        if (!children.Eof() && random() % 2) children.Next();
        if (!children.Eof()) children.Delete();
        break;
      }
      default: break;  // reads only
    }
    for (const std::string& each : names) ASSERT_EQ(record.GetValue(each), ByXPath(record, each)) << step << " " << each;
  }
  // The source document is untouched by all of it.
  EXPECT_EQ(source.Select("/document/DataVOS/DataVO").GetValue("F3"), "v3");
}

// More wide records than lookup tables are kept for, visited in turn and
// then at random with changes: a record not asked for lately is looked up
// afresh, and agrees with XPath.
TEST(XmlChildNames, ManyRecordsVisitedAtRandomAgreeWithXPath) {
  constexpr int kRecords = 700;
  std::string xml = "<document><DataVOS>";
  for (int r = 0; r < kRecords; ++r) {
    xml += "<DataVO><idVO>" + std::to_string(r) + "</idVO>";
    for (int i = 0; i < 12; ++i) xml += "<F" + std::to_string(i) + ">" + std::to_string(r * 100 + i) + "</F" + std::to_string(i) + ">";
    xml += "</DataVO>";
  }
  IXMLCursor doc;
  doc.LoadXML(xml + "</DataVOS></document>");
  const auto recordNumber = [&doc](int r) {
    return doc.SelectWhereChildIs("/document/DataVOS/DataVO", "idVO", std::to_string(r));
  };
  for (int r = 0; r < kRecords; ++r) ASSERT_EQ(recordNumber(r).GetValue("F5"), std::to_string(r * 100 + 5));
  std::mt19937 random(20261210);
  const std::vector<std::string> names = {"F0", "F5", "F11", "N1"};
  for (int step = 0; step < 3000; ++step) {
    IXMLCursor record = recordNumber(static_cast<int>(random() % kRecords));
    const std::string& name = names[random() % names.size()];
    switch (random() % 4) {
      case 0: record.SetValue(name, "s" + std::to_string(step)); break;
      case 1: record.AppendChild(name, "a" + std::to_string(step)); break;
      case 2: {
        IXMLCursor children = record.Select(name);
        if (!children.Eof()) children.Delete();
        break;
      }
      default: break;  // reads only
    }
    for (const std::string& each : names) ASSERT_EQ(record.GetValue(each), ByXPath(record, each)) << step << " " << each;
  }
}

}  // namespace
}  // namespace tarvelon
