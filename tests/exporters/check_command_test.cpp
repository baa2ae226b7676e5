// tarvelon --check OPTION through the binary, against a real FTP server: a
// working and a broken account, a misspelled key, a missing extract, and
// nothing changed on disk or on the server.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "support/export_sandbox.h"
#include "support/ftp_server.h"
#include "support/golden.h"
#include "support/http_recorder.h"
#include "support/smtp_server.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

using namespace tarvelon::testing;
namespace fs = std::filesystem;

// Every file and folder under the root with its size and modification time.
std::string Listing(const std::string& root) {
  std::string text;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    text += entry.path().string();
    if (entry.is_regular_file())
      text += " " + std::to_string(entry.file_size()) + " " +
              std::to_string(entry.last_write_time().time_since_epoch().count());
    text += "\n";
  }
  return text;
}

bool HasRow(const std::string& output, const std::string& level, const std::string& check, const std::string& reason) {
  const std::regex row("(^|\n)" + level + " +" + std::regex_replace(check, std::regex(R"([\[\]])"), R"(\$&)") +
                       " +[^\n]*" + reason);
  return std::regex_search(output, row);
}

void ExpectNothingChangedOnServer(const FtpServer& server) {
  for (const std::string& command : server.Commands())
    for (const char* verb : {"STOR", "APPE", "DELE", "MKD", "RMD", "RNFR", "RNTO", "SITE"})
      EXPECT_NE(command.rfind(verb, 0), 0u) << command;
}

class CheckCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"pelmar", "quivale/depot", "dorn", "scout/in", "pictlore/www/pictlore"})
      MakeHostFolders(ftpRoot_.path() + "/" + folder);
    server_.Start({{"pelmar", "pelmar-pw", ftpRoot_.path() + "/pelmar"},
                   {"quivale", "quivale-pw", ftpRoot_.path() + "/quivale"},
                   {"dorn", "dorn-pw", ftpRoot_.path() + "/dorn"},
                   {"scout", "scout-pw", ftpRoot_.path() + "/scout"},
                   {"pictlore", "pictlore-pw", ftpRoot_.path() + "/pictlore"}});
  }

  ExportSandbox sandbox_;
  TempFolder ftpRoot_;
  FtpServer server_;
};

TEST_F(CheckCommand, ReachesEveryAccountReportsTheBrokenOneAndTheMisspelledKeysAndChangesNothing) {
  sandbox_.AddExtract(CasePath("leboncoin-two-sites", "ExpDatasLEBONCOIN.xml"));
  sandbox_.WriteSettings(ReadHostFile(CasePath("check-leboncoin-accounts", "Tarvelon.ini")),
                         {{"FTP", server_.address()}});
  sandbox_.AddPhoto("pdo/ab/v101-2");
  const std::string diskBefore = Listing(sandbox_.root());
  const std::string serverBefore = Listing(ftpRoot_.path());

  const ExportResult run = sandbox_.RunArguments({"--check", "leboncoin"});
  EXPECT_EQ(run.exitCode, 1) << run.output;
  const std::string& out = run.output;
  EXPECT_TRUE(HasRow(out, "ok", "settings file", "Tarvelon.ini")) << out;
  EXPECT_TRUE(HasRow(out, "warning", "unread keys [LEBONCOIN]", "TestFTPPictlor\n")) << out;
  EXPECT_TRUE(HasRow(out, "warning", "unread keys [LEBONCOIN-1235]", "FileResutZip\n")) << out;
  EXPECT_TRUE(HasRow(out, "ok", "settings [LEBONCOIN-1235]", "PassWord=\\*\\*\\*\\*, PathFTP=depot, "
                                                            "FileResult=lbc-quivale.xml, FileResultZip \\(built-in\\)"))
      << out;
  EXPECT_EQ(out.find("-pw"), std::string::npos) << "a password is shown:\n" << out;
  EXPECT_TRUE(HasRow(out, "ok", "stock extract", "ExpDatasLEBONCOIN.xml: [0-9]+ vehicles")) << out;
  EXPECT_TRUE(HasRow(out, "warning", "photo store", "vehicles \\([0-9]+ %\\) without a local photo")) << out;
  EXPECT_TRUE(HasRow(out, "ok", "work folder", "writable, [0-9]+ MB free")) << out;
  EXPECT_TRUE(HasRow(out, "ok", "image server [Pictlore]", "pictlore@127.0.0.1:[0-9]+/www/pictlore: reached")) << out;
  EXPECT_TRUE(HasRow(out, "ok", "FTP [LEBONCOIN-1234]", "pelmar@127.0.0.1:[0-9]+/: reached")) << out;
  EXPECT_TRUE(HasRow(out, "ok", "FTP [LEBONCOIN-1235]", "quivale@127.0.0.1:[0-9]+/depot: reached")) << out;
  EXPECT_TRUE(HasRow(out, "FAILED", "FTP [LEBONCOIN-1237]", "dorn@127.0.0.1:[0-9]+/: login failed")) << out;
  // Clients of the extract without a section of their own go to the built-in account.
  EXPECT_TRUE(HasRow(out, "warning", "FTP [LEBONCOIN-1238]", "names no ServeurFTP: the export's built-in account"))
      << out;

  EXPECT_EQ(Listing(sandbox_.root()), diskBefore);
  EXPECT_EQ(Listing(ftpRoot_.path()), serverBefore);
  EXPECT_GE(server_.CountCommands("CWD"), 2);  // the folders were changed into
  ExpectNothingChangedOnServer(server_);
}

TEST_F(CheckCommand, AMissingExtractFailsTheCheckWhileTheAccountIsReached) {
  sandbox_.WriteSettings(ReadHostFile(CasePath("check-autoscout24-no-extract", "Tarvelon.ini")),
                         {{"FTP", server_.address()}});
  const std::string diskBefore = Listing(sandbox_.root());

  const ExportResult run = sandbox_.RunArguments({"--check", "AutoScout24"});
  EXPECT_EQ(run.exitCode, 1) << run.output;
  EXPECT_TRUE(HasRow(run.output, "FAILED", "stock extract", "not found: .*ExpDatas[A-Za-z0-9]*\\.xml")) << run.output;
  EXPECT_TRUE(HasRow(run.output, "ok", "FTP [AUTOSCOUT24]", "scout@127.0.0.1:[0-9]+/in: reached")) << run.output;
  EXPECT_TRUE(HasRow(run.output, "ok", "settings [AUTOSCOUT24]", "idClient=2400157813, StaleHours=30")) << run.output;
  EXPECT_EQ(run.output.find("unread keys"), std::string::npos) << run.output;
  EXPECT_EQ(Listing(sandbox_.root()), diskBefore);
  ExpectNothingChangedOnServer(server_);
}

// NEOWEBCAR announces its file by mail: the check greets the mail server and
// sends nothing; a mail server that does not answer fails the check.
TEST_F(CheckCommand, TheMailServerIsGreetedWithoutAMail) {
  TempFolder mailRoot;
  SmtpServer smtp;
  smtp.StartMailbox(mailRoot.path() + "/box");
  const std::string settings =
      "[Pictlore]\nServeurFTP=@FTP@\nUser=pictlore\nPassWord=pictlore-pw\nPathFTP=www/pictlore\n"
      "[NEOWEBCAR]\nServeurFTP=@FTP@\nUser=scout\nPassWord=scout-pw\nPathFTP=in\n"
      "[StrInfoLog]\nHost=127.0.0.1\nPort=@SMTP@\n";
  sandbox_.WriteSettings(settings, {{"FTP", server_.address()}, {"SMTP", std::to_string(smtp.port())}});
  ExportResult run = sandbox_.RunArguments({"--check", "neowebcar"});
  EXPECT_TRUE(HasRow(run.output, "ok", "mail server [StrInfoLog]", "127.0.0.1:[0-9]+: reached")) << run.output;
  EXPECT_TRUE(HasRow(run.output, "ok", "FTP [NEOWEBCAR]", "scout@127.0.0.1:[0-9]+/in: reached")) << run.output;
  EXPECT_TRUE(smtp.Messages().empty());

  sandbox_.WriteSettings(settings, {{"FTP", server_.address()}, {"SMTP", std::to_string(FreeLoopbackPort())}});
  run = sandbox_.RunArguments({"--check", "neowebcar"});
  EXPECT_EQ(run.exitCode, 1) << run.output;
  EXPECT_TRUE(HasRow(run.output, "FAILED", "mail server [StrInfoLog]", "127.0.0.1:[0-9]+: .+")) << run.output;
  ExpectNothingChangedOnServer(server_);
}

// VIVACAR posts to the import service: the check opens a connection and sends no request.
TEST_F(CheckCommand, TheVivacarServiceIsReachedWithoutARequest) {
  HttpRecorder service;
  service.Start();
  sandbox_.WriteSettings("[VIVACAR]\nUrlImport=http://@HTTP@/cataloguebien/api/cataloguevo/vehicules/importerVehicules\n",
                         {{"HTTP", service.address()}});
  const ExportResult run = sandbox_.RunArguments({"--check", "vivacar"});
  EXPECT_TRUE(HasRow(run.output, "ok", "Vivacar import service", "http://127.0.0.1:[0-9]+/cataloguebien/.*: reached"))
      << run.output;
  EXPECT_TRUE(HasRow(run.output, "ok", "settings [VIVACAR]", "UrlImport=http://")) << run.output;
  EXPECT_TRUE(service.Requests().empty());
}

TEST_F(CheckCommand, AnOptionOutsideTheTableRunsNoCheck) {
  const ExportResult run = sandbox_.RunArguments({"--check", "nowhere"});
  EXPECT_EQ(run.exitCode, 2) << run.output;
  EXPECT_EQ(run.output, "Option inconnue : nowhere\n");
}

}  // namespace
}  // namespace tarvelon
