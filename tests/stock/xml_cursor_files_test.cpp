// What the cursor writes, byte for byte, and how it loads and saves files.
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/text.h"
#include "stock/xml_cursor.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

using testing::ReadHostFile;
using testing::RunCommand;
using testing::ScopedEnv;
using testing::TempFolder;
using testing::WriteHostFile;

class XmlCursorFiles : public ::testing::Test {
 protected:
  TempFolder drive;
  ScopedEnv driveC{"TARVELON_DRIVE_C", drive.path().c_str()};
};

const char* const kMixed =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!-- stock -->\n"
    "<document>\n"
    "  <DataVOS EOF=\"1\" RecordName=\"DataVO\">\n"
    "    <DataVO>\n"
    "      <idVO> 12 </idVO>\n"
    "      <Vide></Vide>\n"
    "      <Blanc>   </Blanc>\n"
    "      <Texte>a &amp; b &lt; c &gt; d \"e\" 'f'</Texte>\n"
    "      <Attr z='1' a=\"x &quot;y&quot; &amp; &lt;\" m='it&apos;s'/>\n"
    "      <Mixte>un <b>deux</b> trois <i>quatre</i></Mixte>\n"
    "      <Brut><![CDATA[<pas une balise>]]></Brut>\n"
    "    </DataVO>\n"
    "  </DataVOS>\n"
    "</document>\n";

const char* const kMixedOut =
    "<?xml version=\"1.0\"?>\n"
    "<!-- stock -->\n"
    "<document><DataVOS EOF=\"1\" RecordName=\"DataVO\"><DataVO>"
    "<idVO> 12 </idVO><Vide/><Blanc/>"
    "<Texte>a &amp; b &lt; c &gt; d \"e\" 'f'</Texte>"
    "<Attr z=\"1\" a=\"x &quot;y&quot; &amp; &lt;\" m=\"it's\"/>"
    "<Mixte>un <b>deux</b> trois <i>quatre</i></Mixte>"
    "<Brut><![CDATA[<pas une balise>]]></Brut>"
    "</DataVO></DataVOS></document>\n";

TEST_F(XmlCursorFiles, SerializationIsExact) {
  IXMLCursor doc;
  doc.LoadXML(kMixed);
  EXPECT_EQ(doc.GetXML(), kMixedOut);
  IXMLCursor record = doc.Select("/document/DataVOS/DataVO");
  EXPECT_EQ(record.Select("Attr").GetXML(), "<Attr z=\"1\" a=\"x &quot;y&quot; &amp; &lt;\" m=\"it's\"/>");
  EXPECT_EQ(record.GetValue("Blanc"), "");
  EXPECT_EQ(record.GetValue("Mixte"), "un deux trois quatre");
  EXPECT_EQ(record.GetValue("Brut"), "<pas une balise>");
  // Reloading what was written changes nothing.
  IXMLCursor again;
  again.LoadXML(doc.GetXML());
  EXPECT_EQ(again.GetXML(), kMixedOut);
}

TEST_F(XmlCursorFiles, SpacePreserveKeepsBlankText) {
  IXMLCursor doc;
  doc.LoadXML("<a xml:space=\"preserve\"> <b> </b></a>");
  EXPECT_EQ(doc.GetXML(), "<a xml:space=\"preserve\"> <b> </b></a>\n");
}

// Whitespace-only texts go wherever they come from (literal, character
// references, around comments, longer than the parser's buffer, in a
// document with a DTD), unless xml:space says to keep them.
TEST_F(XmlCursorFiles, BlankTextsGoWhereverTheyComeFrom) {
  const std::string longBlank(5000, ' ');
  const std::pair<std::string, std::string> cases[] = {
      {"<a> <b>x</b>\n\t</a>", "<a><b>x</b></a>\n"},
      {"<a>&#32;&#10;</a>", "<a/>\n"},
      {"<a>&#13;<b/></a>", "<a><b/></a>\n"},
      {"<a> <!--c--> <b> x </b> </a>", "<a><!--c--><b> x </b></a>\n"},
      {"<a>" + longBlank + "</a>", "<a/>\n"},
      {"<a>" + longBlank + "x</a>", "<a>" + longBlank + "x</a>\n"},
      {"<a>" + longBlank + "&amp;</a>", "<a>" + longBlank + "&amp;</a>\n"},
      {"<a><![CDATA[ ]]> </a>", "<a><![CDATA[ ]]></a>\n"},
      {"<a xml:space=\"preserve\"><b xml:space=\"default\"> </b> </a>",
       "<a xml:space=\"preserve\"><b xml:space=\"default\"/> </a>\n"},
      {"<a xml:space=\"preserve\"><b><c> </c></b></a>", "<a xml:space=\"preserve\"><b><c> </c></b></a>\n"},
      {"<!DOCTYPE a [<!ENTITY e \" \">]><a> <b> </b>&e;</a>", "<!DOCTYPE a [\n<!ENTITY e \" \">\n]>\n<a><b/>&e;</a>\n"},
  };
  for (const auto& [in, out] : cases) {
    IXMLCursor doc;
    doc.LoadXML(in);
    EXPECT_EQ(doc.GetXML(), out) << in.substr(0, 80);
  }
}

TEST_F(XmlCursorFiles, GetXmlDeclaresOnlyTheVersionWhateverTheFileDeclared) {
  WriteHostFile(drive / "in/latin.xml",
                "<?xml version=\"1.0\" encoding=\"ISO-8859-15\" standalone=\"yes\"?>\r\n<a>\xe9\xa4</a>\r\n");
  IXMLCursor doc;
  doc.Load("c:\\IN\\Latin.xml");  // case ignored, as on the system of origin
  EXPECT_EQ(doc.GetXML(), Ansi("<?xml version=\"1.0\"?>\n<a>é€</a>\n"));
  WriteHostFile(drive / "in/bare.xml", "<a>x</a>");
  doc.Load("c:\\in\\bare.xml");
  EXPECT_EQ(doc.GetXML(), "<a>x</a>\n");
}

TEST_F(XmlCursorFiles, SaveWritesTheDeclaredEncodingAndMakesFolders) {
  IXMLCursor doc;
  doc.LoadXML(Ansi("<?xml version=\"1.0\" encoding=\"ISO-8859-15\" ?><annonces><a>é € &amp; œ</a></annonces>"));
  doc.Save("c:\\out\\deep\\er\\latin.xml");
  std::string host = drive / "out/deep/er/latin.xml";
  EXPECT_EQ(ReadHostFile(host),
            "<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?>\n<annonces><a>\xe9 \xa4 &amp; \xbd</a></annonces>\n");
  EXPECT_EQ(RunCommand("xmllint --noout '" + host + "' 2>&1"), 0);

  doc.LoadXML(Ansi("<?xml version=\"1.0\"?><a>é</a>"));
  doc.Save("c:\\out\\utf8.xml");
  EXPECT_EQ(ReadHostFile(drive / "out/utf8.xml"), "<?xml version=\"1.0\"?>\n<a>\xc3\xa9</a>\n");
  EXPECT_EQ(RunCommand("xmllint --noout '" + drive / "out/utf8.xml" + "' 2>&1"), 0);

  IXMLCursor built;
  built.AppendChild("racine", Ansi("é"));
  built.Save("c:\\out\\built.xml");
  EXPECT_EQ(ReadHostFile(drive / "out/built.xml"), "<racine>\xc3\xa9</racine>\n");
}

TEST_F(XmlCursorFiles, EditedTextLoadsBackAndSavesInItsDeclaredEncoding) {
  IXMLCursor doc;
  doc.LoadXML(Ansi("<?xml version=\"1.0\"?><document><DataVO><t>Prix à débattre</t></DataVO></document>"));
  std::string text = doc.GetXML();
  text = ReplaceAll(text, "<?xml version=\"1.0\"?>", "<?xml version=\"1.0\" encoding=\"ISO-8859-15\" ?>");
  text = ReplaceAll(text, "<DataVO>", "<annonce>");
  text = ReplaceAll(text, "</DataVO>", "</annonce>");
  doc.LoadXML(text);
  doc.Save("c:\\out\\feed.xml");
  EXPECT_EQ(ReadHostFile(drive / "out/feed.xml"),
            "<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?>\n"
            "<document><annonce><t>Prix \xe0 d\xe9" "battre</t></annonce></document>\n");
}

TEST_F(XmlCursorFiles, SaveFailures) {
  IXMLCursor doc;
  doc.LoadXML("<a/>");
  try {
    doc.Save("plain.xml");
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "Cannot Create Blank Directory");
  }
  WriteHostFile(drive / "file", "x");
  try {
    doc.Save("c:\\file\\a.xml");
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.text().rfind("TXMLCursor.Save FileName: \"c:\\file\\a.xml\"\r\n", 0), 0u) << e.text();
    EXPECT_GT(e.text().size(), 45u);
  }
}

TEST_F(XmlCursorFiles, LoadOfAMissingFile) {
  IXMLCursor doc;
  try {
    doc.Load("c:\\projects\\kord\\data\\Tarvelon\\ExpDatasVPN.xml");
    FAIL();
  } catch (const Error& e) {
    const std::string head =
        "TXMLCursor.Load FileName[c:\\projects\\kord\\data\\Tarvelon\\ExpDatasVPN.xml] does not exists\r\n"
        "Error ";
    EXPECT_EQ(e.text().substr(0, head.size()), head);
    EXPECT_NE(e.text().find("in URL : \"c:\\projects\\kord\\data\\Tarvelon\\ExpDatasVPN.xml\"\r\n\r\nsrcText : "),
              std::string::npos);
  }
  EXPECT_TRUE(doc.Eof());
}

TEST_F(XmlCursorFiles, LoadOfAMalformedFileReportsWhereAndWhy) {
  WriteHostFile(drive / "bad.xml", "<?xml version=\"1.0\"?>\n<document>\n<DataVO><idVO>1</idVO>\n</document>\n");
  IXMLCursor doc;
  doc.LoadXML("<keep/>");
  try {
    doc.Load("c:\\bad.xml");
    FAIL();
  } catch (const Error& e) {
    const std::string text = e.text();
    const std::string head = "TXMLCursor.Load FileName: \"c:\\bad.xml\"\r\nfrom TXMLCursor.Load - c:\\bad.xml --- Error 76 on line 4, char ";
    EXPECT_EQ(text.substr(0, head.size()), head) << text;
    EXPECT_NE(text.find("in URL : \"c:\\bad.xml\"\r\n\r\nsrcText : </document>\r\n\r\nReason : Opening and ending tag "
                        "mismatch: DataVO line 3 and document\r\n\r\n"),
              std::string::npos)
        << text;
  }
  EXPECT_EQ(doc.GetXML(), "<keep/>\n");  // a failed load changes nothing
}

TEST_F(XmlCursorFiles, LoadXmlOfMalformedText) {
  IXMLCursor doc;
  try {
    doc.LoadXML("<a><b></a>");
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.text(),
              "from TXMLCursor.LoadXML - <a><b></a> --- Error 76 on line 1, char 11 in URL : \"\"\r\n\r\n"
              "srcText : <a><b></a>\r\n\r\nReason : Opening and ending tag mismatch: b line 1 and a\r\n\r\n");
  }
  EXPECT_THROW(doc.LoadXML(""), Error);
}

TEST_F(XmlCursorFiles, NamespacesOfTheRootAreKnownAfterLoad) {
  WriteHostFile(drive / "ns.xml",
                "<r xmlns=\"urn:d\" xmlns:v=\"urn:v\" xmlns:w=\"urn:w\"><v:item>1</v:item><w:item>2</w:item></r>");
  IXMLCursor doc;
  doc.Load("c:\\ns.xml");
  EXPECT_EQ(doc.Select("v:item").GetValue("."), "1");
  EXPECT_EQ(doc.GetValue("w:item"), "2");
  // They stay for texts loaded later into the same document.
  doc.LoadXML("<r xmlns:v=\"urn:v\"><v:item>3</v:item></r>");
  EXPECT_EQ(doc.GetValue("v:item"), "3");
}

}  // namespace
}  // namespace tarvelon
