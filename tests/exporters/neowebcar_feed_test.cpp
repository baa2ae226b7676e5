// NeoWebCar through the tarvelon binary: the file goes to a real FTP server,
// the announcing mail to a real SMTP server (aiosmtpd), and the message is
// read back with Python's email package.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "platform/text.h"
#include "support/export_sandbox.h"
#include "support/ftp_server.h"
#include "support/golden.h"
#include "support/smtp_server.h"

namespace tarvelon {
namespace {

using namespace tarvelon::testing;
namespace fs = std::filesystem;

const std::string kCase = "neowebcar-mail";

// UTF-8 here; written in Windows-1252 like the real settings file.
constexpr const char* kSettings =
    "[Options]\r\nURLImages=http://www.groupe-kord.fr/pictlore\r\n"
    "[Pictlore]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\n"
    "[NEOWEBCAR]\r\nServeurFTP=@FTP@\r\nUser=kord\r\nPassWord=secret\r\nPathFTP=www/mirvane/export\r\n"
    "idClient=NWC-Kord\r\nTestSend=@SEND@\r\n"
    "[StrInfoLog]\r\nHost=127.0.0.1\r\nPort=@SMTP@\r\nUsername=mailer\r\nPassword=mail-secret\r\n"
    "SendTO=@TO@\r\nSendCC=copie@groupe-kord.fr\r\nSubject=@SUBJECT@\r\nFrom=exports@groupe-kord.fr\r\n"
    "[MAIL]\r\nAuthType=@AUTH@\r\nTO=repli@groupe-kord.fr\r\n";

// What read_mail.py printed, by key (values JSON-quoted, UTF-8).
std::map<std::string, std::string> ReadMail(const std::string& message, const std::string& copy = "") {
  std::string out;
  const std::string command = "/usr/bin/python3 '" + std::string(TARVELON_SOURCE_DIR) + "/tests/support/read_mail.py' '" +
                              message + "'" + (copy.empty() ? "" : " --copy '" + copy + "'");
  EXPECT_EQ(RunCommand(command, &out), 0) << out;
  std::map<std::string, std::string> fields;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);)
    if (const size_t colon = line.find(": "); colon != std::string::npos)
      fields[line.substr(0, colon)] = line.substr(colon + 2);
  return fields;
}

class NeoWebCarFeed : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeHostFolders(ftpRoot_ / "www/mirvane/export");
    ftp_.Start(ftpRoot_.path(), "kord", "secret");
    sandbox_.AddExtract(CasePath(kCase, "ExpDatasNeoWebCar.xml"));
  }
  void Settings(std::map<std::string, std::string> values) {
    values.emplace("FTP", ftp_.address());
    values.emplace("SEND", "1");
    values.emplace("TO", "stock@neowebcar.fr");
    values.emplace("AUTH", "none");
    values.emplace("SUBJECT", "Stock € “NeoWebCar”");
    sandbox_.WriteSettings(Ansi(FillTemplate(kSettings, values)));
  }
  std::string Work(const std::string& name) const { return sandbox_.work() + "/" + name; }
  std::string Log() const { return ReadHostFile(Work("MarqueUpdateNEOWEBCAR.log")); }
  std::string Masked(const std::string& text) const {
    std::string masked = MaskLogStamps(text);
    masked = std::regex_replace(masked, std::regex(ftp_.address()), "@FTP@");
    return std::regex_replace(masked, std::regex(sandbox_.root()), "@ROOT@");
  }
  std::vector<std::string> Copies() const {
    std::vector<std::string> files;
    if (fs::is_directory(Work("Sendro")))
      for (const auto& e : fs::directory_iterator(Work("Sendro")))
        if (e.path().extension() == ".eml") files.push_back(e.path().string());
    return files;
  }

  ExportSandbox sandbox_;
  TempFolder ftpRoot_;
  TempFolder mailRoot_;
  FtpServer ftp_;
  SmtpServer smtp_;
};

TEST_F(NeoWebCarFeed, TheFileGoesUpAndTheMailAnnouncesIt) {
  ScopedEnv utc("TZ", "UTC");  // the Date header carries the host's offset
  smtp_.StartMailbox(mailRoot_ / "box");
  Settings({{"SMTP", std::to_string(smtp_.port())}});
  ExportResult run = sandbox_.Run("neowebcar");
  ASSERT_EQ(run.exitCode, 0) << run.output;

  const std::string csv = ReadHostFile(Work("Tarvelon/NWC-Kord.csv"));
  ExpectSameAsGolden(csv, CasePath(kCase, "expected.csv"));
  for (const auto& line : SplitCrLfLines(csv)) EXPECT_EQ(std::count(line.begin(), line.end(), ';'), 29) << line;
  EXPECT_EQ(ReadHostFile(ftpRoot_ / "www/mirvane/export/NWC-Kord.csv"), csv);
  ExpectSameAsGolden(Masked(Log()), CasePath(kCase, "expected.log"));
  // The extract copy holds the photo links of the first pass.
  const std::string copy = ReadHostFile(Work("Tarvelon/201702141000.xml"));
  EXPECT_NE(copy.find("<LienImage7>http://www.groupe-kord.fr/pictlore/pel/vo/6001-7.jpg</LienImage7>"),
            std::string::npos);
  EXPECT_EQ(copy.find("6001-8.jpg"), std::string::npos);

  const std::vector<std::string> received = smtp_.Messages();
  ASSERT_EQ(received.size(), 1u);
  const std::vector<std::string> copies = Copies();
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(fs::path(copies[0]).filename(), "20170214100000.eml");
  EXPECT_EQ(ReadHostFile(Work("Sendro/Mail.html")), "");

  auto mail = ReadMail(received[0], copies[0]);
  EXPECT_EQ(mail["subject"], "\"Stock € “NeoWebCar” - 4 Véhicules, 2 VN, 2 VD, 2 sans photo\"");
  EXPECT_TRUE(StartsWith(mail["subject-raw"], "\"=?UTF-8?B?")) << mail["subject-raw"];
  EXPECT_EQ(mail["from"], "\"exports@groupe-kord.fr\"");
  EXPECT_EQ(mail["to"], "\"stock@neowebcar.fr\"");
  EXPECT_EQ(mail["cc"], "\"copie@groupe-kord.fr\"");
  EXPECT_EQ(mail["bcc"], "null");  // the blind copy is in the envelope only
  EXPECT_EQ(mail["x-rcptto"], "\"stock@neowebcar.fr, copie@groupe-kord.fr, support-exports@groupe-kord.fr\"");
  EXPECT_EQ(mail["x-mailfrom"], "\"exports@groupe-kord.fr\"");
  EXPECT_EQ(mail["mime-version"], "\"1.0\"");
  EXPECT_EQ(mail["date"], "\"Tue, 14 Feb 2017 10:00:00 +0000\"");
  EXPECT_TRUE(std::regex_match(mail["message-id"], std::regex("\"<20170214100000\\.[0-9]+@groupe-kord\\.fr>\"")))
      << mail["message-id"];
  EXPECT_EQ(mail["content-type"], "\"text/html\"");
  EXPECT_EQ(mail["charset"], "\"iso-8859-15\"");
  EXPECT_EQ(mail["content-transfer-encoding"], "\"quoted-printable\"");
  EXPECT_EQ(mail["body"],
            "\"<body>Bonjour,<br><br>ci-joint le lien vers le fichier de la <a "
            "href=\\\"http://www.groupe-kord.fr/mirvane/export/NWC-Kord.csv\\\">liste des véhicules au format "
            "CSV</a>, <br><br>Merci d'avance<br><br>Sincères Salutations</body>\\n\"");
  // é is byte E9 in ISO-8859-15.
  EXPECT_NE(mail["body-bytes"].find("76e96869"), std::string::npos);
  EXPECT_EQ(mail["defects"], "[]");
  EXPECT_EQ(mail["same-as-copy"], "true");
  EXPECT_EQ(mail["bare-lf-in-copy"], "false");
  EXPECT_LE(std::stoi(ReadMail(copies[0])["longest-line"]), 78);  // the copy, without the server's X- headers

  EXPECT_NE(run.output.find("Fin de traitement : "), std::string::npos);
  EXPECT_NE(run.output.find("mail envoyé à : stock@neowebcar.fr"), std::string::npos) << run.output;
}

TEST_F(NeoWebCarFeed, TestSendZeroWritesTheFileAndSendsNothing) {
  smtp_.StartMailbox(mailRoot_ / "box");
  Settings({{"SMTP", std::to_string(smtp_.port())}, {"SEND", "0"}});
  ExportResult run = sandbox_.Run("NEOWEBCAR");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  ExpectSameAsGolden(ReadHostFile(Work("Tarvelon/NWC-Kord.csv")), CasePath(kCase, "expected.csv"));
  EXPECT_EQ(ftp_.CountCommands("STOR"), 0);
  EXPECT_TRUE(smtp_.Messages().empty());
  EXPECT_TRUE(Copies().empty());
  const auto lines = SplitCrLfLines(Masked(Log()));
  ASSERT_EQ(lines.size(), 1u) << Log();
  EXPECT_EQ(lines[0], Ansi("<stamp> - Fichier Transféré par Mail : @ROOT@/work\\Tarvelon\\NWC-Kord.csv"));
}

TEST_F(NeoWebCarFeed, WithoutSendToTheFallbackAloneIsTheRecipient) {
  smtp_.StartMailbox(mailRoot_ / "box");
  Settings({{"SMTP", std::to_string(smtp_.port())}, {"TO", ""}, {"SUBJECT", ""}});
  ExportResult run = sandbox_.Run("NEOWEBCAR");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  ASSERT_EQ(smtp_.Messages().size(), 1u);
  auto mail = ReadMail(smtp_.Messages()[0]);
  EXPECT_EQ(mail["to"], "\"repli@groupe-kord.fr\"");
  EXPECT_EQ(mail["cc"], "null");
  EXPECT_EQ(mail["x-rcptto"], "\"repli@groupe-kord.fr, support-exports@groupe-kord.fr\"");
  EXPECT_EQ(mail["subject"], "\" - 4 Véhicules, 2 VN, 2 VD, 2 sans photo\"");
  EXPECT_EQ(run.output.find("mail envoyé à"), std::string::npos);
}

TEST_F(NeoWebCarFeed, AFailedUploadIsNotAnnounced) {
  smtp_.StartMailbox(mailRoot_ / "box");
  Settings({{"SMTP", std::to_string(smtp_.port())}});
  fs::remove_all(ftpRoot_ / "www/mirvane");  // the remote folder is gone
  ExportResult run = sandbox_.Run("NEOWEBCAR");
  ASSERT_EQ(run.exitCode, 3) << run.output;  // finished, upload failed
  const std::string log = Log();
  EXPECT_NE(log.find(Ansi("Transfert FTP : Erreur Connexion au serveur. Fichier VO actualisé sur site FTP : 4 "
                          "Véhicules, 2 VN, 2 VD, 2 sans photo\r\n")),
            std::string::npos)
      << log;
  EXPECT_TRUE(EndsWith(log, Ansi(" - Mail non envoyé : le fichier n'a pas été transféré\r\n"))) << log;
  EXPECT_TRUE(smtp_.Messages().empty());
  EXPECT_TRUE(Copies().empty());
}

TEST_F(NeoWebCarFeed, AServerThatIsDownGivesOneErrorLineAndTheCopyStays) {
  Settings({{"SMTP", std::to_string(FreeLoopbackPort())}});
  ExportResult run = sandbox_.Run("NEOWEBCAR");
  ASSERT_EQ(run.exitCode, 3) << run.output;  // finished, the mail was not sent
  const auto lines = SplitCrLfLines(Log());
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find(" - ERROR: Couldn't connect to server"), std::string::npos) << lines.back();
  int errors = 0;
  for (const auto& line : lines) errors += line.find("ERROR: ") != std::string::npos;
  EXPECT_EQ(errors, 1);
  ASSERT_EQ(Copies().size(), 1u);
  auto copy = ReadMail(Copies()[0]);
  EXPECT_EQ(copy["to"], "\"stock@neowebcar.fr\"");
  EXPECT_EQ(copy["defects"], "[]");
}

TEST_F(NeoWebCarFeed, TheLoginVariantSendsExactlyTheCopy) {
  smtp_.StartKeeping(mailRoot_ / "kept", "mailer", "mail-secret");
  Settings({{"SMTP", std::to_string(smtp_.port())}, {"AUTH", ""}});
  ExportResult run = sandbox_.Run("NEOWEBCAR");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  ASSERT_EQ(smtp_.Messages().size(), 1u) << Log();
  ASSERT_EQ(Copies().size(), 1u);
  EXPECT_EQ(ReadHostFile(smtp_.Messages()[0]), ReadHostFile(Copies()[0]));
  const std::string envelope = ReadHostFile(mailRoot_ / "kept/001.json");
  EXPECT_NE(envelope.find("\"authenticated\": true"), std::string::npos) << envelope;
  EXPECT_NE(envelope.find("\"support-exports@groupe-kord.fr\""), std::string::npos) << envelope;
  EXPECT_EQ(Log().find("ERROR: "), std::string::npos) << Log();
}

TEST_F(NeoWebCarFeed, WithoutLoginAServerThatAsksForOneRefusesTheMail) {
  smtp_.StartKeeping(mailRoot_ / "kept", "mailer", "mail-secret");
  Settings({{"SMTP", std::to_string(smtp_.port())}, {"AUTH", "none"}});
  ExportResult run = sandbox_.Run("NEOWEBCAR");
  ASSERT_EQ(run.exitCode, 3) << run.output;  // finished, the mail was refused
  EXPECT_TRUE(smtp_.Messages().empty());
  EXPECT_NE(SplitCrLfLines(Log()).back().find(" - ERROR: "), std::string::npos) << Log();
}

TEST_F(NeoWebCarFeed, ALineBreakInTheSubjectIsRefused) {
  smtp_.StartMailbox(mailRoot_ / "box");
  Settings({{"SMTP", std::to_string(smtp_.port())}, {"SUBJECT", "Stock\rBcc: intrus@example.com"}});
  ExportResult run = sandbox_.Run("NEOWEBCAR");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("Paramètre de mail refusé (retour à la ligne) : Subject"), std::string::npos)
      << run.output;
  EXPECT_TRUE(smtp_.Messages().empty());
  EXPECT_TRUE(Copies().empty());
}

TEST_F(NeoWebCarFeed, APortThatIsNoNumberEndsTheExport) {
  Settings({{"SMTP", "vingt-cinq"}});
  ExportResult run = sandbox_.Run("NEOWEBCAR");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("Port du serveur de mail incorrect : vingt-cinq"), std::string::npos) << run.output;
}

TEST_F(NeoWebCarFeed, AClientIdThatIsNoFileNameIsRefused) {
  smtp_.StartMailbox(mailRoot_ / "box");
  Settings({{"SMTP", std::to_string(smtp_.port())}});
  std::string settings = ReadHostFile(sandbox_.program() + "/Tarvelon.ini");
  settings.replace(settings.find("idClient=NWC-Kord"), 17, "idClient=..\\x");
  WriteHostFile(sandbox_.program() + "/Tarvelon.ini", settings);
  ExportResult run = sandbox_.Run("NEOWEBCAR");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("Identifiant client refusé pour un nom de fichier : ..\\x"), std::string::npos)
      << run.output;
  EXPECT_FALSE(fs::exists(Work("x.csv")));
}

}  // namespace
}  // namespace tarvelon
