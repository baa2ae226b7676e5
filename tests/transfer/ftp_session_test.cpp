#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <iostream>

#include "support/ftp_server.h"
#include "support/temp_folder.h"
#include "transfer/ftp_session.h"

namespace tarvelon {
namespace {

using testing::FtpServer;
using testing::ReadHostFile;
using testing::TempFolder;
using testing::WriteHostFile;
using Commands = std::vector<std::string>;

class FtpSessionTest : public ::testing::Test {
 protected:
  FtpSessionTest() : session_({5, 10, 10}, [this](const std::string& t) { status_.push_back(t); }, nullptr) {
    std::filesystem::create_directories(root_ / "www/export");
    server_.Start(root_.path(), "alice", "secret");
  }
  void TearDown() override {
    server_.Stop();
    if (HasFailure())
      for (auto& s : status_) std::cerr << "  status: " << s << "\n";
  }

  FtpEndpoint Endpoint(const std::string& password = "secret") {
    return FtpEndpoint{"127.0.0.1", server_.port(), "alice", password};
  }

  TempFolder root_, local_;
  FtpServer server_;
  std::vector<std::string> status_;
  FtpSession session_;
};

TEST_F(FtpSessionTest, StoreSendsOnlyTheCommandsAsked) {
  WriteHostFile(local_ / "f.bin", std::string("a\r\nb\0c\xff", 7));
  ASSERT_TRUE(session_.Connect(Endpoint()));
  ASSERT_TRUE(session_.ChangeFolder("www/export"));
  ASSERT_TRUE(session_.Store(local_ / "f.bin", "f.bin"));
  EXPECT_EQ(ReadHostFile(root_ / "www/export/f.bin"), std::string("a\r\nb\0c\xff", 7));
  EXPECT_EQ(server_.Commands(),
            (Commands{"USER alice", "PASS ******", "PWD", "CWD www/export", "EPSV", "TYPE I", "STOR f.bin"}));
  EXPECT_TRUE(session_.Connected());
}

TEST_F(FtpSessionTest, EachModificationTimeIsOneMdtm) {
  WriteHostFile(root_ / "www/p.jpg", "jpeg");
  ASSERT_TRUE(session_.Connect(Endpoint()));
  ASSERT_TRUE(session_.ChangeFolder("/www"));
  server_.ClearLog();
  bool present = false;
  ASSERT_TRUE(session_.ModificationTime("p.jpg", present));
  EXPECT_TRUE(present);
  ASSERT_TRUE(session_.ModificationTime("missing.jpg", present));
  EXPECT_FALSE(present);
  EXPECT_EQ(server_.Commands(), (Commands{"MDTM p.jpg", "MDTM missing.jpg"}));
}

TEST_F(FtpSessionTest, RefusalsFailWithoutBreakingTheConnection) {
  ASSERT_TRUE(session_.Connect(Endpoint()));
  EXPECT_FALSE(session_.ChangeFolder("nowhere"));
  EXPECT_FALSE(session_.Store(local_ / "absent.txt", "absent.txt"));
  EXPECT_TRUE(session_.Connected());
  EXPECT_EQ(server_.CountCommands("STOR"), 0);
}

TEST_F(FtpSessionTest, WrongPasswordOrClosedPortDoNotConnect) {
  EXPECT_FALSE(session_.Connect(Endpoint("wrong")));
  EXPECT_FALSE(session_.Connected());
  int port = server_.port();
  server_.Stop();
  EXPECT_FALSE(session_.Connect(FtpEndpoint{"127.0.0.1", port, "alice", "secret"}));
  EXPECT_FALSE(session_.Connect(FtpEndpoint{"bad/host", port, "alice", "secret"}));
}

TEST_F(FtpSessionTest, RetrieveNeverOverwritesAndLeavesNoPartialFile) {
  WriteHostFile(root_ / "www/p.jpg", "server copy");
  ASSERT_TRUE(session_.Connect(Endpoint()));
  ASSERT_TRUE(session_.ChangeFolder("www"));
  ASSERT_TRUE(session_.Retrieve("p.jpg", local_ / "p.jpg"));
  EXPECT_EQ(ReadHostFile(local_ / "p.jpg"), "server copy");
  WriteHostFile(root_ / "www/p.jpg", "newer");
  EXPECT_FALSE(session_.Retrieve("p.jpg", local_ / "p.jpg"));
  EXPECT_EQ(ReadHostFile(local_ / "p.jpg"), "server copy");
  EXPECT_FALSE(session_.Retrieve("missing.jpg", local_ / "missing.jpg"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(local_.path()), {}), 1);
}

TEST_F(FtpSessionTest, ALineBreakInAnArgumentIsNeverSent) {
  ASSERT_TRUE(session_.Connect(Endpoint()));
  server_.ClearLog();
  bool present;
  EXPECT_FALSE(session_.ModificationTime("a.jpg\r\nDELE x", present));
  EXPECT_FALSE(session_.ChangeFolder("www\nDELE x"));
  EXPECT_TRUE(server_.Commands().empty());
}

TEST_F(FtpSessionTest, AServerThatWentAwayCountsAsNotConnected) {
  ASSERT_TRUE(session_.Connect(Endpoint()));
  int port = server_.port();
  server_.Stop();
  server_.Start({{"alice", "secret", root_.path()}}, {.port = port});
  EXPECT_FALSE(session_.Connected());
  ASSERT_TRUE(session_.Connect(Endpoint()));
  bool present;
  EXPECT_TRUE(session_.ModificationTime("x", present));
}

TEST_F(FtpSessionTest, AnIdleTimeOutOfTheServerCountsAsNotConnected) {
  server_.Start({{"alice", "secret", root_.path()}}, {.idleTimeout = 2.0});
  ASSERT_TRUE(session_.Connect(Endpoint()));
  std::this_thread::sleep_for(std::chrono::milliseconds(3500));  // the server says 421 and closes
  EXPECT_FALSE(session_.Connected());
  ASSERT_TRUE(session_.Connect(Endpoint()));
  bool present;
  EXPECT_TRUE(session_.ModificationTime("x", present));
}

TEST(SplitServerField, HostAndPort) {
  std::string host;
  long port = 21;
  SplitServerField("ftp.example.com", host, port);
  EXPECT_EQ(host, "ftp.example.com");
  EXPECT_EQ(port, 21);
  SplitServerField("127.0.0.1:2121", host, port);
  EXPECT_EQ(host, "127.0.0.1");
  EXPECT_EQ(port, 2121);
  port = 21;
  SplitServerField("[::1]:2122", host, port);
  EXPECT_EQ(host, "::1");
  EXPECT_EQ(port, 2122);
  port = 21;
  SplitServerField("::1", host, port);
  EXPECT_EQ(host, "::1");
  EXPECT_EQ(port, 21);
}

}  // namespace
}  // namespace tarvelon
