// The Vivacar import service misbehaving while "Envoi VIVACAR" posts the
// drop folder: every failed request leaves the error text as its reply file,
// costs at most one time-out, is recorded as not delivered, and the pass goes
// on with the next file.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/run_state.h"
#include "support/fault_table.h"
#include "support/http_recorder.h"
#include "support/smtp_server.h"
#include "support/temp_folder.h"
#include "transfer/http_post.h"

namespace tarvelon {
namespace {

using namespace tarvelon::testing;

// In place of the shipped 15 s to connect and 60 s without a byte moving.
constexpr HttpTimeouts kShortTimeouts{2, 2};

class HttpFaultTest : public ::testing::Test {
 protected:
  HttpFaultTest()
      : drive_("TARVELON_DRIVE_C", driveC_.path().c_str()), home_("TARVELON_HOME", program_.path().c_str()) {
    WriteHostFile(Drop("a.txt"), "{\"a\": 1}");
    WriteHostFile(Drop("b.txt"), "{\"b\": 2}");
  }
  std::string Drop(const std::string& name) const { return driveC_ / ("Projects/Kord/Data/Tarvelon/Vivacar/" + name); }
  void UseService(const std::string& address) {
    WriteHostFile(program_ / "Tarvelon.ini", "[VIVACAR]\r\nUrlImport=http://" + address + "/import\r\n");
  }
  void Start(const HttpRecorderOptions& options) {
    service_.Start(options);
    UseService(service_.address());
  }
  // Both files were tried, neither counts as delivered, and each reply file
  // holds the error text, never a part of an answer.
  void ExpectTwoFailedPosts() {
    for (const char* reply : {"a.xml", "b.xml"}) {
      EXPECT_EQ(ReadHostFile(Drop(reply)), " - Erreur de transfert sur le serveur ");
    }
    ASSERT_EQ(state_.deliveries.size(), 2u);
    for (const auto& d : state_.deliveries) {
      EXPECT_FALSE(d.ok) << d.file;
      EXPECT_EQ(d.status, " - Erreur de transfert sur le serveur ");
    }
    EXPECT_TRUE(state_.AnyDeliveryFailed());
  }

  TempFolder driveC_, program_;
  ScopedEnv drive_, home_;
  HttpRecorder service_;
  RunState state_;
};

TEST_F(HttpFaultTest, ARefusedConnectionFailsEachFileAtOnce) {
  UseService("127.0.0.1:" + std::to_string(FreeLoopbackPort()));
  FaultRow row("connection refused (2 files)", "HTTP posting (Envoi VIVACAR)");
  SendVivacarFilesWithin(state_, kShortTimeouts);
  ExpectTwoFailedPosts();
  row.Outcome("reply files \" - Erreur de transfert sur le serveur \", pass goes on, not delivered");
}

TEST_F(HttpFaultTest, AnErrorStatusIsAFailedPostWhateverTheBody) {
  Start({.status = 500});
  FaultRow row("HTTP 500 (2 files)", "HTTP posting (Envoi VIVACAR)");
  SendVivacarFilesWithin(state_, kShortTimeouts);
  EXPECT_EQ(service_.Requests().size(), 2u);
  ExpectTwoFailedPosts();
  row.Outcome("reply files \" - Erreur de transfert sur le serveur \", pass goes on, not delivered");
}

TEST_F(HttpFaultTest, AServiceThatNeverAnswersCostsOneStallTimeOutPerFile) {
  Start({.hang = true});
  FaultRow row("accepts, never answers (2 files)", "HTTP posting (Envoi VIVACAR)");
  SendVivacarFilesWithin(state_, kShortTimeouts);
  EXPECT_EQ(service_.Requests().size(), 2u);  // the second file was posted all the same
  ExpectTwoFailedPosts();
  row.Outcome("one stall time-out per file (2 s here, 60 s shipped, "
              "plus the library's ~5 s of speed averaging), error text as reply, pass goes on, not delivered");
}

TEST_F(HttpFaultTest, AnAnswerThatStopsAfterItsHeadersIsNotKeptAsTheReply) {
  Start({.stallAfterHeaders = true});
  FaultRow row("answers 200 headers, then stalls (2 files)", "HTTP posting (Envoi VIVACAR)");
  SendVivacarFilesWithin(state_, kShortTimeouts);
  EXPECT_EQ(service_.Requests().size(), 2u);
  ExpectTwoFailedPosts();  // "<repo", the part that came, is not written
  row.Outcome("one stall time-out per file (2 s here, 60 s shipped, plus ~5 s of speed averaging), "
              "partial answer dropped, error text as reply, not delivered");
}

}  // namespace
}  // namespace tarvelon
