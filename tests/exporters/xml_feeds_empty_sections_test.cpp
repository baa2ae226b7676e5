// Extracts whose vehicle list and site list are empty ("<DataVOS …/>",
// "<InfosSRS …/>"): every XML feed still delivers a well-formed document
// with one root and no section left behind.
#include <gtest/gtest.h>

#include "support/feed_case.h"
#include "support/xml_check.h"

namespace tarvelon {
namespace {

using namespace tarvelon::testing;

class EmptySections : public FeedCase {
 protected:
  void SetUp() override {
    case_ = "xml-feeds-empty-sections";
    StartServer({{"topannonces", "top-pw"}, {"autoreflex", "reflex-pw"}});
    MakeHostFolders(Ftp("topannonces/flux"));
  }

  void ExpectDocument(const std::string& name, const std::string& expected) {
    SCOPED_TRACE(name);
    EXPECT_EQ(XmlLintReport(Work(name)), "");
    EXPECT_EQ(ReadHostFile(Work(name)), expected);
  }
};

TEST_F(EmptySections, InfoPressGivesAnEmptyListOfAds) {
  ASSERT_EQ(RunCase("INFOPRESS", "ExpDatasInfoPress.xml").exitCode, 0);
  ExpectDocument("InfoPress_20170214.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?>\n<annonces/>\n");
}

TEST_F(EmptySections, Rad1GivesAnEmptyPartnerRoot) {
  ASSERT_EQ(RunCase("RAD1", "ExpDatasInfoPress.xml").exitCode, 0);
  ExpectDocument("Rad1_20170214.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?>\n<TRAQUEANNONCES_XML/>\n");
}

TEST_F(EmptySections, TopAnnoncesGivesAnEmptyListepaAndTheLogWithoutPhotoUpdates) {
  ASSERT_EQ(RunCase("TOPANNONCES", "ExpDatasTopAnnonces.xml").exitCode, 0);
  ExpectDocument("408512-20170214100000.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?>\n<listepa/>\n");
  EXPECT_EQ(ReadHostFile(Ftp("topannonces/flux/408512.zip")), ReadHostFile(Work("408512.zip")));
  ExpectLogAsExpected("TOPANNONCES");
}

TEST_F(EmptySections, AutoReflexKeepsTheDocumentWithoutTheSiteList) {
  ASSERT_EQ(RunCase("AUTOREFLEX", "ExpDatasAUTOREFLEX.xml").exitCode, 0);
  ExpectDocument("MirvaneDatasVO-20170214.xml",
                 "<?xml version=\"1.0\"?>\n<document><DataVOS EOF=\"1\" RecordName=\"DataVO\"/></document>\n");
}

}  // namespace
}  // namespace tarvelon
