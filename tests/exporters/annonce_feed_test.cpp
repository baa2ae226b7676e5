// The annonce feeds (LEBONCOIN, SITAUTOPRO, HEYCAR, GMBFI) through the
// tarvelon binary, against a real FTP server playing the image server and the
// clients' accounts. Client files and prepared extracts are compared with the
// expected files of each case, byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "support/export_sandbox.h"
#include "support/ftp_server.h"
#include "support/golden.h"
#include "support/xml_check.h"

namespace tarvelon {
namespace {

using namespace tarvelon::testing;
namespace fs = std::filesystem;

class AnnonceFeed : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"pelmar/brelo", "quivale/depot", "dorn", "pictlore/www/pictlore/pdo/ab",
                               "pictlore/www/pictlore/qui/ab", "pictlore/www/pictlore/pel/aa",
                               "pictlore/www/pictlore/pel/bb"})
      MakeHostFolders(ftpRoot_ / folder);
    server_.Start({{"pelmar", "pelmar-pw", ftpRoot_ / "pelmar"},
                   {"quivale", "quivale-pw", ftpRoot_ / "quivale"},
                   {"dorn", "dorn-pw", ftpRoot_ / "dorn"},
                   {"pictlore", "pictlore-pw", ftpRoot_ / "pictlore"}});
  }

  ExportResult RunCase(const std::string& option, const std::string& extract) {
    sandbox_.AddExtract(CasePath(case_, extract));
    sandbox_.WriteSettings(ReadHostFile(CasePath(case_, "Tarvelon.ini")), {{"FTP", server_.address()}});
    return sandbox_.Run(option);
  }

  // The lines the run logged, as the memo showed them, stamps and port masked.
  std::string LoggedLines(const std::string& output) const {
    std::string lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);)
      if (line.rfind("-> ", 0) == 0) lines += line + "\n";
    return std::regex_replace(MaskLogStamps(lines), std::regex(server_.address()), "@FTP@");
  }

  std::string Work(const std::string& name) const { return sandbox_.work() + "/Tarvelon/" + name; }

  void ExpectWorkFileAsExpected(const std::string& name) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(fs::exists(Work(name)));
    ExpectSameAsGolden(ReadHostFile(Work(name)), CasePath(case_, "expected/" + name));
  }

  // A client file as the partner reads it: well-formed, declared and encoded ISO-8859-15.
  std::string ReadClientFile(const std::string& name) {
    std::string report;
    EXPECT_EQ(RunCommand("xmllint --noout '" + Work(name) + "' 2>&1", &report), 0) << report;
    const std::string bytes = ReadHostFile(Work(name));
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?>\n<CLIENT CODE=", 0), 0u) << name;
    return Iso885915ToUtf8(bytes);
  }

  std::string case_;
  ExportSandbox sandbox_;
  TempFolder ftpRoot_;
  FtpServer server_;
};

TEST_F(AnnonceFeed, LeBonCoinCutsThePreparedExtractIntoOneFilePerSiteLabel) {
  case_ = "leboncoin-two-sites";
  sandbox_.AddPhoto("pdo/ab/v101-2");
  sandbox_.AddPhoto("qui/ab/v103-1");
  const ExportResult run = RunCase("leboncoin", "ExpDatasLEBONCOIN.xml");
  ASSERT_EQ(run.exitCode, 3) << run.output;  // finished, but DORN-VO's account is unreachable

  for (const char* name : {"LEBONCOIN-20170214.xml", "1234.xml", "1237.xml", "lbc-quivale.xml"})
    ExpectWorkFileAsExpected(name);
  // The dated copies hold the same document; 1236 (same label as 1234) and 1238 (no vehicle) make none.
  EXPECT_EQ(ReadHostFile(Work("LEBONCOIN-PELMAR-DORN-VO-20170214.xml")), ReadHostFile(Work("1234.xml")));
  EXPECT_EQ(ReadHostFile(Work("LEBONCOIN-DORN-VO-20170214.xml")), ReadHostFile(Work("1237.xml")));
  EXPECT_EQ(ReadHostFile(Work("LEBONCOIN-QUIVALE-20170214.xml")), ReadHostFile(Work("lbc-quivale.xml")));
  EXPECT_FALSE(fs::exists(Work("1236.xml")));
  EXPECT_FALSE(fs::exists(Work("1238.xml")));
  EXPECT_TRUE(fs::exists(Work("LEBONCOIN-20170214A.xml")));
  EXPECT_TRUE(fs::exists(Work("LEBONCOIN-20170214B.xml")));

  ExpectSameAsGolden(MaskLogStamps(ReadHostFile(sandbox_.work() + "/MarqueUpdateLEBONCOIN.log")),
                     CasePath(case_, "expected.log"));
  ExpectSameAsGolden(LoggedLines(run.output), CasePath(case_, "expected-memo-log.txt"));
}

TEST_F(AnnonceFeed, LeBonCoinClientFilesReadAsThePartnerReadsThem) {
  case_ = "leboncoin-two-sites";
  ASSERT_EQ(RunCase("LEBONCOIN", "ExpDatasLEBONCOIN.xml").exitCode, 3);

  const std::string quivale = ReadClientFile("lbc-quivale.xml");
  EXPECT_NE(quivale.find("soit une remise de 10.0% sur ce véhicule, + Garantie de 24 mois"), std::string::npos);
  EXPECT_NE(quivale.find("Tél : 03 22 00 00 01"), std::string::npos);
  // A value that looks like the edits' markers passes through them untouched.
  const std::string dorn = ReadClientFile("1237.xml");
  EXPECT_NE(dorn.find("Prix € net &lt;/DataVO&gt; &lt;InfoVA&gt; IDPHOTO1&gt; TUNING&gt;&lt;/PHOTOS&gt; "
                      "LIBELLEVILLE&gt; \"q\" &amp; fin"),
            std::string::npos);
  const std::string pelmar = ReadClientFile("1234.xml");
  EXPECT_NE(pelmar.find("<PHOTOS><PHOTO>http://photos.kord.test/pictlore/pdo/ab/v101-2.jpg</PHOTO>"
                        "<PHOTO>http://photos.kord.test/pictlore/pdo/ab/v101-1.jpg</PHOTO></PHOTOS></ANNONCE>"),
            std::string::npos);
}

TEST_F(AnnonceFeed, EachClientGetsItsArchiveAndAFailedDeliveryDoesNotStopTheNext) {
  case_ = "leboncoin-two-sites";
  sandbox_.AddPhoto("pdo/ab/v101-2");
  sandbox_.AddPhoto("qui/ab/v103-1");
  ASSERT_EQ(RunCase("LEBONCOIN", "ExpDatasLEBONCOIN.xml").exitCode, 3);

  EXPECT_EQ(ReadHostFile(ftpRoot_ / "pelmar/1234.zip"), ReadHostFile(Work("1234.zip")));
  EXPECT_EQ(ReadHostFile(ftpRoot_ / "quivale/depot/lbc-quivale.zip"), ReadHostFile(Work("lbc-quivale.zip")));
  EXPECT_TRUE(fs::is_empty(ftpRoot_ / "dorn"));  // refused login
  std::string content;
  ASSERT_EQ(RunCommand("unzip -p '" + Work("1234.zip") + "' 1234.xml", &content), 0);
  EXPECT_EQ(content, ReadHostFile(Work("1234.xml")));
  // The connection is closed after each client, so each client logs in with its own account.
  std::vector<std::string> logins;
  for (const auto& command : server_.Commands())
    if (command.rfind("USER ", 0) == 0) logins.push_back(command);
  EXPECT_EQ(logins, (std::vector<std::string>{"USER pictlore", "USER pelmar", "USER dorn", "USER quivale"}));
  // Slot 1 photos that earn a mark are published under their tagged names.
  EXPECT_TRUE(fs::exists(ftpRoot_ / "pictlore/www/pictlore/pdo/ab/v101-dwa.jpg"));
  EXPECT_TRUE(fs::exists(ftpRoot_ / "pictlore/www/pictlore/qui/ab/v103-ATPTZT.jpg"));
}

TEST_F(AnnonceFeed, SitAutoProSelectsByGroupKeepsNoContactBlockAndSyncsPhotos) {
  case_ = "sitautopro-groups";
  sandbox_.AddPhoto("pel/aa/s201-1");
  sandbox_.AddPhoto("pel/aa/s201-2");
  WriteHostFile(ftpRoot_ / "pictlore/www/pictlore/pel/bb/s202-1.jpg", ReadHostFile(sandbox_.photoStore() + "/pel/aa/s201-2.jpg"));
  const ExportResult run = RunCase("SITAUTOPRO", "ExpDatasSITAUTOPRO.xml");
  ASSERT_EQ(run.exitCode, 0) << run.output;

  for (const char* name : {"SITAUTOPRO-20170214.xml", "S01.xml", "S02.xml", "S&03.xml"}) ExpectWorkFileAsExpected(name);
  for (const char* name : {"S01.xml", "S02.xml", "S&03.xml"})
    EXPECT_EQ(ReadClientFile(name).find("COORDONNEES"), std::string::npos) << name;
  EXPECT_EQ(ReadHostFile(Work("SITAUTOPRO-QUIVALE-CENTRE-VD-20170214.xml")), ReadHostFile(Work("S&03.xml")));
  EXPECT_TRUE(fs::exists(ftpRoot_ / "pelmar/S01.zip"));
  EXPECT_TRUE(fs::exists(ftpRoot_ / "pelmar/brelo/S02.zip"));
  EXPECT_TRUE(fs::exists(ftpRoot_ / "quivale/S&03.zip"));

  // With the photo server check on, missing photos were sent and fetched, and
  // every first photo was tagged with the centred logo.
  for (const char* name : {"pel/aa/s201-1.jpg", "pel/aa/s201-1m.jpg", "pel/aa/s201-2.jpg", "pel/aa/s201-TC.jpg",
                           "pel/bb/s202-TC.jpg"})
    EXPECT_TRUE(fs::exists(ftpRoot_ / ("pictlore/www/pictlore/" + std::string(name)))) << name;
  EXPECT_TRUE(fs::exists(sandbox_.photoStore() + "/pel/bb/s202-1.jpg"));

  ExpectSameAsGolden(MaskLogStamps(ReadHostFile(sandbox_.work() + "/MarqueUpdateSITAUTOPRO.log")),
                     CasePath(case_, "expected.log"));
  ExpectSameAsGolden(LoggedLines(run.output), CasePath(case_, "expected-memo-log.txt"));
}

TEST_F(AnnonceFeed, ARunWhereNoClientKeepsAVehicleWritesOnlyTheSummary) {
  case_ = "heycar-nothing-kept";
  const ExportResult run = RunCase("HEYCAR", "ExpDatasHEYCAR.xml");
  ASSERT_EQ(run.exitCode, 0) << run.output;

  ExpectWorkFileAsExpected("HEYCAR-20170214.xml");
  ExpectSameAsGolden(MaskLogStamps(ReadHostFile(sandbox_.work() + "/MarqueUpdateHEYCAR.log")),
                     CasePath(case_, "expected.log"));
  for (const auto& entry : fs::directory_iterator(sandbox_.work() + "/Tarvelon")) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("runs.sqlite", 0) == 0) continue;  // the run journal
    EXPECT_TRUE(name.rfind("HEYCAR-20170214", 0) == 0) << "unexpected file " << name;
  }
  // The refused result name led nowhere.
  for (const auto& entry : fs::recursive_directory_iterator(fs::path(sandbox_.work()).parent_path()))
    EXPECT_EQ(entry.path().filename().string().find("heycar-nord"), std::string::npos) << entry.path();
  EXPECT_EQ(server_.CountCommands("USER"), 0);
}

TEST_F(AnnonceFeed, AMissingStockExtractEndsTheRunWithTheCursorError) {
  sandbox_.WriteSettings("[Options]\r\n");
  const ExportResult run = sandbox_.Run("GMBFI");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("TXMLCursor.Load FileName[c:\\projects\\kord\\data\\Tarvelon\\ExpDatasGMBFI.xml] does not exists"),
            std::string::npos)
      << run.output;
  EXPECT_FALSE(fs::exists(Work("GMBFI-20170214.xml")));
}

}  // namespace
}  // namespace tarvelon
