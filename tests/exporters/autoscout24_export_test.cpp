// AutoScout24 and VPN through the tarvelon binary, against a real FTP server
// playing both the image server and the portal.
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
    "[Options]\r\nPathImages=c:\\projects\\kord\\images\r\n"
    "[Pictlore]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\nPathFTP=www/pictlore\r\n"
    "[AUTOSCOUT24]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\nPathFTP=portal\r\nidClient=123456\r\nTestFTPPictlore=1\r\n"
    "[VPN]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\nPathFTP=portal\r\nidClient=778899\r\n";

class AutoScout24Export : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeHostFolders(ftpRoot_ / "www/pictlore/pel/vo");
    MakeHostFolders(ftpRoot_ / "portal");
    server_.Start(ftpRoot_.path(), "kord", "secret");
    sandbox_.WriteSettings(kSettings, {{"FTP", server_.address()}});
  }
  void AddCasePhotos() {
    sandbox_.AddPhoto("pel/vo/5001-1");
    sandbox_.AddPhoto("pel/vo/5001-2", /*withThumbnail=*/false);
    sandbox_.AddPhoto("pel/vo/5003-1", true, 1024, 768);
    sandbox_.AddPhoto("pel/vo/5004-1");
    // pel/vo/5005-1 is missing on both sides.
  }
  // Stamps, the server's port and the scratch folder masked.
  std::string Masked(const std::string& text) const {
    std::string masked = MaskLogStamps(text);
    masked = std::regex_replace(masked, std::regex(server_.address()), "@FTP@");
    return std::regex_replace(masked, std::regex(sandbox_.root()), "@ROOT@");
  }
  // The log lines of the run, as the memo printed them.
  std::string LoggedLines(const std::string& output) const {
    std::string lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);)
      if (line.rfind("-> ", 0) == 0) lines += line + "\n";
    return Masked(lines);
  }
  std::string Work(const std::string& name) const { return sandbox_.work() + "/" + name; }

  ExportSandbox sandbox_;
  TempFolder ftpRoot_;
  FtpServer server_;
};

TEST_F(AutoScout24Export, PricesColumnsPhotosAndDelivery) {
  const std::string caseName = "autoscout24-price-and-columns";
  sandbox_.AddExtract(CasePath(caseName, "ExpDatasAutoScout24.xml"));
  AddCasePhotos();
  ExportResult run = sandbox_.Run("autoscout24");
  ASSERT_EQ(run.exitCode, 0) << run.output;

  const std::string csv = ReadHostFile(Work("AS24/123456.csv"));
  ExpectSameAsGolden(csv, CasePath(caseName, "expected.csv"));
  ExpectSameAsGolden(LoggedLines(run.output), CasePath(caseName, "expected-memo-log.txt"));
  ExpectSameAsGolden(Masked(ReadHostFile(Work("MarqueUpdateAUTOSCOUT24.log"))), CasePath(caseName, "expected.log"));

  // 92 fields on every line, CR LF line ends.
  for (const auto& line : SplitCrLfLines(csv)) EXPECT_EQ(std::count(line.begin(), line.end(), ';'), 92) << line;

  // The portal received the archive unchanged; it holds the CSV and the photo copies.
  const std::string zip = Work("Tarvelon/123456.zip");
  EXPECT_EQ(ReadHostFile(ftpRoot_ / "portal/123456.zip"), ReadHostFile(zip));
  std::string listing;
  ASSERT_EQ(RunCommand("python3 -c \"import zipfile,sys; z=zipfile.ZipFile(sys.argv[1]); "
                       "print(z.testzip()); print(sorted((i.filename, i.compress_type) for i in z.infolist()))\" '" +
                           zip + "'",
                       &listing),
            0);
  EXPECT_NE(listing.find("None\n"), std::string::npos) << listing;
  for (const char* name : {"'123456.csv', 8", "VWpdqe07-5001_1.jpg', 8", "VWpdqe07-5001_2.jpg', 8"})
    EXPECT_NE(listing.find(name), std::string::npos) << name << " in " << listing;

  // The copy of the extract is kept under the minute's stamp.
  EXPECT_TRUE(fs::exists(Work("Tarvelon/201702141000.xml")));
  // The tagged first photo of vehicle 5001 went to the image server, the archive to the portal.
  EXPECT_TRUE(fs::exists(ftpRoot_ / "www/pictlore/pel/vo/5001-dwa.jpg"));
  EXPECT_EQ(server_.CountCommands("STOR"), 2) << server_.LogText();
}

TEST_F(AutoScout24Export, VpnAddsFourColumnsAndUsesTheVehicleNumberAsReference) {
  const std::string caseName = "vpn-sale-status";
  sandbox_.AddExtract(CasePath(caseName, "ExpDatasVPN.xml"));
  AddCasePhotos();
  ExportResult run = sandbox_.Run("VPN");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string csv = ReadHostFile(Work("AS24/778899.csv"));
  ExpectSameAsGolden(csv, CasePath(caseName, "expected.csv"));
  for (const auto& line : SplitCrLfLines(csv)) EXPECT_EQ(std::count(line.begin(), line.end(), ';'), 96) << line;
  EXPECT_TRUE(fs::is_directory(Work("VPN")));
  EXPECT_TRUE(fs::is_empty(Work("VPN")));
  EXPECT_EQ(ReadHostFile(ftpRoot_ / "portal/778899.zip"), ReadHostFile(Work("Tarvelon/778899.zip")));
}

TEST_F(AutoScout24Export, AnEmptyStockGivesAnEmptyFileInADeliveredArchive) {
  const std::string caseName = "autoscout24-empty-stock";
  sandbox_.AddExtract(CasePath(caseName, "ExpDatasAutoScout24.xml"));
  ExportResult run = sandbox_.Run("AUTOSCOUT24");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(ReadHostFile(Work("AS24/123456.csv")), "");
  ExpectSameAsGolden(Masked(ReadHostFile(Work("MarqueUpdateAUTOSCOUT24.log"))), CasePath(caseName, "expected.log"));
  std::string listing;
  ASSERT_EQ(RunCommand("unzip -l '" + Work("Tarvelon/123456.zip") + "'", &listing), 0) << listing;
  EXPECT_NE(listing.find("123456.csv"), std::string::npos);
  EXPECT_TRUE(fs::exists(ftpRoot_ / "portal/123456.zip"));
}

TEST_F(AutoScout24Export, AMissingExtractEndsTheExportWithTheCursorError) {
  ExportResult run = sandbox_.Run("AUTOSCOUT24");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("TXMLCursor.Load FileName["), std::string::npos) << run.output;
  EXPECT_FALSE(fs::exists(ftpRoot_ / "portal/123456.zip"));
}

TEST_F(AutoScout24Export, AFailedDeliveryIsReportedAndTheRunStillFinishes) {
  sandbox_.AddExtract(CasePath("autoscout24-empty-stock", "ExpDatasAutoScout24.xml"));
  sandbox_.WriteSettings(std::string(kSettings) + "[AUTOSCOUT24-unused]\r\n",
                         {{"FTP", server_.address()}});
  server_.Stop();
  ExportResult run = sandbox_.Run("AUTOSCOUT24");
  EXPECT_EQ(run.exitCode, 3) << run.output;  // finished, delivery failed
  const std::string log = ReadHostFile(Work("MarqueUpdateAUTOSCOUT24.log"));
  EXPECT_NE(log.find("Transfert FTP : Erreur Connexion au serveur. Fichier VO actualis\xe9 sur site FTP : 123456.zip - 0 VO"),
            std::string::npos)
      << log;
}

TEST_F(AutoScout24Export, ACustomerNumberThatIsNoFileNameIsRefused) {
  sandbox_.AddExtract(CasePath("autoscout24-empty-stock", "ExpDatasAutoScout24.xml"));
  std::string settings = kSettings;
  settings.replace(settings.find("idClient=123456"), 15, "idClient=..\\..\\evil");
  sandbox_.WriteSettings(settings, {{"FTP", server_.address()}});
  ExportResult run = sandbox_.Run("AUTOSCOUT24");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("Identifiant client refusé"), std::string::npos) << run.output;
  EXPECT_FALSE(fs::exists(sandbox_.root() + "/evil.csv"));
  EXPECT_FALSE(fs::exists(sandbox_.root() + "/evil.zip"));
}

}  // namespace
}  // namespace tarvelon
