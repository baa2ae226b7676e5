// A target's FTP server that misbehaves: each fault gives its status text,
// costs at most one connection attempt per delivery, never reports a file
// that did not arrive whole as delivered, and leaves the run able to go on.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

#include "app/run_state.h"
#include "support/fault_table.h"
#include "support/ftp_server.h"
#include "support/temp_folder.h"
#include "transfer/ftp_delivery.h"

namespace tarvelon {
namespace {

using testing::FaultRow;
using testing::FtpAccount;
using testing::FtpServer;
using testing::FtpServerOptions;
using testing::ReadHostFile;
using testing::ScopedEnv;
using testing::TempFolder;
using testing::WriteHostFile;

class FtpFaultTest : public ::testing::Test {
 protected:
  FtpFaultTest() : shared_("SharedTemp", work_.path().c_str()) {
    std::filesystem::create_directories(root_ / "export");
    WriteHostFile(program_ / "Tarvelon.ini", "[Options]\nDebug=0\n");
    state_.config = IniFile(program_ / "Tarvelon.ini");
    state_.exportOption = "LEBONCOIN";
    payload_ = std::string(200000, 'x');
    WriteHostFile(local_ / "Export.zip", payload_);
  }
  void TearDown() override {
    server_.Stop();
    if (HasFailure())
      for (const auto& line : state_.window.memo()) std::cerr << "  memo: " << line << "\n";
  }
  void StartServer(const FtpServerOptions& options) {
    server_.Start({FtpAccount{"alice", "secret", root_.path()}}, options);
    state_.window.SetTarget({server_.address(), "alice", "secret", "export"});
  }
  std::string Deliver(bool keepOpen = true) { return DeliverFtp(state_, local_ / "Export.zip", keepOpen); }
  // The run goes on: the same delivery to a sound server succeeds.
  void ExpectTheNextDeliveryToASoundServerWorks() {
    server_.Stop();
    StartServer({});
    EXPECT_EQ(Deliver(false), "Transfert FTP OK : ");
    EXPECT_EQ(ReadHostFile(root_ / "export/Export.zip"), payload_);
    ASSERT_FALSE(state_.deliveries.empty());
    EXPECT_TRUE(state_.deliveries.back().ok);
  }
  void ExpectOnlyFailedDeliveries() {
    ASSERT_FALSE(state_.deliveries.empty());
    for (const auto& d : state_.deliveries) EXPECT_FALSE(d.ok) << d.status;
    EXPECT_TRUE(state_.AnyDeliveryFailed());
  }

  TempFolder work_, program_, root_, local_;
  ScopedEnv shared_;
  FtpServer server_;
  RunState state_;
  std::string payload_;
};

TEST_F(FtpFaultTest, AServerAnswering421OnConnectIsAConnectionErrorTriedOncePerDelivery) {
  FaultRow row("421 on connect (two deliveries)", "target FTP");
  StartServer({.busy = true});
  EXPECT_EQ(Deliver(), "Transfert FTP : Erreur Connexion au serveur. ");
  EXPECT_EQ(Deliver(), "Transfert FTP : Erreur Connexion au serveur. ");
  EXPECT_EQ(server_.CountConnections(), 2);
  EXPECT_EQ(server_.CountCommands("USER"), 0);
  ExpectOnlyFailedDeliveries();
  row.Outcome("\"Transfert FTP : Erreur Connexion au serveur. \", one connection per delivery, not delivered");
  ExpectTheNextDeliveryToASoundServerWorks();
}

TEST_F(FtpFaultTest, ARefusedLoginIsAConnectionErrorWithOneLoginPerDelivery) {
  FaultRow row("login refused, 530 (two deliveries)", "target FTP");
  StartServer({.refuseLogin = true});
  EXPECT_EQ(Deliver(), "Transfert FTP : Erreur Connexion au serveur. ");
  EXPECT_EQ(Deliver(), "Transfert FTP : Erreur Connexion au serveur. ");
  EXPECT_EQ(server_.CountConnections(), 2);
  EXPECT_EQ(server_.CountCommands("PASS"), 2);
  EXPECT_EQ(server_.CountCommands("STOR"), 0);
  ExpectOnlyFailedDeliveries();
  row.Outcome("\"Transfert FTP : Erreur Connexion au serveur. \", one login per delivery, not delivered");
  ExpectTheNextDeliveryToASoundServerWorks();
}

TEST_F(FtpFaultTest, ARefusedDataConnectionIsATransferErrorAndTheConnectionStaysUsable) {
  FaultRow row("data connection refused, 425 (two deliveries)", "target FTP");
  StartServer({.refuseData = true});
  EXPECT_EQ(Deliver(), "Transfert FTP : Erreur lors du transfert. ");
  EXPECT_EQ(Deliver(), "Transfert FTP : Erreur lors du transfert. ");
  EXPECT_FALSE(std::filesystem::exists(root_ / "export/Export.zip"));
  EXPECT_EQ(server_.CountCommands("STOR"), 2);
  EXPECT_LE(server_.CountConnections(), 2);
  ExpectOnlyFailedDeliveries();
  row.Outcome("\"Transfert FTP : Erreur lors du transfert. \", no file on the server, not delivered");
  ExpectTheNextDeliveryToASoundServerWorks();
}

TEST_F(FtpFaultTest, AnUploadDroppedMidwayIsNeverReportedAsDelivered) {
  FaultRow row("data connection dropped mid-upload, 426", "target FTP");
  StartServer({.dropUploadAfter = 50000});
  EXPECT_EQ(Deliver(false), "Transfert FTP : Erreur lors du transfert. ");
  // The server kept what arrived; the run must not count it as delivered.
  EXPECT_LT(std::filesystem::file_size(root_ / "export/Export.zip"), payload_.size());
  EXPECT_EQ(server_.CountCommands("STOR"), 1);
  EXPECT_EQ(server_.CountConnections(), 1);
  ExpectOnlyFailedDeliveries();
  row.Outcome("\"Transfert FTP : Erreur lors du transfert. \", partial file not counted as delivered");
  ExpectTheNextDeliveryToASoundServerWorks();
}

// Short time-outs in place of the shipped ones (30 s connect, 60 s reply,
// 60 s stall), so that each hang below costs seconds.
constexpr FtpTimeouts kShortTimeouts{5, 2, 2};

TEST_F(FtpFaultTest, AServerSilentAfterTheStoreCommandCostsOneReplyTimeOutPerDelivery) {
  FaultRow row("no answer to STOR (two deliveries)", "target FTP");
  state_.targetFtp = std::make_shared<TargetFtpConnection>(state_, kShortTimeouts);
  StartServer({.stallOn = "STOR"});
  EXPECT_EQ(Deliver(), "Transfert FTP : Erreur lors du transfert. ");
  // The hung connection is not reused: the next delivery opens a new one.
  EXPECT_EQ(Deliver(), "Transfert FTP : Erreur lors du transfert. ");
  EXPECT_EQ(server_.CountConnections(), 2);
  EXPECT_EQ(server_.CountCommands("STOR"), 2);
  ExpectOnlyFailedDeliveries();
  row.Outcome("\"Transfert FTP : Erreur lors du transfert. \" after the reply time-out (2 s here, "
              "60 s shipped), once per connection");
  ExpectTheNextDeliveryToASoundServerWorks();
}

TEST_F(FtpFaultTest, AnUploadThatStopsMovingCostsOneStallTimeOutAndIsNotDelivered) {
  FaultRow row("data connection stalls mid-upload (16 MB archive)", "target FTP");
  state_.targetFtp = std::make_shared<TargetFtpConnection>(state_, kShortTimeouts);
  // More than the loopback socket buffers hold, so the sender itself stalls.
  payload_ = std::string(16 << 20, 'z');
  WriteHostFile(local_ / "Export.zip", payload_);
  StartServer({.stallUploadAfter = 1 << 20});
  EXPECT_EQ(Deliver(false), "Transfert FTP : Erreur lors du transfert. ");
  EXPECT_LT(std::filesystem::file_size(root_ / "export/Export.zip"), payload_.size());
  EXPECT_EQ(server_.CountCommands("STOR"), 1);
  EXPECT_EQ(server_.CountConnections(), 1);
  ExpectOnlyFailedDeliveries();
  row.Outcome("\"Transfert FTP : Erreur lors du transfert. \" after the stall time-out (2 s here, "
              "60 s shipped, plus the library's few seconds of speed averaging), partial file not delivered");
  ExpectTheNextDeliveryToASoundServerWorks();
}

TEST_F(FtpFaultTest, TheFailedDeliveriesOfARunAreAllRecordedWithTheirStatus) {
  StartServer({.refuseLogin = true});
  Deliver();
  server_.Stop();
  StartServer({.refuseData = true});
  Deliver(false);
  ASSERT_EQ(state_.deliveries.size(), 2u);
  EXPECT_EQ(state_.deliveries[0].status, "Transfert FTP : Erreur Connexion au serveur. ");
  EXPECT_EQ(state_.deliveries[1].status, "Transfert FTP : Erreur lors du transfert. ");
  EXPECT_EQ(state_.deliveries[1].file, local_ / "Export.zip");
}

}  // namespace
}  // namespace tarvelon
