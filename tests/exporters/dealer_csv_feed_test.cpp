// AXECIBLES, FVA, BUSINESSAPTITUDE and BRELO through the tarvelon binary:
// one stock through the four profiles, compared byte for byte, with a real
// FTP server for the archives and /bin/sh operator scripts for the others.
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
    "[Options]\r\nURLImages=http://photos.kord.test/pictlore\r\n"
    "[Pictlore]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\nPathFTP=www/pictlore\r\n"
    "[AXECIBLES]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\nPathFTP=axe\r\n"
    "[FVA]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\nPathFTP=fva\r\n"
    "[BUSINESSAPTITUDE]\r\nNumPort=2222\r\n"
    "[BRELO]\r\n";

// The operators' scripts: UTF-16 logs with a mark, Windows-1252 ones without.
constexpr const char* kUtf16LeTwoDone =
    "cd \"$(dirname \"$0\")\"\nreadlink /proc/self/fd/0 > stdin.txt\n"
    "{ printf '\\377\\376'; printf 'Connexion ok\\r\\nTransfer done\\r\\nTransfer done\\r\\n' | iconv -f ASCII -t UTF-16LE; }"
    " > WinSFTP-BA.log\n";
constexpr const char* kUtf16BeOneDone =
    "cd \"$(dirname \"$0\")\"\n"
    "{ printf '\\376\\377'; printf 'Transfer done\\r\\n' | iconv -f ASCII -t UTF-16BE; } > WinSFTP-BRELO.log\n";
constexpr const char* kAnsiNoneDone =
    "cd \"$(dirname \"$0\")\"\nprintf 'Connexion refus\\351e\\r\\n' > WinSFTP-BRELO.log\n";
constexpr const char* kNoLog = "exit 0\n";

class DealerCsvFeed : public ::testing::Test {
 protected:
  explicit DealerCsvFeed(const std::string& now = "2017-02-12 10:00:00") : sandbox_(now) {}
  void SetUp() override {
    MakeHostFolders(ftpRoot_ / "axe");
    MakeHostFolders(ftpRoot_ / "fva");
    MakeHostFolders(ftpRoot_ / "www/pictlore");
    MakeHostFolders(Kord());
    server_.Start(ftpRoot_.path(), "kord", "secret");
    sandbox_.WriteSettings(kSettings, {{"FTP", server_.address()}});
  }
  // The one stock under the three extract names of the four keys.
  void AddStock(const std::string& caseName) {
    const std::string source = CasePath(caseName, "ExpDatasAxeCibles.xml");
    for (const char* name : {"ExpDatasAxeCibles.xml", "ExpDatasBusinessAptitude.xml", "ExpDatasBrelo.xml"})
      fs::copy_file(source, sandbox_.extracts() + "/" + name, fs::copy_options::overwrite_existing);
  }
  void WriteScript(const std::string& name, const std::string& text) { WriteHostFile(Kord() + "/" + name, text); }
  std::string Kord() const { return sandbox_.drive() + "/projects/kord"; }
  std::string Work(const std::string& name) const { return sandbox_.work() + "/Tarvelon/" + name; }
  std::string Log(const std::string& option) const {
    std::string log = MaskLogStamps(ReadHostFile(sandbox_.work() + "/MarqueUpdate" + option + ".log"));
    return std::regex_replace(log, std::regex(server_.address()), "@FTP@");
  }
  std::string LastLogLine(const std::string& option) const {
    const auto lines = SplitCrLfLines(Log(option));
    return lines.empty() ? "" : lines.back();
  }
  // Fields per row as a quote-aware reader counts them, one number per row.
  std::string FieldCounts(const std::string& file) const {
    std::string out;
    RunCommand("python3 -c \"import csv,sys; print(' '.join(str(len(r)) for r in csv.reader("
               "open(sys.argv[1], encoding='cp1252', newline=''), delimiter=';')))\" '" + file + "'", &out);
    return out;
  }
  std::string ZipListing(const std::string& zip) const {
    std::string out;
    RunCommand("python3 -c \"import zipfile,sys; z=zipfile.ZipFile(sys.argv[1]); print(z.testzip(), "
               "[(i.filename, i.compress_type) for i in z.infolist()])\" '" + zip + "'", &out);
    return out;
  }
  std::string ZipEntryBytes(const std::string& zip, const std::string& entry) const {
    std::string out;
    RunCommand("unzip -p '" + zip + "' '" + entry + "'", &out);
    return out;
  }

  ExportSandbox sandbox_;
  TempFolder ftpRoot_;
  FtpServer server_;
};

TEST_F(DealerCsvFeed, OneStockThroughTheFourProfiles) {
  const std::string caseName = "dealer-csv-four-profiles";
  AddStock(caseName);
  // Other targets' files in the shared work folder are neither packed nor removed.
  MakeHostFolders(sandbox_.work() + "/Tarvelon");
  WriteHostFile(Work("123456.zip"), "another target's archive");
  WriteHostFile(Work("201702141000.xml"), "<copy/>");
  WriteScript("WinSFTP-BA.bat", kUtf16LeTwoDone);
  WriteScript("WinSFTP-BRELO.bat", kAnsiNoneDone);

  const std::pair<const char*, const char*> runs[] = {
      {"AXECIBLES", "AxeCibles"}, {"FVA", "AxeCibles"}, {"BUSINESSAPTITUDE", "vehicules"}, {"BRELO", "Brelo"}};
  for (const auto& [option, base] : runs) {
    SCOPED_TRACE(option);
    ExportResult run = sandbox_.Run(option);
    // Brelo's script reports nothing sent: finished, with a failed delivery.
    ASSERT_EQ(run.exitCode, std::string(option) == "BRELO" ? 3 : 0) << run.output;
    const std::string csv = ReadHostFile(Work(std::string(base) + ".csv"));
    ExpectSameAsGolden(csv, CasePath(caseName, std::string("expected-") + option + ".csv"));
    EXPECT_EQ(ReadHostFile(Work(std::string(base) + "-201702121000.csv")), csv);
    ExpectSameAsGolden(Log(option), CasePath(caseName, std::string("expected-") + option + ".log"));
    EXPECT_EQ(csv.find(";\r\n"), std::string::npos);
    const char* fields = std::string(option) == "BUSINESSAPTITUDE" ? "56 56 56 56 56\n"
                         : std::string(option) == "BRELO"          ? "58 58 58 58 58\n"
                                                                   : "59 59 59 59 59\n";
    EXPECT_EQ(FieldCounts(Work(std::string(base) + ".csv")), fields);
  }

  // AxeCibles and FVA: the archive holds the undated CSV alone and reached each one's folder.
  EXPECT_EQ(ReadHostFile(ftpRoot_ / "fva/AxeCibles.zip"), ReadHostFile(Work("AxeCibles.zip")));
  EXPECT_TRUE(fs::exists(ftpRoot_ / "axe/AxeCibles.zip"));
  EXPECT_EQ(ZipListing(Work("AxeCibles.zip")), "None [('AxeCibles.csv', 8)]\n");
  EXPECT_EQ(ZipEntryBytes(Work("AxeCibles.zip"), "AxeCibles.csv"), ReadHostFile(Work("AxeCibles.csv")));
  // Brelo: archive made, not sent; BusinessAptitude: no archive.
  EXPECT_EQ(ZipListing(Work("Brelo.zip")), "None [('Brelo.csv', 8)]\n");
  EXPECT_FALSE(fs::exists(Work("vehicules.zip")));
  EXPECT_EQ(ReadHostFile(Work("123456.zip")), "another target's archive");
  EXPECT_TRUE(fs::exists(Work("201702141000.xml")));
  // The scripts ran with /dev/null as their input.
  EXPECT_EQ(ReadHostFile(Kord() + "/stdin.txt"), "/dev/null\n");
  EXPECT_EQ(server_.CountCommands("STOR"), 2);
}

TEST_F(DealerCsvFeed, TheFirstPhotoCarriesTheVehiclesTags) {
  AddStock("dealer-csv-four-profiles");
  MakeHostFolders(ftpRoot_ / "www/pictlore/pel/vo");
  sandbox_.AddPhoto("pel/vo/201-1");
  // ATP offer running, Z vehicle, 25 % discount: band, badge and the large discount badge.
  ASSERT_EQ(sandbox_.Run("AXECIBLES").exitCode, 0);
  const std::string csv = ReadHostFile(Work("AxeCibles.csv"));
  EXPECT_NE(csv.find("\"http://photos.kord.test/pictlore/pel/vo/201-ATPTZT.jpg\";"
                     "\"http://photos.kord.test/pictlore/pel/vo/201-2.jpg\""),
            std::string::npos);
  EXPECT_TRUE(fs::exists(ftpRoot_ / "www/pictlore/pel/vo/201-ATPTZT.jpg"));
  // FVA is in none of the decoration lists: the photo goes out as it is.
  ASSERT_EQ(sandbox_.Run("FVA").exitCode, 0);
  EXPECT_NE(ReadHostFile(Work("AxeCibles.csv")).find("\"http://photos.kord.test/pictlore/pel/vo/201-1.jpg\""),
            std::string::npos);
}

// A Saturday after noon counts in the next week, with the Saturday letter.
class DealerCsvSaturday : public DealerCsvFeed {
 protected:
  DealerCsvSaturday() : DealerCsvFeed("2017-02-18 13:00:00") {}
};

TEST_F(DealerCsvSaturday, ReferencesCarryTheNextWeekAndTheLetterG) {
  AddStock("dealer-csv-four-profiles");
  ASSERT_EQ(sandbox_.Run("AXECIBLES").exitCode, 0);
  const std::string csv = ReadHostFile(Work("AxeCibles.csv"));
  for (const char* reference : {"\"VWpdqe08G-7001\"", "\"qe08G-7002\"", "\"SEpd08G-7003\"", "\"VUqedn08G-7004\""})
    EXPECT_NE(csv.find(reference), std::string::npos) << reference;
  EXPECT_TRUE(fs::exists(Work("AxeCibles-201702181300.csv")));
}

TEST_F(DealerCsvFeed, AnEmptyStockGivesALineEndAloneForEachKey) {
  const std::string caseName = "dealer-csv-empty-stock";
  AddStock(caseName);
  WriteScript("WinSFTP-BA.bat", kUtf16BeOneDone);  // writes the Brelo log: none for BusinessAptitude
  for (const char* option : {"AXECIBLES", "FVA", "BRELO"}) {
    SCOPED_TRACE(option);
    ExportResult run = sandbox_.Run(option);
    // Brelo has no script here: it finishes, but nothing went out.
    ASSERT_EQ(run.exitCode, std::string(option) == "BRELO" ? 3 : 0) << run.output;
  }
  EXPECT_EQ(ReadHostFile(Work("AxeCibles.csv")), "\r\n");
  EXPECT_EQ(ReadHostFile(Work("Brelo.csv")), "\r\n");
  EXPECT_EQ(ZipEntryBytes(Work("AxeCibles.zip"), "AxeCibles.csv"), "\r\n");
  EXPECT_EQ(ReadHostFile(ftpRoot_ / "fva/AxeCibles.zip"), ReadHostFile(Work("AxeCibles.zip")));
  ExpectSameAsGolden(Log("FVA"), CasePath(caseName, "expected-FVA.log"));
  // No script for Brelo: the line stays as it is; Brelo leaves out its zero counts.
  EXPECT_EQ(LastLogLine("BRELO"),
            "<stamp> - Fichier VO actualis\xe9 sur site sFTP : Brelo.csv - 0 VO - 0 R\xe9serv\xe9s - 0 Vendus - 0 VO");
  // BusinessAptitude: its script leaves no log, which ends the export.
  ExportResult run = sandbox_.Run("BUSINESSAPTITUDE");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("XMLUtils.ReadStringFromFile - FileName=c:\\projects\\Kord\\WinSFTP-BA.log\r\n"),
            std::string::npos)
      << run.output;
  EXPECT_EQ(ReadHostFile(Work("vehicules.csv")), "\r\n");
}

TEST_F(DealerCsvFeed, OperatorScriptLogsAreDecodedAndCounted) {
  AddStock("dealer-csv-empty-stock");
  const std::string line = "<stamp> - Fichier VO actualis\xe9 sur site sFTP : Brelo.csv - 0 VO - 0 R\xe9serv\xe9s - "
                           "0 Vendus - 0 VO";
  WriteScript("WinSFTP-BRELO.bat", kUtf16BeOneDone);
  ASSERT_EQ(sandbox_.Run("BRELO").exitCode, 0);
  EXPECT_EQ(LastLogLine("BRELO"), line + ", envoi via SFTP : 1 fichier transmis");

  WriteScript("WinSFTP-BRELO.bat", kAnsiNoneDone);
  ASSERT_EQ(sandbox_.Run("BRELO").exitCode, 3);  // finished, nothing reported sent
  EXPECT_EQ(LastLogLine("BRELO"), line + ", erreur lors de l'envoi via SFTP");

  // A previous log that cannot be removed is never read as this run's report.
  WriteScript("WinSFTP-BRELO.bat", kUtf16BeOneDone);
  fs::remove(Kord() + "/WinSFTP-BRELO.log");
  MakeHostFolders(Kord() + "/WinSFTP-BRELO.log/held");
  ExportResult run = sandbox_.Run("BRELO");
  ASSERT_EQ(run.exitCode, 3) << run.output;
  const auto lines = SplitCrLfLines(Log("BRELO"));
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines.back(), line + ", erreur lors de l'envoi via SFTP");
  EXPECT_EQ(lines[lines.size() - 2].rfind("<stamp> - Ancien journal de transfert impossible \xe0 supprimer : "
                                          "c:\\projects\\Kord\\WinSFTP-BRELO.log - ", 0),
            0u)
      << lines[lines.size() - 2];
  fs::remove_all(Kord() + "/WinSFTP-BRELO.log");

  WriteScript("WinSFTP-BRELO.bat", kNoLog);
  EXPECT_EQ(sandbox_.Run("BRELO").exitCode, 1);
}

}  // namespace
}  // namespace tarvelon
