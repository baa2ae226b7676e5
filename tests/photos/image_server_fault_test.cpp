// The image server misbehaving: every call fails silently (a photo counts as
// present unless the server test is on), no half-received photo lands in the
// store, and a sick server costs at most one connection attempt per 30 s.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <thread>

#include "app/run_state.h"
#include "photos/image_server.h"
#include "support/fault_table.h"
#include "support/ftp_server.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

using testing::FaultRow;
using testing::FtpServer;
using testing::FtpServerOptions;
using testing::ReadHostFile;
using testing::ScopedEnv;
using testing::TempFolder;
using testing::WriteHostFile;

class ImageServerFaultTest : public ::testing::Test {
 protected:
  ImageServerFaultTest()
      : drive_("TARVELON_DRIVE_C", driveC_.path().c_str()), shared_("SharedTemp", work_.path().c_str()) {
    std::filesystem::create_directories(driveC_ / "projects/kord/images");
    WriteHostFile(serverRoot_ / "www/aaa/bb/p1.jpg", std::string(300000, 'j'));
    state_.exportOption = "LEBONCOIN";
    state_.options.photoStore = "c:\\projects\\kord\\images";
    state_.testPhotoServer = true;
  }
  void TearDown() override {
    server_.Stop();
    if (HasFailure())
      for (const auto& line : state_.window.memo()) std::cerr << "  memo: " << line << "\n";
  }
  void StartServer(const FtpServerOptions& options) {
    server_.Start({{"pict", "pw", serverRoot_.path()}}, options);
    state_.window.SetImageServer({server_.address(), "pict", "pw", "www"});
  }
  std::string Store(const std::string& relative) { return driveC_ / ("projects/kord/images/" + relative); }
  void ExpectNothingLogged() { EXPECT_FALSE(std::filesystem::exists(work_ / "MarqueUpdateLEBONCOIN.log")); }

  TempFolder driveC_, serverRoot_, work_;
  ScopedEnv drive_, shared_;
  FtpServer server_;
  RunState state_;
};

TEST_F(ImageServerFaultTest, A421OnConnectCostsOneAttemptForManyPhotos) {
  FaultRow row("421 on connect (10 photos)", "image server FTP");
  StartServer({.busy = true});
  for (int i = 0; i < 10; ++i) {
    EXPECT_FALSE(PhotoOnServer(state_, "aaa/bb/p1.jpg"));
    RestorePhoto(state_, "aaa/bb/p1.jpg");
  }
  state_.testPhotoServer = false;
  EXPECT_TRUE(PhotoOnServer(state_, "aaa/bb/p1.jpg"));
  EXPECT_EQ(server_.CountConnections(), 1);
  EXPECT_FALSE(std::filesystem::exists(Store("aaa/bb/p1.jpg")));
  row.Outcome("silent failure, one connection for 10 photos, no photo in the store");
  ExpectNothingLogged();
}

TEST_F(ImageServerFaultTest, ADownloadDroppedMidwayLeavesNoPartialPhotoInTheStore) {
  FaultRow row("data connection dropped mid-download, 426", "image server FTP");
  StartServer({.dropDownloadAfter = 20000});
  RestorePhoto(state_, "aaa/bb/p1.jpg");
  EXPECT_TRUE(std::filesystem::is_directory(Store("aaa/bb")));
  EXPECT_TRUE(std::filesystem::is_empty(Store("aaa/bb")));  // neither the photo nor a temporary
  EXPECT_EQ(server_.CountCommands("RETR"), 1);
  row.Outcome("silent failure, no partial photo or temporary in the store");
  ExpectNothingLogged();
}

TEST_F(ImageServerFaultTest, RefusedDataConnectionsFailTheTransfersButNotTheQuestions) {
  FaultRow row("data connection refused, 425 (download and upload)", "image server FTP");
  StartServer({.refuseData = true});
  RestorePhoto(state_, "aaa/bb/p1.jpg");
  WriteHostFile(Store("aaa/bb/new.jpg"), "new");
  UploadPhoto(state_, Store("aaa/bb/new.jpg"), "c:\\projects\\kord\\images\\aaa\\bb\\new.jpg");
  EXPECT_FALSE(std::filesystem::exists(serverRoot_ / "www/aaa/bb/new.jpg"));
  EXPECT_FALSE(std::filesystem::exists(Store("aaa/bb/p1.jpg")));
  EXPECT_TRUE(PhotoOnServer(state_, "aaa/bb/p1.jpg"));  // MDTM needs no data connection
  EXPECT_EQ(server_.CountConnections(), 1);
  row.Outcome("silent failure, nothing transferred, MDTM still answered");
  ExpectNothingLogged();
}

TEST_F(ImageServerFaultTest, AServerThatStopsAnsweringCostsOneTimeOutNotOnePerPhoto) {
  FaultRow row("no answer to MDTM (6 calls)", "image server FTP");
  StartServer({.stallOn = "MDTM"});
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(PhotoOnServer(state_, "aaa/bb/p1.jpg"));
  RestorePhoto(state_, "aaa/bb/p1.jpg");
  EXPECT_EQ(server_.CountConnections(), 1);
  EXPECT_EQ(server_.CountCommands("MDTM"), 1);
  EXPECT_FALSE(std::filesystem::exists(Store("aaa/bb/p1.jpg")));
  row.Outcome("silent failure, one reply time-out (10 s) for 6 calls");
  ExpectNothingLogged();
}

TEST_F(ImageServerFaultTest, AServerSilentAtTheLoginCostsOneTimeOut) {
  FaultRow row("no answer to PASS (5 calls)", "image server FTP");
  StartServer({.stallOn = "PASS"});
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(PhotoOnServer(state_, "aaa/bb/p1.jpg"));
  EXPECT_EQ(server_.CountConnections(), 1);
  EXPECT_EQ(server_.CountCommands("PASS"), 1);
  row.Outcome("silent failure, one connection time-out (5 s, the login is part of connecting) for 5 calls");
  ExpectNothingLogged();
}

TEST_F(ImageServerFaultTest, AnIdleConnectionClosedByTheServerIsOpenedAgainAtOnce) {
  FaultRow row("idle control connection closed by the server, 421", "image server FTP");
  StartServer({.idleTimeout = 1.0});
  EXPECT_TRUE(PhotoOnServer(state_, "aaa/bb/p1.jpg"));
  // Until the server has said 421 and closed the session: a question sent
  // between the two would still be answered on the old connection.
  for (int i = 0; i < 100 && server_.LogText().find("session closed") == std::string::npos; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_NE(server_.LogText().find("421"), std::string::npos);
  EXPECT_TRUE(PhotoOnServer(state_, "aaa/bb/p1.jpg"));
  row.Outcome("reconnected at once, the next question answered");
  EXPECT_EQ(server_.CountConnections(), 2);
}

}  // namespace
}  // namespace tarvelon
