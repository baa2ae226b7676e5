// The run journal and `tarvelon --status` through the binary: what operations
// see after successful, failed and broken runs, and runs side by side.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/export_sandbox.h"
#include "support/ftp_server.h"

namespace tarvelon {
namespace {

using namespace tarvelon::testing;
namespace fs = std::filesystem;

constexpr const char* kSettings =
    "[Options]\r\nPathImages=c:\\projects\\kord\\images\r\n@JOURNAL@"
    "[Pictlore]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\nPathFTP=www/pictlore\r\n"
    "[AUTOSCOUT24]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\nPathFTP=portal\r\nidClient=123456\r\n"
    "[VPN]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\nPathFTP=portal\r\nidClient=778899\r\n"
    "[AXECIBLES]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\nPathFTP=portal\r\n";

std::string CaseFile(const std::string& caseName, const std::string& name) {
  return std::string(TARVELON_SOURCE_DIR) + "/tests/exporters/cases/" + caseName + "/" + name;
}

class RunJournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeHostFolders(ftpRoot_ / "www/pictlore");
    MakeHostFolders(ftpRoot_ / "portal");
    server_.Start(ftpRoot_.path(), "kord", "secret");
    Settings("");
  }
  void Settings(const std::string& journalLine) {
    sandbox_.WriteSettings(kSettings, {{"FTP", server_.address()}, {"JOURNAL", journalLine}});
  }
  void UseStock(const std::string& caseName) {
    MakeHostFolders(sandbox_.extracts());
    fs::copy_file(CaseFile(caseName, "ExpDatasAutoScout24.xml"), sandbox_.extracts() + "/ExpDatasAutoScout24.xml",
                  fs::copy_options::overwrite_existing);
  }
  std::string Journal() const { return sandbox_.work() + "/Tarvelon/runs.sqlite"; }
  // One line per row of the query, columns separated by "|".
  std::string Query(const std::string& sql) const {
    std::string out;
    RunCommand("/usr/bin/python3 -c 'import sqlite3,sys\n"
               "for r in sqlite3.connect(sys.argv[1]).execute(sys.argv[2]): print(\"|\".join(map(str, r)))' '" +
                   Journal() + "' \"" + sql + "\"",
               &out);
    return out;
  }

  ExportSandbox sandbox_;
  TempFolder ftpRoot_;
  FtpServer server_;
};

TEST_F(RunJournalTest, RunsAreRecordedAndStatusFlagsWhatNeedsAnOperator) {
  UseStock("autoscout24-price-and-columns");
  sandbox_.SetNow("2017-02-14 10:00:00");
  ASSERT_EQ(sandbox_.Run("AUTOSCOUT24").exitCode, 0);
  sandbox_.SetNow("2017-02-14 12:00:00");
  ExportResult status = sandbox_.Run("--status");
  EXPECT_EQ(status.exitCode, 0) << status.output;
  EXPECT_NE(status.output.find("AUTOSCOUT24       2017-02-14 10:00:00 finished"), std::string::npos)
      << status.output;

  // The portal is down: the export finishes, the delivery failed.
  server_.Stop();
  sandbox_.SetNow("2017-02-15 09:00:00");
  ExportResult failed = sandbox_.Run("AUTOSCOUT24");
  EXPECT_EQ(failed.exitCode, 3) << failed.output;
  const std::string zip = sandbox_.work() + "\\Tarvelon\\123456.zip";
  EXPECT_EQ(Query("SELECT file, destination, status, ok FROM deliveries ORDER BY rowid"),
            zip + "|" + server_.address() + "/portal|Transfert FTP OK : |1\n" + zip + "|" + server_.address() +
                "/portal|Transfert FTP : Erreur Connexion au serveur. |0\n");
  status = sandbox_.Run("--status");
  EXPECT_EQ(status.exitCode, 4) << status.output;
  EXPECT_NE(status.output.find("0 ok/1 failed"), std::string::npos) << status.output;
  EXPECT_NE(status.output.find("FAILED"), std::string::npos) << status.output;

  // The stock shrank to nothing: a successful run, but far fewer vehicles.
  server_.Start(ftpRoot_.path(), "kord", "secret");
  Settings("");
  UseStock("autoscout24-empty-stock");
  sandbox_.SetNow("2017-02-15 10:00:00");
  ASSERT_EQ(sandbox_.Run("AUTOSCOUT24").exitCode, 0);
  // A target that errors: VPN has no extract.
  ExportResult broken = sandbox_.Run("VPN");
  EXPECT_EQ(broken.exitCode, 1);

  sandbox_.SetNow("2017-02-15 11:00:00");
  ExportResult json = sandbox_.RunArguments({"--status", "--json"});
  EXPECT_EQ(json.exitCode, 4) << json.output;
  std::string parsed;
  TempFolder scratch;
  WriteHostFile(scratch / "status.json", json.output);
  ASSERT_EQ(RunCommand("/usr/bin/python3 -c 'import json,sys\n"
                       "for t in json.load(open(sys.argv[1])): print(t[\"option\"], t[\"outcome\"], "
                       "t[\"vehicles_exported\"], t[\"change\"], \" \".join(t[\"flags\"]) or \"ok\", "
                       "\"E\" if t[\"error\"] else \"-\")' " + scratch / "status.json",
                       &parsed),
            0)
      << json.output;
  // AUTOSCOUT24 fell from 6 vehicles to none; VPN never succeeded and ended with an error.
  EXPECT_EQ(parsed, "AUTOSCOUT24 finished 0 -6 DROP -\nVPN error 0 None FAILED STALE E\n");

  // Fifty hours without a run: past the default 26 hours, AUTOSCOUT24 is stale.
  sandbox_.SetNow("2017-02-17 12:00:00");
  status = sandbox_.Run("--status");
  EXPECT_EQ(status.exitCode, 4);
  EXPECT_NE(status.output.find("finished         0      -6 1 ok/0 failed     50.0  STALE DROP"), std::string::npos) << status.output;
}

TEST_F(RunJournalTest, TwoTargetsExportingAtOnceAreBothRecorded) {
  UseStock("autoscout24-price-and-columns");
  fs::copy_file(CaseFile("dealer-csv-four-profiles", "ExpDatasAxeCibles.xml"),
                sandbox_.extracts() + "/ExpDatasAxeCibles.xml");
  const std::string env = "env PATH=/usr/bin:/bin:$PATH SharedTemp='" + sandbox_.work() + "' TARVELON_HOME='" +
                          sandbox_.program() + "' TARVELON_DRIVE_C='" + sandbox_.drive() +
                          "' TARVELON_NOW='2017-02-14 10:00:00' " + TARVELON_CLI;
  std::string out;
  ASSERT_EQ(RunCommand("(" + env + " AUTOSCOUT24 >/dev/null 2>&1; echo a$? ) & (" + env +
                           " AXECIBLES >/dev/null 2>&1; echo x$? ) & wait",
                       &out),
            0);
  EXPECT_NE(out.find("a0"), std::string::npos) << out;
  EXPECT_NE(out.find("x0"), std::string::npos) << out;
  EXPECT_EQ(Query("SELECT option, outcome, (SELECT COUNT(*) FROM deliveries d WHERE d.run_id = r.id AND d.ok = 1)"
                  " FROM runs r ORDER BY option"),
            "AUTOSCOUT24|finished|1\nAXECIBLES|finished|1\n");
}

TEST_F(RunJournalTest, AJournalThatCannotBeWrittenNeverStopsTheExport) {
  UseStock("autoscout24-empty-stock");
  // The journal's folder would have to be made inside a file: it cannot be opened.
  WriteHostFile(sandbox_.drive() + "/blocked", "a file, not a folder");
  Settings("JournalFile=c:\\blocked\\runs.sqlite\r\n");
  ExportResult run = sandbox_.Run("AUTOSCOUT24");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("Journal des exports non \xc3\xa9" "crit : c:\\blocked\\runs.sqlite"), std::string::npos)
      << run.output;
  EXPECT_TRUE(fs::exists(ftpRoot_ / "portal/123456.zip"));
}

}  // namespace
}  // namespace tarvelon
