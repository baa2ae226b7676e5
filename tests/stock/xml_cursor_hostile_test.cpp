// Hostile extracts: they fail with the cursor's error or load harmlessly;
// nothing is fetched and no other file is read.
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "stock/xml_cursor.h"
#include "support/fault_table.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

using testing::FaultRow;
using testing::ScopedEnv;
using testing::TempFolder;
using testing::WriteHostFile;

std::string BillionLaughs() {
  std::string dtd = "<!ENTITY lol \"lol\">";
  for (int i = 1; i <= 9; ++i) {
    std::string previous = i == 1 ? "lol" : "lol" + std::to_string(i - 1);
    dtd += "<!ENTITY lol" + std::to_string(i) + " \"";
    for (int k = 0; k < 10; ++k) dtd += "&" + previous + ";";
    dtd += "\">";
  }
  return "<?xml version=\"1.0\"?><!DOCTYPE lolz [" + dtd + "]><lolz>&lol9;</lolz>";
}

std::string LoadError(const std::string& logicalPath) {
  IXMLCursor doc;
  try {
    doc.Load(logicalPath);
  } catch (const Error& e) {
    return e.text();
  }
  return "";
}

class HostileXml : public ::testing::Test {
 protected:
  TempFolder drive;
  ScopedEnv driveC{"TARVELON_DRIVE_C", drive.path().c_str()};
};

TEST_F(HostileXml, BillionLaughsIsRefused) {
  FaultRow row("billion laughs (entity expansion), element and attribute", "XML cursor (stock extract)");
  WriteHostFile(drive / "lol.xml", BillionLaughs());
  std::string text = LoadError("c:\\lol.xml");
  EXPECT_EQ(text.rfind("TXMLCursor.Load FileName: \"c:\\lol.xml\"\r\nfrom TXMLCursor.Load - c:\\lol.xml --- Error ", 0),
            0u)
      << text;
  IXMLCursor doc;
  EXPECT_THROW(doc.LoadXML(BillionLaughs()), Error);
  // The same attack in an attribute value.
  std::string inAttribute = BillionLaughs();
  inAttribute.replace(inAttribute.find("<lolz>&lol9;</lolz>"), 19, "<lolz a=\"&lol9;\"/>");
  EXPECT_THROW(doc.LoadXML(inAttribute), Error);
  row.Outcome("refused with the cursor's load error, nothing expanded");
}

TEST_F(HostileXml, ExternalEntitiesAreNeverRead) {
  FaultRow row("external entities, external DTD, XInclude (file and http)", "XML cursor (stock extract)");
  WriteHostFile(drive / "secret.txt", "SECRET-CONTENT");
  const std::string secretUrl = "file://" + drive / "secret.txt";
  const std::string documents[] = {
      "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY x SYSTEM \"" + secretUrl + "\">]><d><e>&x;</e></d>",
      "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY x SYSTEM \"" + drive / "secret.txt" + "\">]><d><e>&x;</e></d>",
      "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY % p SYSTEM \"" + secretUrl + "\"> %p;]><d><e/></d>",
      "<?xml version=\"1.0\"?><!DOCTYPE d SYSTEM \"" + secretUrl + "\"><d><e/></d>",
      "<?xml version=\"1.0\"?><!DOCTYPE d SYSTEM \"http://127.0.0.1:9/x.dtd\"><d><e/></d>",
      "<?xml version=\"1.0\"?><d xmlns:xi=\"http://www.w3.org/2001/XInclude\"><xi:include href=\"" + secretUrl +
          "\" parse=\"text\"/></d>",
  };
  int n = 0;
  for (const auto& xml : documents) {
    std::string name = "x" + std::to_string(n++) + ".xml";
    WriteHostFile(drive / name, xml);
    IXMLCursor doc;
    try {
      doc.Load("c:\\" + name);
    } catch (const Error& e) {
      EXPECT_EQ(e.text().find("SECRET"), std::string::npos);
      continue;
    }
    EXPECT_EQ(doc.GetValue("."), "") << xml;
    EXPECT_EQ(doc.GetValue("e"), "") << xml;
    EXPECT_EQ(doc.GetXML().find("SECRET"), std::string::npos) << xml;
    doc.Save("c:\\saved\\" + name);
    EXPECT_EQ(testing::ReadHostFile(drive / ("saved/" + name)).find("SECRET"), std::string::npos);
  }
  row.Outcome("nothing fetched or read, no secret in values, XML or saved copy");
}

TEST_F(HostileXml, InternalEntitiesStayReferences) {
  FaultRow row("internal entity", "XML cursor (stock extract)");
  IXMLCursor doc;
  doc.LoadXML("<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY co \"Kord &amp; fils\">]><d><e>&co;</e></d>");
  EXPECT_EQ(doc.GetValue("e"), "Kord & fils");
  EXPECT_EQ(doc.Select("e").GetXML(), "<e>&co;</e>");
  row.Outcome("value expanded once, the XML keeps the reference");
}

TEST_F(HostileXml, UnclosedAndBrokenDocumentsFailWithTheStatedText) {
  FaultRow row("unclosed, broken, control bytes, unknown encoding (8 documents)", "XML cursor (stock extract)");
  const std::string broken[] = {
      "<document><DataVOS><DataVO>",
      "<document><DataVO></document>",
      "<document>",
      "no xml at all",
      "<a>\x01</a>",
      "<a b=\"1\" b=\"2\"/>",
      "<?xml version=\"1.0\" encoding=\"NO-SUCH-CODE\"?><a/>",
      std::string("<a>\0</a>", 8),
  };
  int n = 0;
  for (const auto& xml : broken) {
    std::string name = "b" + std::to_string(n++) + ".xml";
    WriteHostFile(drive / name, xml);
    std::string text = LoadError("c:\\" + name);
    std::string head = "TXMLCursor.Load FileName: \"c:\\" + name + "\"\r\nfrom TXMLCursor.Load - c:\\" + name + " --- Error ";
    EXPECT_EQ(text.substr(0, head.size()), head) << xml;
    EXPECT_NE(text.find("\r\n\r\nReason : "), std::string::npos) << text;
  }
  row.Outcome("each refused with \"TXMLCursor.Load FileName: ...\" and a Reason");
}

TEST_F(HostileXml, DeepNestingIsRefusedWithoutCrash) {
  FaultRow row("100 000 nested elements", "XML cursor (stock extract)");
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  WriteHostFile(drive / "deep.xml", deep);
  std::string text = LoadError("c:\\deep.xml");
  EXPECT_EQ(text.rfind("TXMLCursor.Load FileName: \"c:\\deep.xml\"", 0), 0u);
  // The source line of a one-line document is cut to a window.
  EXPECT_LT(text.size(), 3000u);
  row.Outcome("refused without crash, message under 3000 bytes");
}

TEST_F(HostileXml, HugeTextNodeIsRefused) {
  FaultRow row("20 MB text node", "XML cursor (stock extract)");
  std::string big = "<a>" + std::string(20 * 1024 * 1024, 'x') + "</a>";
  WriteHostFile(drive / "big.xml", big);
  std::string text = LoadError("c:\\big.xml");
  EXPECT_EQ(text.rfind("TXMLCursor.Load FileName: \"c:\\big.xml\"", 0), 0u);
  row.Outcome("refused with the cursor's load error");
}

}  // namespace
}  // namespace tarvelon
