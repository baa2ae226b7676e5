// A delivery fault after a finished export, through the tarvelon binary: the
// export file stands, the fault is in the log, and the exit status is 3
// (finished, a delivery failed), never 0.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/export_sandbox.h"
#include "support/fault_table.h"
#include "support/ftp_server.h"
#include "support/golden.h"
#include "support/smtp_server.h"

namespace tarvelon {
namespace {

using namespace tarvelon::testing;
namespace fs = std::filesystem;

constexpr const char* kSettings =
    "[Pictlore]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\n"
    "[NEOWEBCAR]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\nPathFTP=export\r\nidClient=NWC-Kord\r\n"
    "[StrInfoLog]\r\nHost=127.0.0.1\r\nPort=@SMTP@\r\nSendTO=stock@neowebcar.fr\r\n[MAIL]\r\nAuthType=none\r\n";

TEST(DeliveryFault, AMailWhoseRecipientsAreRefusedEndsTheFinishedRunWithStatusThree) {
  ExportSandbox sandbox;
  TempFolder ftpRoot, mailRoot;
  MakeHostFolders(ftpRoot / "export");
  FtpServer ftp;
  ftp.Start(ftpRoot.path(), "kord", "secret");
  SmtpServer smtp;
  smtp.StartFaulty(mailRoot.path(), SmtpFault::kRefuseRecipients);
  sandbox.AddExtract(CasePath("neowebcar-mail", "ExpDatasNeoWebCar.xml"));
  sandbox.WriteSettings(kSettings, {{"FTP", ftp.address()}, {"SMTP", std::to_string(smtp.port())}});

  FaultRow row("550 to RCPT TO after the upload", "NEOWEBCAR run (binary)");
  const ExportResult run = sandbox.Run("NEOWEBCAR");
  EXPECT_EQ(run.exitCode, 3) << run.output;
  const std::string csv = ReadHostFile(sandbox.work() + "/Tarvelon/NWC-Kord.csv");
  EXPECT_EQ(ReadHostFile(ftpRoot / "export/NWC-Kord.csv"), csv);  // the upload itself went through
  const std::vector<std::string> log = SplitCrLfLines(ReadHostFile(sandbox.work() + "/MarqueUpdateNEOWEBCAR.log"));
  ASSERT_FALSE(log.empty());
  EXPECT_NE(log.back().find(" - ERROR: "), std::string::npos) << log.back();
  EXPECT_NE(log.back().find("550"), std::string::npos) << log.back();
  EXPECT_TRUE(smtp.Messages().empty());
  EXPECT_TRUE(fs::exists(sandbox.work() + "/Sendro/20170214100000.eml"));
  row.Outcome("exit 3, log \"" + log.back().substr(log.back().find("ERROR: ")) + "\", file on the FTP server");
}

}  // namespace
}  // namespace tarvelon
