// PVO through the tarvelon binary at a fixed clock, against a real FTP server
// with one account for the target and one for the client's own section; and
// the amounts under a decimal comma.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "platform/text.h"
#include "support/export_sandbox.h"
#include "support/ftp_server.h"
#include "support/golden.h"

namespace tarvelon {
namespace {

using namespace tarvelon::testing;
namespace fs = std::filesystem;

const std::string kCase = "pvo-client-account";

constexpr const char* kSettings =
    "[Options]\r\nURLImages=http://www.groupe-kord.fr/pictlore\r\n"
    "[Pictlore]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\n"
    "[PVO]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\nPathFTP=opticar\r\n"
    "[OpticarVN_NISSANSAUVREL]\r\nServeurFTP=@FTP@\r\nUser=nissan\r\nPassWord=nissan-pw\r\nPathFTP=depot\r\n";

class PvoFeed : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeHostFolders(kordRoot_ / "opticar");
    MakeHostFolders(nissanRoot_ / "depot");
    server_.Start({{"kord", "secret", kordRoot_.path()}, {"nissan", "nissan-pw", nissanRoot_.path()}});
    sandbox_.WriteSettings(kSettings, {{"FTP", server_.address()}});
  }
  std::string Work(const std::string& name) const { return sandbox_.work() + "/" + name; }
  std::string Masked(const std::string& text) const {
    std::string masked = MaskLogStamps(text);
    masked = std::regex_replace(masked, std::regex(server_.address()), "@FTP@");
    return std::regex_replace(masked, std::regex(sandbox_.root()), "@ROOT@");
  }
  std::string ZipNames(const std::string& zip) const {
    std::string names;
    EXPECT_EQ(RunCommand("/usr/bin/python3 -c \"import zipfile,sys; z=zipfile.ZipFile(sys.argv[1]); "
                         "print(z.testzip(), z.namelist())\" '" + zip + "'",
                         &names),
              0)
        << names;
    return names;
  }

  ExportSandbox sandbox_{"2017-02-14 10:37:09"};
  TempFolder kordRoot_;
  TempFolder nissanRoot_;
  FtpServer server_;
};

TEST_F(PvoFeed, TheClientSelectsItsVehiclesAndItsAccount) {
  sandbox_.AddExtract(CasePath(kCase, "ExpDatasPVO.xml"));
  ExportResult run = sandbox_.Run("pvo");
  ASSERT_EQ(run.exitCode, 0) << run.output;

  // Minutes (not months) in the dated name and the first line.
  const std::string text = ReadHostFile(Work("OpticarVN_NISSANSAUVREL.txt"));
  ExpectSameAsGolden(text, CasePath(kCase, "expected.txt"));
  EXPECT_EQ(ReadHostFile(Work("OpticarVN_NISSANSAUVREL-201702141037.txt")), text);
  ExpectSameAsGolden(Masked(ReadHostFile(Work("MarqueUpdatePVO.log"))), CasePath(kCase, "expected.log"));
  EXPECT_TRUE(StartsWith(text, "??\t1.0\t20170214103709\r\n"));
  EXPECT_EQ(text.find('\0'), std::string::npos);

  std::string counts;
  ASSERT_EQ(RunCommand("/usr/bin/python3 -c \"import sys; t=open(sys.argv[1],'rb').read().split(b'\\r\\n'); "
                       "print([len(l.split(b'\\t')) for l in t[1:-1]], all(l.endswith(b'\\t') for l in t[1:-1]))\" '" +
                           Work("OpticarVN_NISSANSAUVREL.txt") + "'",
                       &counts),
            0);
  EXPECT_EQ(counts, "[168, 168] True\n");  // 167 fields, each followed by a TAB

  // The archive holds the undated file alone and went to the client's own account.
  const std::string zip = Work("Tarvelon/OpticarVN_NISSANSAUVREL.zip");
  EXPECT_EQ(ZipNames(zip), "None ['OpticarVN_NISSANSAUVREL.txt']\n");
  EXPECT_EQ(ReadHostFile(nissanRoot_ / "depot/OpticarVN_NISSANSAUVREL.zip"), ReadHostFile(zip));
  EXPECT_FALSE(fs::exists(kordRoot_ / "opticar/OpticarVN_NISSANSAUVREL.zip"));
  // No copy of the extract; the PVO folder exists.
  for (const auto& entry : fs::directory_iterator(Work("Tarvelon"))) {
    if (entry.path().filename().string().rfind("runs.sqlite", 0) != 0) {  // the run journal
      EXPECT_EQ(entry.path().extension(), ".zip") << entry.path();
    }
  }
  EXPECT_TRUE(fs::is_directory(Work("PVO")));
}

TEST_F(PvoFeed, AmountsFollowTheProcessDecimalComma) {
  // A French numeric locale built for the test (the machine carries none).
  TempFolder locales;
  if (RunCommand("localedef -i fr_FR -f UTF-8 '" + locales.path() + "/fr_FR.UTF-8' 2>&1") != 0 &&
      !fs::exists(locales.path() + "/fr_FR.UTF-8"))
    GTEST_SKIP() << "localedef cannot build fr_FR here";
  ScopedEnv path("LOCPATH", locales.path().c_str());
  ScopedEnv numeric("LC_ALL", "fr_FR.UTF-8");
  WriteHostFile(sandbox_.extracts() + "/ExpDatasPVO.xml",
                "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<document><DataVOS>"
                "<DataVO><idVO>1</idVO><id-Client>Opticar</id-Client><TPVO>12500,50</TPVO><PrixVente>12000,40</PrixVente>"
                "<PrixReprise>10000,20</PrixReprise><modeTVA>1</modeTVA><DateOrdre>02/01/2014</DateOrdre></DataVO>"
                "<DataVO><idVO>2</idVO><TPVO>12500.50</TPVO><PrixVente>1196</PrixVente><modeTVA>2</modeTVA>"
                "<DateOrdre>01/06/2013</DateOrdre></DataVO>"
                "</DataVOS></document>\n");
  ExportResult run = sandbox_.Run("PVO");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::vector<std::string> lines = SplitCrLfLines(ReadHostFile(Work("Opticar.txt")));
  ASSERT_EQ(lines.size(), 3u);
  auto field = [&](int line, int n) {
    size_t start = 0;
    for (int i = 1; i < n; ++i) start = lines[line].find('\t', start) + 1;
    return lines[line].substr(start, lines[line].find('\t', start) - start);
  };
  EXPECT_EQ(field(1, 39), "1250050");  // "12500,50" in cents
  EXPECT_EQ(field(1, 40), "1200040");
  EXPECT_EQ(field(1, 41), "33337");    // tax in the margin 2000,20 at one sixth, read back with the comma
  EXPECT_EQ(field(2, 39), "0");        // a point is no decimal separator here
  EXPECT_EQ(field(2, 41), "19600");    // margin scheme: the whole sale at 19.6 % before 2014
  EXPECT_EQ(ZipNames(Work("Tarvelon/Opticar.zip")), "None ['Opticar.txt']\n");
  EXPECT_TRUE(fs::exists(kordRoot_ / "opticar/Opticar.zip"));
  EXPECT_NE(ReadHostFile(Work("MarqueUpdatePVO.log"))
                .find(Ansi("Transfert FTP OK : Fichier VO actualisé sur site FTP : Opticar.zip - 2 VO")),
            std::string::npos);
}

TEST_F(PvoFeed, AClientThatIsNoFileNameIsRefused) {
  WriteHostFile(sandbox_.extracts() + "/ExpDatasPVO.xml",
                "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<document><DataVOS>"
                "<DataVO><idVO>1</idVO><id-Client>../x</id-Client></DataVO></DataVOS></document>\n");
  ExportResult run = sandbox_.Run("PVO");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("Identifiant client refusé pour un nom de fichier : Opticar../X"), std::string::npos)
      << run.output;
  EXPECT_FALSE(fs::exists(sandbox_.root() + "/X.txt"));
  EXPECT_FALSE(fs::exists(Work("Opticar.txt")));
}

}  // namespace
}  // namespace tarvelon
