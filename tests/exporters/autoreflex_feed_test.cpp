// AUTOREFLEX through the tarvelon binary against a real FTP server: the XML
// itself is delivered (no archive), in UTF-8 without an encoding declaration.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/feed_case.h"
#include "support/xml_check.h"

namespace tarvelon {
namespace {

using namespace tarvelon::testing;
namespace fs = std::filesystem;

class AutoReflexFeed : public FeedCase {
 protected:
  void SetUp() override {
    case_ = "autoreflex-two-photos";
    StartServer({{"autoreflex", "reflex-pw"}});
  }
};

TEST_F(AutoReflexFeed, TwoFilledSlotsBecomePhotoOneAndTwoAndTheFileItselfIsSent) {
  sandbox_.AddPhoto("pdo/ab/a31-1");
  sandbox_.AddPhoto("pdo/ab/a31-2");
  WriteHostFile(sandbox_.work() + "/MarqueAUTOREFLEX.log", "old log\r\n");
  const ExportResult run = RunCase("autoreflex", "ExpDatasAUTOREFLEX.xml");
  ASSERT_EQ(run.exitCode, 0) << run.output;

  const std::string file = Work("MirvaneDatasVO-20170214.xml");
  ExpectWorkFileAsExpected("MirvaneDatasVO-20170214.xml");
  EXPECT_EQ(XmlLintReport(file), "");
  const std::string bytes = ReadHostFile(file);
  EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\"?>\n<document>", 0), 0u);
  EXPECT_NE(bytes.find("S\xC3\xA9rie sp\xC3\xA9" "ciale"), std::string::npos);  // UTF-8
  EXPECT_EQ(ReadHostFile(Work("201702141000.xml")), bytes);

  EXPECT_EQ(XPathOf(file, "string(/document/DataVOS/DataVO[1]/Photo[@Num='2'])"),
            "http://photos.kord.test/pictlore/pdo/ab/a31-2.jpg");
  EXPECT_EQ(XPathOf(file, "count(/document/DataVOS/DataVO[1]/Photo) + count(/document/DataVOS/DataVO[1]/NomPhoto3)"),
            "3");
  EXPECT_EQ(XPathOf(file, "string(/document/DataVOS/DataVO[1]/id-VO)"), "VWpdqe07-7031");
  EXPECT_EQ(XPathOf(file, "string(/document/DataVOS/DataVO[2]/id-VO)"), "pdqe07-7032");
  EXPECT_EQ(XPathOf(file, "count(//idVO | //TypeVO | //InfoVille | //RefSite | //RefExpo | //id_Track | //RefVille | "
                          "//InfosSRS | //LiensImagesS | //LiensEquipementsS | //Aliases)"),
            "0");

  EXPECT_EQ(ReadHostFile(Ftp("autoreflex/MirvaneDatasVO-20170214.xml")), bytes);
  EXPECT_FALSE(fs::exists(sandbox_.work() + "/MarqueAUTOREFLEX.log"));
  ExpectLogAsExpected("AUTOREFLEX");
}

}  // namespace
}  // namespace tarvelon
