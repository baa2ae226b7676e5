// A save followed by a reload, done in memory (SaveAndReload, LoadSaved),
// leaves the cursor with what reading the saved file gives.
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/text.h"
#include "stock/xml_cursor.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

using testing::ReadHostFile;
using testing::ScopedEnv;
using testing::TempFolder;

class XmlCursorReload : public ::testing::Test {
 protected:
  // A document changed after loading the way exporters change it: blank
  // values, a record deleted between two texts of mixed content, values
  // outside the code page of the file.
  IXMLCursor Changed() {
    IXMLCursor doc;
    doc.LoadXML(Ansi("<?xml version=\"1.0\" encoding=\"windows-1252\"?><document><DataVOS>"
                     "<DataVO><idVO>1</idVO><Note>avant<x/>après</Note></DataVO>"
                     "<DataVO><idVO>2</idVO></DataVO></DataVOS></document>"));
    IXMLCursor records = doc.Select("/document/DataVOS/DataVO");
    records.SetValue("Blanc", "   ");
    records.SetValue("Ligne", "a\r\n");
    records.SetValue("Prix", Ansi("12 € TTC"));
    records.Select("Note/x").Delete();
    records.Next();
    records.SetValue("@code", " a\tb ");
    return doc;
  }

  TempFolder drive;
  ScopedEnv driveC{"TARVELON_DRIVE_C", drive.path().c_str()};
};

TEST_F(XmlCursorReload, SaveAndReloadGivesWhatLoadingTheFileGives) {
  IXMLCursor inMemory = Changed();
  inMemory.SaveAndReload("c:\\out\\a.xml");
  IXMLCursor fromFile = Changed();
  fromFile.Save("c:\\out\\b.xml");
  fromFile.Load("c:\\out\\b.xml");

  EXPECT_EQ(inMemory.GetXML(), fromFile.GetXML());
  EXPECT_EQ(ReadHostFile(drive / "out/a.xml"), ReadHostFile(drive / "out/b.xml"));
  // The blank value is gone as reading drops it; the texts around the deleted element are one.
  IXMLCursor record = inMemory.Select("/document/DataVOS/DataVO");
  EXPECT_EQ(record.GetValue("Blanc"), "");
  EXPECT_EQ(record.Select("Note").GetXML(), Ansi("<Note>avantaprès</Note>"));
  EXPECT_EQ(record.Select("Note/text()").Count(), 1);
  EXPECT_EQ(record.GetValue("Ligne"), "a\r\n");
  // Both stand on the root alone, as Load leaves a cursor.
  EXPECT_EQ(inMemory.Count(), 1);
  EXPECT_EQ(inMemory.GetXML(), fromFile.GetXML());
}

// A save that finds nothing to settle spares the walk of the reload; each
// change that reading would undo is found, in every encoding.
TEST_F(XmlCursorReload, ASaveTellsWhetherReadingItBackChangesAnything) {
  using Change = void (*)(IXMLCursor&);
  const std::pair<Change, bool> changes[] = {
      {[](IXMLCursor& r) { r.SetValue("Prix", Ansi("12 € TTC")); }, true},
      {[](IXMLCursor& r) { r.SetValue("@code", "a\tb\n"); }, true},
      {[](IXMLCursor& r) { r.SetValue("Blanc", " \t"); }, false},
      {[](IXMLCursor& r) { r.AppendChild("Vide", ""); }, true},
      {[](IXMLCursor& r) { r.SetValue("Cloche", std::string("a\x07")); }, false},
      {[](IXMLCursor& r) { r.SetValue("@cloche", std::string("\x1f")); }, false},
      {[](IXMLCursor& r) { r.Select("Note/x").Delete(); }, false},
  };
  for (const char* encoding : {"windows-1252", "ISO-8859-15", "UTF-8"}) {
    for (const auto& [change, settled] : changes) {
      IXMLCursor doc;
      doc.LoadXML(Ansi(std::string("<?xml version=\"1.0\" encoding=\"") + encoding +
                       "\"?><document><DataVOS><DataVO><idVO>1</idVO><Note>avant<x/>après</Note></DataVO>"
                       "</DataVOS></document>"));
      IXMLCursor record = doc.Select("/document/DataVOS/DataVO");
      change(record);
      doc.Save("c:\\out\\s.xml");
      EXPECT_EQ(doc.SavedCopyIsSame(), settled) << encoding;
      IXMLCursor fromFile;
      bool readable = true;
      try {
        fromFile.Load("c:\\out\\s.xml");
      } catch (const Error&) {
        readable = false;
      }
      if (!readable) {
        EXPECT_THROW(doc.SaveAndReload("c:\\out\\r.xml"), Error);
        continue;
      }
      doc.SaveAndReload("c:\\out\\r.xml");
      EXPECT_EQ(doc.GetXML(), fromFile.GetXML()) << encoding;
    }
  }
}

TEST_F(XmlCursorReload, LoadSavedCopiesTheSavedDocumentAndLeavesTheSourceAlone) {
  IXMLCursor source = Changed();
  source.Save("c:\\out\\p.xml");
  IXMLCursor copy;
  copy.LoadSaved(source, "c:\\out\\p.xml");
  IXMLCursor fromFile;
  fromFile.Load("c:\\out\\p.xml");
  EXPECT_EQ(copy.GetXML(), fromFile.GetXML());

  copy.Select("/document/DataVOS/DataVO").Delete();
  EXPECT_EQ(source.Select("/document/DataVOS/DataVO").Count(), 2);
  EXPECT_EQ(copy.Select("/document/DataVOS/DataVO").Count(), 1);
}

TEST_F(XmlCursorReload, TextsReadingWouldRefuseAreReadFromTheFile) {
  IXMLCursor doc;
  doc.LoadXML("<a><b>x</b></a>");
  doc.Select("b").SetValue("c", std::string("bell\x07"));
  // The saved file does not parse: the reload fails as Load of it does.
  EXPECT_THROW(doc.SaveAndReload("c:\\out\\bad.xml"), Error);
  // Wherever the refused character stands in a longer text; TAB, LF and CR are read.
  for (const char c : {'\x01', '\x1f', '\t', '\n', '\r'}) {
    for (size_t at = 0; at <= 20; ++at) {
      std::string text(20, 'v');
      text.insert(at, 1, c);
      IXMLCursor again;
      again.LoadXML("<a><b>x</b></a>");
      again.Select("b").SetValue("c", text);
      if (c < '\t' || c > '\r') {
        EXPECT_THROW(again.SaveAndReload("c:\\out\\bad.xml"), Error) << at;
      } else {
        again.SaveAndReload("c:\\out\\good.xml");
        EXPECT_EQ(again.Select("b").GetValue("c"), text) << at;
      }
    }
  }
}

TEST_F(XmlCursorReload, SaveEachWritesTheSameBytesToEveryFile) {
  IXMLCursor doc = Changed();
  doc.SaveEach({"c:\\out\\one.xml", "c:\\out\\two\\copy.xml"});
  doc.Save("c:\\out\\three.xml");
  EXPECT_EQ(ReadHostFile(drive / "out/one.xml"), ReadHostFile(drive / "out/three.xml"));
  EXPECT_EQ(ReadHostFile(drive / "out/two/copy.xml"), ReadHostFile(drive / "out/three.xml"));
  EXPECT_THROW(doc.SaveEach({"c:\\out\\four.xml", "blank.xml"}), Error);
  EXPECT_EQ(ReadHostFile(drive / "out/four.xml"), ReadHostFile(drive / "out/three.xml"));
}

}  // namespace
}  // namespace tarvelon
