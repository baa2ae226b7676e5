// TOPANNONCES through the tarvelon binary against a real FTP server playing
// the image server and the partner: the delivered document is compared byte
// for byte, read by xmllint, and the photo checks are seen on the server.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/feed_case.h"
#include "support/golden.h"
#include "support/xml_check.h"

namespace tarvelon {
namespace {

using namespace tarvelon::testing;
namespace fs = std::filesystem;

class TopAnnoncesFeed : public FeedCase {
 protected:
  void SetUp() override {
    StartServer({{"topannonces", "top-pw"}});
    MakeHostFolders(Ftp("topannonces/flux"));
  }
};

TEST_F(TopAnnoncesFeed, PhotoListsHoldOnePhotoPerFilledSlotAndEveryPhotoIsChecked) {
  case_ = "topannonces-photos";
  for (const char* photo : {"vil/aa/t21-1", "vil/aa/t21-2", "vil/aa/t21-3"}) sandbox_.AddPhoto(photo);
  for (const char* folder : {"pictlore/www/pictlore/mar/aa", "pictlore/www/pictlore/vil/aa"}) MakeHostFolders(Ftp(folder));
  WriteHostFile(Ftp("pictlore/www/pictlore/mar/aa/t23-1.jpg"), ReadHostFile(sandbox_.photoStore() + "/vil/aa/t21-1.jpg"));
  const ExportResult run = RunCase("TopAnnonces", "ExpDatasTopAnnonces.xml");
  ASSERT_EQ(run.exitCode, 0) << run.output;

  const std::string file = Work("408512-20170214100000.xml");
  ExpectWorkFileAsExpected("408512-20170214100000.xml");
  EXPECT_EQ(XmlLintReport(file), "");
  EXPECT_EQ(ReadHostFile(file).rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?>\n<listepa><annonce>", 0), 0u);
  EXPECT_EQ(ReadHostFile(Work("TopAnnonces-20170214.xml")), ReadHostFile(file));
  // 3, 0 and 7 photos: three photos, an empty list, the six slots.
  EXPECT_EQ(XPathOf(file, "count(/listepa/annonce)"), "3");
  EXPECT_EQ(XPathOf(file, "count(/listepa/annonce[1]/liste_photos/photo)"), "3");
  EXPECT_EQ(XPathOf(file, "count(/listepa/annonce[2]/liste_photos) + count(/listepa/annonce[2]/liste_photos/*)"), "1");
  EXPECT_EQ(XPathOf(file, "count(/listepa/annonce[3]/liste_photos/photo)"), "6");
  EXPECT_EQ(XPathOf(file, "string(/listepa/annonce[3]/liste_photos/photo[6])"),
            "http://photos.kord.test/pictlore/mar/aa/t23-6.jpg");
  EXPECT_EQ(XPathOf(file, "count(//complement)"), "150");
  EXPECT_EQ(XPathOf(file, "count(//MODELEVERSION | //InfoComplement | //EqutInterieur | //idVO | //InfoVille | "
                          "//InfosSRS | //Carrosserie | //NOMPHOTO1)"),
            "0");
  EXPECT_EQ(XPathOf(file, "count(/listepa/annonce[2]/carrosserie)"), "1");
  // The town with an apostrophe found its site: the first entry's public number.
  EXPECT_EQ(XPathOf(file, "string(/listepa/annonce[1]/tel_agence)"), "03 20 20 20 20");
  EXPECT_EQ(XPathOf(file, "string(/listepa/annonce[1]/reference)"), "Vi-1234");

  // Local photos the server lacked were sent with their thumbnails; the one the store lacked was fetched.
  for (const char* name : {"t21-1.jpg", "t21-1m.jpg", "t21-3.jpg", "t21-3m.jpg"})
    EXPECT_TRUE(fs::exists(Ftp("pictlore/www/pictlore/vil/aa/") + name)) << name;
  EXPECT_TRUE(fs::exists(sandbox_.photoStore() + "/mar/aa/t23-1.jpg"));

  const std::string archive = Work("408512.zip");
  EXPECT_EQ(ReadHostFile(Ftp("topannonces/flux/408512.zip")), ReadHostFile(archive));
  std::string entries;
  ASSERT_EQ(RunCommand("unzip -Z1 '" + archive + "'", &entries), 0);
  EXPECT_EQ(entries, "408512-20170214100000.xml\n");
  ExpectLogAsExpected("TOPANNONCES");
}

TEST_F(TopAnnoncesFeed, AClientCodeThatIsNoPlainFileNameIsRefused) {
  sandbox_.WriteSettings("[TOPANNONCES]\r\nCodeClient=..\\..\\x\r\n");
  const ExportResult run = sandbox_.Run("TOPANNONCES");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("Code client refus"), std::string::npos) << run.output;
  // Nothing but the run journal was written there.
  if (fs::exists(sandbox_.work() + "/Tarvelon")) {
    for (const auto& entry : fs::directory_iterator(sandbox_.work() + "/Tarvelon")) {
      EXPECT_EQ(entry.path().filename().string().rfind("runs.sqlite", 0), 0u) << entry.path();
    }
  }
}

TEST_F(TopAnnoncesFeed, AVehicleWithoutComplementsEndsTheExportWithTheCursorError) {
  case_ = "topannonces-photos";
  std::string extract = ReadHostFile(CasePath(case_, "ExpDatasTopAnnonces.xml"));
  const size_t at = extract.find("<complements/>");
  extract.erase(at, std::string("<complements/>").size());
  WriteHostFile(sandbox_.extracts() + "/ExpDatasTopAnnonces.xml", extract);
  sandbox_.WriteSettings(ReadHostFile(CasePath(case_, "Tarvelon.ini")), {{"FTP", server_.address()}});
  const ExportResult run = sandbox_.Run("TOPANNONCES");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("TXMLCursor.AppendChild - EOF"), std::string::npos) << run.output;
  EXPECT_FALSE(fs::exists(Work("408512.zip")));
}

}  // namespace
}  // namespace tarvelon
