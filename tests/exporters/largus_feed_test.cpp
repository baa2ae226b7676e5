// LArgus through the tarvelon binary: one quoted file per client, each sent
// to a real FTP server; a stale file, hostile client numbers and a failed
// first delivery in the same run.
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

const std::string kCase = "largus-three-clients";

constexpr const char* kSettings =
    "[Options]\r\nURLImages=http://www.groupe-kord.fr/pictlore\r\n"
    "[Pictlore]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\n"
    "[LARGUS]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\nPathFTP=largus\r\n";

class LArgusFeed : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeHostFolders(ftpRoot_ / "largus");
    server_.Start(ftpRoot_.path(), "kord", "secret");
    sandbox_.WriteSettings(kSettings, {{"FTP", server_.address()}});
  }
  std::string Work(const std::string& name) const { return sandbox_.work() + "/" + name; }
  std::string Masked(const std::string& text) const {
    std::string masked = MaskLogStamps(text);
    masked = std::regex_replace(masked, std::regex(server_.address()), "@FTP@");
    return std::regex_replace(masked, std::regex(sandbox_.root()), "@ROOT@");
  }

  ExportSandbox sandbox_;
  TempFolder ftpRoot_;
  FtpServer server_;
};

TEST_F(LArgusFeed, OneFilePerClientEachSentTheFirstFailureShown) {
  sandbox_.AddExtract(CasePath(kCase, "ExpDatasLArgus.xml"));
  // Left by an earlier run and not deletable (a folder): neither appended to nor sent.
  MakeHostFolders(Work("Argus/777.csv"));
  WriteHostFile(Work("Argus/777.csv/old.txt"), "old");
  // The partner cannot take 123.csv (a folder of that name), 456.csv goes through.
  MakeHostFolders(ftpRoot_ / "largus/123.csv");

  ExportResult run = sandbox_.Run("largus");
  ASSERT_EQ(run.exitCode, 3) << run.output;  // finished, 123.csv not delivered

  const std::string first = ReadHostFile(Work("Argus/123.csv"));
  const std::string second = ReadHostFile(Work("Argus/456.csv"));
  ExpectSameAsGolden(first, CasePath(kCase, "expected-123.csv"));
  ExpectSameAsGolden(second, CasePath(kCase, "expected-456.csv"));
  ExpectSameAsGolden(Masked(ReadHostFile(Work("MarqueUpdateLARGUS.log"))), CasePath(kCase, "expected.log"));
  // Every line the run logged, the ones before the log restart included.
  std::string logged;
  std::istringstream output(run.output);
  for (std::string line; std::getline(output, line);)
    if (line.rfind("-> ", 0) == 0) logged += line + "\n";
  ExpectSameAsGolden(Masked(logged), CasePath(kCase, "expected-memo-log.txt"));

  // A csv reader sees 52 fields on every line.
  std::string counts;
  ASSERT_EQ(RunCommand("/usr/bin/python3 -c \"import csv,sys; print([len(r) for f in sys.argv[1:] for r in "
                       "csv.reader(open(f, encoding='cp1252', newline=''), delimiter=';')])\" '" +
                           Work("Argus/123.csv") + "' '" + Work("Argus/456.csv") + "'",
                       &counts),
            0)
      << counts;
  EXPECT_EQ(counts, "[52, 52, 52]\n");

  EXPECT_EQ(ReadHostFile(ftpRoot_ / "largus/456.csv"), second);
  EXPECT_TRUE(fs::is_directory(ftpRoot_ / "largus/123.csv"));
  EXPECT_FALSE(fs::exists(ftpRoot_ / "largus/777.csv"));
  EXPECT_EQ(ReadHostFile(Work("Argus/777.csv/old.txt")), "");  // emptied, never appended to
  for (const auto& entry : fs::directory_iterator(Work("Argus")))
    EXPECT_TRUE(entry.path().filename() == "123.csv" || entry.path().filename() == "456.csv" ||
                entry.path().filename() == "777.csv")
        << entry.path();
  EXPECT_FALSE(fs::exists(sandbox_.work() + "/x.csv"));
  EXPECT_EQ(server_.CountCommands("STOR"), 2);

  // The copy of the extract holds the mapped brand and the site's public contact.
  const std::string copy = ReadHostFile(Work("Tarvelon/201702141000.xml"));
  EXPECT_NE(copy.find("<Marque>Volkswagen</Marque>"), std::string::npos);
  EXPECT_NE(copy.find("<telephone>03 20 99 99 99</telephone>"), std::string::npos);
}

TEST_F(LArgusFeed, AStockWithoutVehiclesSendsNothing) {
  WriteHostFile(sandbox_.extracts() + "/ExpDatasLArgus.xml",
                "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<document><DataVOS/></document>\n");
  ExportResult run = sandbox_.Run("LARGUS");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const auto lines = SplitCrLfLines(Masked(ReadHostFile(Work("MarqueUpdateLARGUS.log"))));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], Ansi("<stamp> - Fichier VO actualisé sur site FTP - 0 VO - "));
  EXPECT_EQ(server_.CountCommands("STOR"), 0);
}

}  // namespace
}  // namespace tarvelon
