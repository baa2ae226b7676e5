// ANNONCESJAUNES through the tarvelon binary: 115 quoted columns, the
// warranty end date, the tagged first photo (real ImageMagick, real FTP image
// server) and the archive holding the undated CSV alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "support/export_sandbox.h"
#include "support/ftp_server.h"
#include "support/golden.h"

namespace tarvelon {
namespace {

using namespace tarvelon::testing;
namespace fs = std::filesystem;

constexpr const char* kSettings =
    "[Options]\r\nURLImages=http://photos.kord.test/pictlore\r\nPathImages=c:\\projects\\kord\\images\r\n@TAGALL@"
    "[Pictlore]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\nPathFTP=www/pictlore\r\n"
    "[ANNONCESJAUNES]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\nPathFTP=aj\r\nidClient=@CLIENT@\r\n";

class AnnoncesJaunesFeed : public ::testing::Test {
 protected:
  AnnoncesJaunesFeed() : sandbox_("2017-10-31 10:00:00") {}
  void SetUp() override {
    for (const char* folder : {"aj", "www/pictlore/qui/ab", "www/pictlore/pdo/ab"}) MakeHostFolders(ftpRoot_ / folder);
    server_.Start(ftpRoot_.path(), "kord", "secret");
    sandbox_.AddExtract(CasePath(kCase, "ExpDatasAnnoncesJaunes.xml"));
    sandbox_.AddPhoto("qui/ab/301-1");
    sandbox_.AddPhoto("pdo/ab/303-1");
  }
  void Settings(const std::string& client, const std::string& tagAll = "") {
    sandbox_.WriteSettings(kSettings, {{"FTP", server_.address()}, {"CLIENT", client}, {"TAGALL", tagAll}});
  }
  std::string Work(const std::string& name) const { return sandbox_.work() + "/Tarvelon/" + name; }

  static constexpr const char* kCase = "annoncesjaunes-warranty-and-photos";
  ExportSandbox sandbox_;
  TempFolder ftpRoot_;
  FtpServer server_;
};

TEST_F(AnnoncesJaunesFeed, ColumnsWarrantyTaggedPhotoAndArchive) {
  Settings("654321");
  MakeHostFolders(sandbox_.work() + "/Tarvelon");
  WriteHostFile(Work("AxeCibles.csv"), "another target's file");
  ExportResult run = sandbox_.Run("ANNONCESJAUNES");
  ASSERT_EQ(run.exitCode, 0) << run.output;

  const std::string csv = ReadHostFile(Work("654321.csv"));
  ExpectSameAsGolden(csv, CasePath(kCase, "expected-654321.csv"));
  EXPECT_EQ(ReadHostFile(Work("654321-201710311000.csv")), csv);
  std::string log = std::regex_replace(MaskLogStamps(ReadHostFile(sandbox_.work() + "/MarqueUpdateANNONCESJAUNES.log")),
                                       std::regex(server_.address()), "@FTP@");
  ExpectSameAsGolden(log, CasePath(kCase, "expected.log"));

  // A quote-aware reader finds 115 fields on the header and on every vehicle.
  std::string counts;
  RunCommand("python3 -c \"import csv,sys; print(' '.join(str(len(r)) for r in csv.reader("
             "open(sys.argv[1], encoding='cp1252', newline=''), delimiter=';')))\" '" + Work("654321.csv") + "'",
             &counts);
  EXPECT_EQ(counts, "115 115 115 115\n");

  // The tagged first photos were made and published; the others were left alone.
  EXPECT_TRUE(fs::exists(sandbox_.photoStore() + "/qui/ab/301-TT.jpg"));
  EXPECT_TRUE(fs::exists(ftpRoot_ / "www/pictlore/qui/ab/301-TT.jpg"));
  EXPECT_TRUE(fs::exists(ftpRoot_ / "www/pictlore/pdo/ab/303-T.jpg"));

  std::string listing;
  RunCommand("python3 -c \"import zipfile,sys; z=zipfile.ZipFile(sys.argv[1]); print(z.testzip(), z.namelist(), "
             "z.read('654321.csv') == open(sys.argv[2], 'rb').read())\" '" + Work("654321.zip") + "' '" +
                 Work("654321.csv") + "'",
             &listing);
  EXPECT_EQ(listing, "None ['654321.csv'] True\n");
  EXPECT_EQ(ReadHostFile(ftpRoot_ / "aj/654321.zip"), ReadHostFile(Work("654321.zip")));
  EXPECT_EQ(ReadHostFile(Work("AxeCibles.csv")), "another target's file");
}

TEST_F(AnnoncesJaunesFeed, WithoutTheTagAllListOnlyDiscountedVehiclesAreTagged) {
  Settings("654321", "FiligraneListTagAll=;sitautopro;\r\n");
  ASSERT_EQ(sandbox_.Run("ANNONCESJAUNES").exitCode, 0);
  const std::string csv = ReadHostFile(Work("654321.csv"));
  EXPECT_NE(csv.find("\"http://photos.kord.test/pictlore/qui/ab/301-TT.jpg\""), std::string::npos);
  EXPECT_NE(csv.find("\"http://photos.kord.test/pictlore/pdo/ab/303-1.jpg\""), std::string::npos);
  EXPECT_EQ(csv.find("303-T.jpg"), std::string::npos);
}

TEST_F(AnnoncesJaunesFeed, AClientNumberThatIsNoFileNameIsRefused) {
  Settings("..\\..\\evil");
  ExportResult run = sandbox_.Run("ANNONCESJAUNES");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("Identifiant client refusé pour un nom de fichier : ..\\..\\evil"), std::string::npos)
      << run.output;
  EXPECT_FALSE(fs::exists(sandbox_.root() + "/evil.csv"));
}

TEST_F(AnnoncesJaunesFeed, AnEmptyStockGivesALineEndAlone) {
  Settings("654321");
  sandbox_.AddExtract(CasePath("annoncesjaunes-empty-stock", "ExpDatasAnnoncesJaunes.xml"));
  ASSERT_EQ(sandbox_.Run("ANNONCESJAUNES").exitCode, 0);
  EXPECT_EQ(ReadHostFile(Work("654321.csv")), "\r\n");
  const auto lines = SplitCrLfLines(ReadHostFile(sandbox_.work() + "/MarqueUpdateANNONCESJAUNES.log"));
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find("Transfert FTP OK : Fichier VO actualis\xe9 sur site FTP : 654321.zip - 0 VO"),
            std::string::npos)
      << lines.back();
  EXPECT_TRUE(fs::exists(ftpRoot_ / "aj/654321.zip"));
}

}  // namespace
}  // namespace tarvelon
