// The text edits that turn the serialized extract into the prepared extract
// and the client files, and the guards on values that reach paths and XPath.
#include <gtest/gtest.h>

#include "exporters/annonce/annonce_exporter.h"
#include "exporters/annonce/annonce_safety.h"
#include "exporters/annonce/client_files.h"
#include "exporters/frame/text_cuts.h"

namespace tarvelon {
namespace {

TEST(CutWithinRecords, RemovesEachElementButNeverReachesIntoTheNextRecord) {
  const std::string text =
      "<DataVO><a>1</a><RefExpo/></DataVO><DataVO><RefExpo>x</RefExpo><b/></DataVO>";
  EXPECT_EQ(CutWithinRecords(text, "<RefExpo>", "</RefExpo>"),
            "<DataVO><a>1</a><RefExpo/></DataVO><DataVO><b/></DataVO>");
  // An element with attributes written empty has no end of its own in its record.
  EXPECT_EQ(CutWithinRecords("<DataVO><TypeVO a=\"1\"/></DataVO><DataVO><TypeVO>1</TypeVO></DataVO>", "<TypeVO ",
                             "</TypeVO>"),
            "<DataVO><TypeVO a=\"1\"/></DataVO><DataVO><TypeVO>1</TypeVO></DataVO>");
}

TEST(CutElementRun, EndsAtTheLastElementEvenWhenItIsEmpty) {
  const std::string text =
      "<DataVO><EQUTINTERIEUR>;Clim;</EQUTINTERIEUR><EQUTEXTERIEUR/><INFOCOMPLEMENT/><z/></DataVO>"
      "<DataVO><EQUTINTERIEUR>;GPS;</EQUTINTERIEUR><INFOCOMPLEMENT>;VNF;</INFOCOMPLEMENT><z/></DataVO>";
  // Cut from the first record's start to the second record's end, both vehicles would merge into one.
  EXPECT_EQ(CutElementRun(text, "EQUTINTERIEUR", "INFOCOMPLEMENT"), "<DataVO><z/></DataVO><DataVO><z/></DataVO>");
  // An empty first element starts the run as well; without any first element the run stays.
  EXPECT_EQ(CutElementRun("<DataVO><NOMPHOTO1/><NOMPHOTO2>a</NOMPHOTO2><NOMPHOTO6/></DataVO>", "NOMPHOTO1", "NOMPHOTO6"),
            "<DataVO></DataVO>");
  EXPECT_EQ(CutElementRun("<DataVO><EQUTINTERIEUR/><INFOCOMPLEMENT/></DataVO><DataVO><INFOCOMPLEMENT>;a;</INFOCOMPLEMENT>"
                          "</DataVO>",
                          "EQUTINTERIEUR", "INFOCOMPLEMENT"),
            "<DataVO></DataVO><DataVO><INFOCOMPLEMENT>;a;</INFOCOMPLEMENT></DataVO>");
  EXPECT_EQ(CutElementRun("<DataVO><NOMPHOTO2/><NOMPHOTO6/></DataVO>", "NOMPHOTO1", "NOMPHOTO6"),
            "<DataVO><NOMPHOTO2/><NOMPHOTO6/></DataVO>");
  // A run whose first element is empty goes too, and still only within its record.
  EXPECT_EQ(CutElementRun("<DataVO><NOMPHOTO1/><NOMPHOTO2>b</NOMPHOTO2><NOMPHOTO6/></DataVO>", "NOMPHOTO1", "NOMPHOTO6"),
            "<DataVO></DataVO>");
  EXPECT_EQ(CutElementRun("<DataVO><EQUTINTERIEUR/><EQUTEXTERIEUR>;PMat;</EQUTEXTERIEUR><INFOCOMPLEMENT/></DataVO>"
                          "<DataVO><EQUTINTERIEUR/><z/></DataVO><DataVO><INFOCOMPLEMENT>;VNF;</INFOCOMPLEMENT></DataVO>",
                          "EQUTINTERIEUR", "INFOCOMPLEMENT"),
            "<DataVO></DataVO><DataVO><EQUTINTERIEUR/><z/></DataVO><DataVO><INFOCOMPLEMENT>;VNF;</INFOCOMPLEMENT></DataVO>");
}

TEST(WrapPhotoSlots, PhotosBecomeOneBlockAndRecordsWithoutPhotosStayWellFormed) {
  const std::string text =
      "<DataVOS><DataVO><TUNING>N</TUNING><IDPHOTO1>a</IDPHOTO1><IDPHOTO2>b</IDPHOTO2></DataVO>"
      "<DataVO><TUNING/><xMarque>VW</xMarque></DataVO>"
      "<DataVO><IDPHOTO1>c</IDPHOTO1><IDPHOTO10>d</IDPHOTO10></DataVO></DataVOS>";
  EXPECT_EQ(WrapPhotoSlots(text, 10),
            "<DataVOS><DataVO><TUNING>N</TUNING><PHOTOS><PHOTO>a</PHOTO><PHOTO>b</PHOTO></PHOTOS></DataVO>"
            "<DataVO><TUNING/><xMarque>VW</xMarque></DataVO>"
            "<DataVO><PHOTOS><PHOTO>c</PHOTO><PHOTO>d</PHOTO></PHOTOS></DataVO></DataVOS>");
  // A slot number far beyond the slots in use costs nothing and changes nothing else.
  EXPECT_EQ(WrapPhotoSlots("<DataVO><IDPHOTO1>a</IDPHOTO1></DataVO>", 2000000000),
            "<DataVO><PHOTOS><PHOTO>a</PHOTO></PHOTOS></DataVO>");
  EXPECT_EQ(WrapPhotoSlots("<DataVO><IDPHOTO3>a</IDPHOTO3></DataVO>", 2), "<DataVO><IDPHOTO3>a</IDPHOTO3></DataVO>");
}

TEST(EditPreparedText, RemovesTheWorkingElementsAndTheCodeLists) {
  const std::string text =
      "<?xml version=\"1.0\"?>\n<document><DataVOS EOF=\"0\" RecordName=\"DataVO\"><DataVO><idVO>1</idVO>"
      "<InfoVA>VA</InfoVA><RefSite>pel</RefSite><MsgAnnonce>m</MsgAnnonce><EQUTINTERIEUR>;a;</EQUTINTERIEUR>"
      "<EQUTEXTERIEUR/><EQUTSECURITE/><INFOCOMPLEMENT>;b;</INFOCOMPLEMENT><NOMPHOTO1>p</NOMPHOTO1><NOMPHOTO2/>"
      "<NOMPHOTO6/><TUNING>N</TUNING><xMarque>VW</xMarque><IDPHOTO1>u</IDPHOTO1></DataVO></DataVOS>"
      "<InfosSRS EOF=\"0\" RecordName=\"InfosSR\"><InfosSR><idSite>A</idSite></InfosSR></InfosSRS></document>\n";
  EXPECT_EQ(EditPreparedText(text, 1),
            "<?xml version=\"1.0\"?>\n<document><DataVOS EOF=\"0\" RecordName=\"DataVO\"><DataVO><idVO>1</idVO>"
            "<TUNING>N</TUNING><PHOTOS><PHOTO>u</PHOTO></PHOTOS></DataVO></DataVOS></document>\n");
}

TEST(ClientFileText, FromThePreparedDocumentToTheClientLayout) {
  const std::string text =
      "<?xml version=\"1.0\"?>\n<document><COORDONNEESS EOF=\"0\" RecordName=\"COORDONNEES\"><COORDONNEES>"
      "<CODECLIENT>12</CODECLIENT><TypeVO>1</TypeVO><InfoVille>PEL</InfoVille><cGroup>G</cGroup>"
      "<LIBELLEVILLE>Pel</LIBELLEVILLE></COORDONNEES></COORDONNEESS><DataVOS EOF=\"0\" RecordName=\"DataVO\">"
      "<DataVO><idVO>1</idVO><TypeVO>1</TypeVO><Concession>G</Concession><InfoVille>PEL</InfoVille>"
      "<REFERENCE>r</REFERENCE><remise>12</remise></DataVO></DataVOS>"
      "<InfosSRS EOF=\"0\" RecordName=\"InfosSR\"/></document>\n";
  EXPECT_EQ(ClientFileText(text, "12", false),
            "<?xml version=\"1.0\" encoding=\"ISO-8859-15\" ?>\n<CLIENT CODE=\"12\"><COORDONNEES><VILLE>Pel</VILLE>"
            "</COORDONNEES><ANNONCE><REFERENCE>r</REFERENCE></ANNONCE></CLIENT>\n");
  // Without contact blocks, and with a client code that needs escaping in its attribute.
  const std::string none =
      "<?xml version=\"1.0\"?>\n<document><COORDONNEESS EOF=\"0\" RecordName=\"COORDONNEES\"/>"
      "<DataVOS EOF=\"0\" RecordName=\"DataVO\"><DataVO><REFERENCE>r</REFERENCE></DataVO></DataVOS></document>\n";
  EXPECT_EQ(ClientFileText(none, "A&\"B\"<", false),
            "<?xml version=\"1.0\" encoding=\"ISO-8859-15\" ?>\n<CLIENT CODE=\"A&amp;&quot;B&quot;&lt;\">"
            "<ANNONCE><REFERENCE>r</REFERENCE></ANNONCE></CLIENT>\n");
  // A document without declaration still names its encoding.
  EXPECT_EQ(ClientFileText(none.substr(22), "1", false).rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-15\" ?>"
                                                            "<CLIENT CODE=\"1\">",
                                                            0),
            0u);
}

TEST(AnnonceSafety, RecordNumbersFileNamesAndXPathLiterals) {
  std::string digits;
  EXPECT_TRUE(IsRecordNumber(" 108 ", digits));
  EXPECT_EQ(digits, "108");
  for (const char* bad : {"", "1 or 1=1", "1]|//DataVO[1", "-3", "12a"}) EXPECT_FALSE(IsRecordNumber(bad, digits)) << bad;

  EXPECT_TRUE(IsPlainFileName("1234.xml"));
  EXPECT_TRUE(IsPlainFileName("S&03..zip"));
  for (const char* bad : {"", ".", "..", "..\\x.xml", "a/b.xml", "c:x.xml", "x\ny"})
    EXPECT_FALSE(IsPlainFileName(bad)) << bad;

  EXPECT_EQ(XPathLiteral("PDO"), "'PDO'");
  EXPECT_EQ(XPathLiteral("L'ISLE"), "\"L'ISLE\"");
  EXPECT_EQ(XPathLiteral("A'B\"C"), "concat('A', \"'\", 'B\"C')");
}

}  // namespace
}  // namespace tarvelon
