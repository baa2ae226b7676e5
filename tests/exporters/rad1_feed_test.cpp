// RAD1 and INFOPRESS through the tarvelon binary against a real FTP server:
// the delivered documents are compared byte for byte with the expected
// files, read by xmllint, and the archive on the server with the local one.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/feed_case.h"
#include "platform/text.h"
#include "support/xml_check.h"

namespace tarvelon {
namespace {

using namespace tarvelon::testing;
namespace fs = std::filesystem;

class Rad1Feed : public FeedCase {
 protected:
  void SetUp() override {
    case_ = "infopress-rad1";
    StartServer({{"rad1", "rad1-pw"}});
    MakeHostFolders(Ftp("rad1/depot"));
  }
};

TEST_F(Rad1Feed, Rad1SendsThePartnerLayoutZippedByFtp) {
  const ExportResult run = RunCase("rad1", "ExpDatasInfoPress.xml");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string file = Work("Rad1_20170214.xml");
  ExpectWorkFileAsExpected("Rad1_20170214.xml");
  EXPECT_EQ(XmlLintReport(file), "");

  const std::string bytes = ReadHostFile(file);
  EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?>\n<TRAQUEANNONCES_XML><annonces>", 0), 0u);
  // Three vehicles, none merged with its neighbour by a cut.
  EXPECT_EQ(XPathOf(file, "count(/TRAQUEANNONCES_XML/annonces)"), "3");
  EXPECT_EQ(XPathOf(file, "string(/TRAQUEANNONCES_XML/annonces[3]/prix)"), "18900");
  // The partner fields lose their prefix; the password is built per vehicle from the two settings.
  EXPECT_EQ(XPathOf(file, "string(/TRAQUEANNONCES_XML/annonces[1]/password)"), "KD2468QRS");
  EXPECT_EQ(XPathOf(file, "string(/TRAQUEANNONCES_XML/annonces[3]/password)"), "KQ2468QRS");
  EXPECT_EQ(XPathOf(file, "count(//Ref | //LibelleSociete | //EqutInterieur | //EqutExterieur | //InfoComplement | "
                          "//MsgGarCons | //idVO | //InfosSRS | //LiensImagesS)"),
            "0");
  EXPECT_EQ(FindIgnoringCase(bytes, "rad1_"), std::string::npos);
  // The euro sign in ISO-8859-15, the typographic apostrophe as a reference, CR LF kept in the texts.
  EXPECT_NE(bytes.find("Prix 15 990 \xA4 net, l&#8217;"), std::string::npos);
  EXPECT_NE(bytes.find("____&#13;\n&#13;\n"), std::string::npos);

  const std::string archive = Work("Rad1_20170214.zip");
  EXPECT_EQ(ReadHostFile(Ftp("rad1/depot/Rad1_20170214.zip")), ReadHostFile(archive));
  std::string entries, content;
  ASSERT_EQ(RunCommand("unzip -Z1 '" + archive + "'", &entries), 0);
  EXPECT_EQ(entries, "Rad1_20170214.xml\n");
  ASSERT_EQ(RunCommand("unzip -p '" + archive + "' Rad1_20170214.xml", &content), 0);
  EXPECT_EQ(content, bytes);
  ExpectLogAsExpected("RAD1");
}

TEST_F(Rad1Feed, InfoPressWithoutUserMakesTheArchiveAndSendsNothing) {
  const ExportResult run = RunCase("INFOPRESS", "ExpDatasInfoPress.xml");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string file = Work("InfoPress_20170214.xml");
  ExpectWorkFileAsExpected("InfoPress_20170214.xml");
  EXPECT_EQ(XmlLintReport(file), "");
  EXPECT_EQ(XPathOf(file, "count(/annonces/annonce)"), "3");
  // Both photo series: six links, then every link of the vehicle once the prefix is gone.
  EXPECT_EQ(XPathOf(file, "count(/annonces/annonce[2]/photo6)"), "2");
  EXPECT_EQ(XPathOf(file, "string(/annonces/annonce[2]/photo8)"), "http://photos.kord.test/pictlore/pdo/ab/p12-8.jpg");
  EXPECT_TRUE(fs::exists(Work("InfoPress_20170214.zip")));
  EXPECT_EQ(LogText("INFOPRESS"), "");
  EXPECT_EQ(server_.CountCommands("USER"), 0);
}

}  // namespace
}  // namespace tarvelon
