#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <thread>

#include "app/run_state.h"
#include "support/ftp_server.h"
#include "support/temp_folder.h"
#include "transfer/ftp_delivery.h"

namespace tarvelon {
namespace {

using testing::FtpAccount;
using testing::FtpServer;
using testing::FtpServerOptions;
using testing::ReadHostFile;
using testing::ScopedEnv;
using testing::SplitCrLfLines;
using testing::TempFolder;
using testing::WriteHostFile;
using Commands = std::vector<std::string>;

class FtpDeliveryTest : public ::testing::Test {
 protected:
  FtpDeliveryTest() : shared_("SharedTemp", work_.path().c_str()) {
    for (const char* folder : {"alice/export", "alice/other", "bob", "carol/in"})
      std::filesystem::create_directories(root_ / folder);
    Settings("[Options]\n");
    state_.exportOption = "LEBONCOIN";
    payload_ = std::string("PK\x03\x04 binary \r\n\0\xff", 16) + std::string(300000, 'z');
    WriteHostFile(local_ / "Export.zip", payload_);
  }
  void TearDown() override {
    server_.Stop();
    if (HasFailure())
      for (const auto& line : state_.window.memo()) std::cerr << "  memo: " << line << "\n";
  }

  void Settings(const std::string& ini) {
    WriteHostFile(program_ / "Tarvelon.ini", ini);
    state_.config = IniFile(program_ / "Tarvelon.ini");
  }
  void StartServer(const FtpServerOptions& options = {}) {
    server_.Start({FtpAccount{"alice", "secret", root_ / "alice"}, FtpAccount{"bob", "pw", root_ / "bob", "elr"},
                   FtpAccount{"carol", "pw", root_ / "carol"}},
                  options);
  }
  void Target(const std::string& user, const std::string& password, const std::string& folder) {
    state_.window.SetTarget({server_.address(), user, password, folder});
  }
  std::vector<std::string> LogLines() {
    std::vector<std::string> lines = SplitCrLfLines(ReadHostFile(work_ / "MarqueUpdateLEBONCOIN.log"));
    for (auto& line : lines) line = line.substr(line.find(" - ") + 3);  // without the stamp
    return lines;
  }
  std::string Deliver(bool keepOpen = true) { return DeliverFtp(state_, local_ / "Export.zip", keepOpen); }

  TempFolder work_, program_, root_, local_;
  ScopedEnv shared_;
  FtpServer server_;
  RunState state_;
  std::string payload_;
};

TEST_F(FtpDeliveryTest, ASuccessfulDeliverySendsTheBytesUnchangedAfterOneLogin) {
  StartServer();
  Target("alice", "secret", "export");
  EXPECT_EQ(Deliver(), "Transfert FTP OK : ");
  EXPECT_EQ(ReadHostFile(root_ / "alice/export/Export.zip"), payload_);
  EXPECT_EQ(server_.Commands(),
            (Commands{"USER alice", "PASS ******", "PWD", "CWD export", "EPSV", "TYPE I", "STOR Export.zip"}));
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"param serveur pour :LEBONCOIN", "FTP  :" + server_.address(),
                                                  "Port :", "User :alice", "pwd  :secret"}));
  EXPECT_EQ(state_.window.label1(), "Connexion LEBONCOIN - on connection");
  EXPECT_EQ(state_.window.label2(), local_ / "Export.zip" + " - on transfer");
}

TEST_F(FtpDeliveryTest, TheSettingsLinesCarryTheLogSuffixAndThePortText) {
  StartServer();
  Target("alice", "secret", "");
  state_.ftpLogSuffix = " - C042";
  state_.ftpPortText = "2121";
  Settings("[Options]\nNoFTP=1\n");
  EXPECT_EQ(Deliver(), "");
  EXPECT_EQ(LogLines()[0], "param serveur pour :LEBONCOIN - C042");
  EXPECT_EQ(LogLines()[2], "Port :2121");
}

TEST_F(FtpDeliveryTest, NoFtpLogsTheFiveLinesAndConnectsNowhere) {
  StartServer();
  Target("alice", "secret", "export");
  Settings("[Options]\nNoFTP=1\n");
  EXPECT_EQ(Deliver(), "");
  EXPECT_EQ(LogLines().size(), 5u);
  EXPECT_TRUE(server_.Commands().empty());
  EXPECT_EQ(server_.LogText().find("session opened"), std::string::npos);
}

TEST_F(FtpDeliveryTest, DebugAndNoFtpAreReadAtEachCall) {
  StartServer();
  Target("alice", "secret", "export");
  Settings("[Options]\nDebug=0\n");
  EXPECT_EQ(Deliver(), "Transfert FTP OK : ");
  EXPECT_FALSE(std::filesystem::exists(work_ / "MarqueUpdateLEBONCOIN.log"));
  Settings("[Options]\nDebug=0\nNoFTP=1\n");
  EXPECT_EQ(Deliver(), "");
  EXPECT_EQ(server_.CountCommands("STOR"), 1);
}

TEST_F(FtpDeliveryTest, KeptOpenTheSecondDeliveryGoesToTheFirstTarget) {
  StartServer();
  Target("alice", "secret", "export");
  EXPECT_EQ(Deliver(true), "Transfert FTP OK : ");
  Target("carol", "pw", "in");
  WriteHostFile(local_ / "Export.zip", "second");
  EXPECT_EQ(Deliver(true), "Transfert FTP OK : ");
  EXPECT_EQ(ReadHostFile(root_ / "alice/export/Export.zip"), "second");
  EXPECT_FALSE(std::filesystem::exists(root_ / "carol/in/Export.zip"));
  EXPECT_EQ(server_.CountCommands("USER"), 1);
  EXPECT_EQ(server_.CountCommands("CWD"), 1);
}

TEST_F(FtpDeliveryTest, NotKeptOpenTheNextDeliveryTakesTheNewTarget) {
  StartServer();
  Target("alice", "secret", "export");
  EXPECT_EQ(Deliver(false), "Transfert FTP OK : ");
  EXPECT_EQ(server_.Commands().back(), "QUIT");
  Target("carol", "pw", "in");
  EXPECT_EQ(Deliver(false), "Transfert FTP OK : ");
  EXPECT_EQ(ReadHostFile(root_ / "carol/in/Export.zip"), payload_);
  EXPECT_EQ(server_.CountCommands("USER"), 2);
  EXPECT_EQ(server_.CountCommands("QUIT"), 2);
}

TEST_F(FtpDeliveryTest, ConnectionFailuresGiveTheConnectionStatusAndSendNothing) {
  StartServer();
  Target("alice", "wrong", "export");
  EXPECT_EQ(Deliver(), "Transfert FTP : Erreur Connexion au serveur. ");
  Target("alice", "secret", "missing");
  EXPECT_EQ(Deliver(), "Transfert FTP : Erreur Connexion au serveur. ");
  state_.window.SetTarget({"no-such-host.invalid", "alice", "secret", ""});
  EXPECT_EQ(Deliver(), "Transfert FTP : Erreur Connexion au serveur. ");
  EXPECT_EQ(server_.CountCommands("STOR"), 0);
  Target("alice", "secret", "export");
  int port = server_.port();
  server_.Stop();
  EXPECT_EQ(Deliver(), "Transfert FTP : Erreur Connexion au serveur. ");
  state_.window.SetTarget({"127.0.0.1", "alice", "secret", ""});
  state_.ftpPortText = std::to_string(port);
  EXPECT_EQ(Deliver(), "Transfert FTP : Erreur Connexion au serveur. ");
}

TEST_F(FtpDeliveryTest, AFailedFolderChangeDoesNotLeadTheNextFileIntoTheLoginFolder) {
  StartServer();
  Target("alice", "secret", "missing");
  EXPECT_EQ(Deliver(true), "Transfert FTP : Erreur Connexion au serveur. ");
  EXPECT_EQ(Deliver(true), "Transfert FTP : Erreur Connexion au serveur. ");
  EXPECT_FALSE(std::filesystem::exists(root_ / "alice/Export.zip"));
  EXPECT_EQ(server_.CountCommands("STOR"), 0);
}

TEST_F(FtpDeliveryTest, TransferFailuresGiveTheTransferStatus) {
  StartServer();
  Target("alice", "secret", "export");
  EXPECT_EQ(DeliverFtp(state_, local_ / "absent.zip", true), "Transfert FTP : Erreur lors du transfert. ");
  EXPECT_EQ(server_.CountCommands("STOR"), 0);
  EXPECT_EQ(Deliver(true), "Transfert FTP OK : ");  // the connection is still good
  EXPECT_EQ(server_.CountCommands("USER"), 1);

  state_.window.SetTarget({server_.address(), "bob", "pw", ""});
  EXPECT_EQ(Deliver(false), "Transfert FTP OK : ");  // still the open connection of alice
  EXPECT_EQ(Deliver(false), "Transfert FTP : Erreur lors du transfert. ");  // bob may only read
  EXPECT_FALSE(std::filesystem::exists(root_ / "bob/Export.zip"));
}

TEST_F(FtpDeliveryTest, AnUploadCutByTheServerIsATransferError) {
  StartServer({.dropUploadAfter = 1000});
  Target("alice", "secret", "export");
  EXPECT_EQ(Deliver(), "Transfert FTP : Erreur lors du transfert. ");
  WriteHostFile(local_ / "Export.zip", "small");  // below the server's limit
  EXPECT_EQ(Deliver(), "Transfert FTP OK : ");
  EXPECT_EQ(ReadHostFile(root_ / "alice/export/Export.zip"), "small");
}

TEST_F(FtpDeliveryTest, AConnectionTheServerClosedWhileIdleIsOpenedAgain) {
  StartServer({.idleTimeout = 2.0});
  Target("alice", "secret", "export");
  EXPECT_EQ(Deliver(true), "Transfert FTP OK : ");
  std::this_thread::sleep_for(std::chrono::milliseconds(3500));  // the server says 421 and closes
  EXPECT_EQ(Deliver(true), "Transfert FTP OK : ");
  EXPECT_EQ(server_.CountCommands("USER"), 2);
}

TEST_F(FtpDeliveryTest, ThePortComesFromThePortTextOrTheServerField) {
  StartServer();
  state_.window.SetTarget({"127.0.0.1", "alice", "secret", "export"});
  state_.ftpPortText = std::to_string(server_.port());
  EXPECT_EQ(Deliver(false), "Transfert FTP OK : ");
  state_.ftpPortText = "not a number";
  Target("alice", "secret", "export");
  EXPECT_EQ(Deliver(false), "Transfert FTP OK : ");
  EXPECT_EQ(server_.CountCommands("STOR"), 2);
}

TEST_F(FtpDeliveryTest, AnEmptyOrInvalidPortTextMeansPort21) {
  try {
    StartServer({.host = "127.0.0.61", .port = 21});
  } catch (const std::exception& e) {
    GTEST_SKIP() << "port 21 not available here: " << e.what();
  }
  state_.window.SetTarget({"127.0.0.61", "alice", "secret", "export"});
  EXPECT_EQ(Deliver(false), "Transfert FTP OK : ");
  state_.ftpPortText = "x21";
  EXPECT_EQ(Deliver(false), "Transfert FTP OK : ");
  EXPECT_EQ(server_.CountCommands("STOR"), 2);
}

TEST_F(FtpDeliveryTest, LibraryTextsGoToTheMemoOnly) {
  StartServer();
  Target("alice", "secret", "export");
  Deliver(false);
  const auto& memo = state_.window.memo();
  auto has = [&](const std::string& start) {
    for (const auto& line : memo)
      if (line.rfind(start, 0) == 0) return true;
    return false;
  };
  EXPECT_TRUE(has("Connecting to " + server_.address()));
  EXPECT_TRUE(has("Disconnected."));
  std::string log = ReadHostFile(work_ / "MarqueUpdateLEBONCOIN.log");
  EXPECT_EQ(log.find("Connecting"), std::string::npos);
}

}  // namespace
}  // namespace tarvelon
