// The group's SMTP server misbehaving while SendMail announces a file: each
// fault gives one "ERROR: " line in the log and no retry, costs at most one
// time-out, keeps the ".eml" copy, and is recorded as not delivered; the
// export goes on.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "app/run_state.h"
#include "support/fault_table.h"
#include "support/smtp_server.h"
#include "support/temp_folder.h"
#include "transfer/mail_delivery.h"

namespace tarvelon {
namespace {

using namespace tarvelon::testing;
namespace fs = std::filesystem;

// In place of the shipped 30 s connect, 60 s reply, 60 s stall, 300 s in all;
// connect and reply differ, so that the table shows which one a hang cost.
constexpr SmtpTimeouts kShortTimeouts{2, 3, 2, 20};

class MailFaultTest : public ::testing::Test {
 protected:
  MailFaultTest() : shared_("SharedTemp", work_.path().c_str()), home_("TARVELON_HOME", program_.path().c_str()) {
    state_.exportOption = "NEOWEBCAR";
  }
  void TearDown() override { server_.Stop(); }
  void UsePort(int port) {
    WriteHostFile(program_ / "Tarvelon.ini",
                  "[StrInfoLog]\r\nHost=127.0.0.1\r\nPort=" + std::to_string(port) +
                      "\r\nSendTO=stock@neowebcar.fr\r\nFrom=exports@groupe-kord.fr\r\n[MAIL]\r\nAuthType=none\r\n");
  }
  void Start(SmtpFault fault) {
    server_.StartFaulty(mailbox_.path(), fault);
    UsePort(server_.port());
  }
  void Send() {
    SendMail(state_, "http://www.groupe-kord.fr/mirvane/export/NWC-Kord.csv", "4 VN, 2 VD", kShortTimeouts);
  }
  // The one "ERROR: " line of the log, which the test expects to hold `reason`.
  std::string ExpectOneFailedMail(const std::string& reason) {
    const std::vector<std::string> lines = SplitCrLfLines(ReadHostFile(work_ / "MarqueUpdateNEOWEBCAR.log"));
    std::string error;
    int errors = 0;
    for (const auto& line : lines)
      if (const size_t at = line.find(" - ERROR: "); at != std::string::npos) {
        ++errors;
        error = line.substr(at + 3);
      }
    EXPECT_EQ(errors, 1);
    EXPECT_NE(error.find(reason), std::string::npos) << error;
    EXPECT_EQ(state_.deliveries.size(), 1u);
    for (const auto& d : state_.deliveries) {
      EXPECT_FALSE(d.ok);
      EXPECT_EQ(d.status, error);
    }
    EXPECT_TRUE(fs::exists(HostCopy())) << "the .eml copy is kept whatever the server did";
    EXPECT_TRUE(server_.Messages().empty());  // the server kept nothing
    return std::regex_replace(error, std::regex("port [0-9]+"), "port <port>");
  }
  std::string HostCopy() const {
    for (const auto& e : fs::directory_iterator(work_ / "Sendro"))
      if (e.path().extension() == ".eml") return e.path().string();
    return work_ / "Sendro/none.eml";
  }

  TempFolder work_, program_, mailbox_;
  ScopedEnv shared_, home_;
  SmtpServer server_;
  RunState state_;
};

TEST_F(MailFaultTest, ARefusedConnectionIsOneErrorLine) {
  UsePort(FreeLoopbackPort());
  FaultRow row("connection refused", "mail (SMTP)");
  Send();
  row.Outcome("log \"" + ExpectOneFailedMail("Couldn't connect to server") + "\", .eml kept, not delivered");
}

TEST_F(MailFaultTest, RefusedRecipientsAreOneErrorLine) {
  Start(SmtpFault::kRefuseRecipients);
  FaultRow row("550 to RCPT TO", "mail (SMTP)");
  Send();
  row.Outcome("log \"" + ExpectOneFailedMail("RCPT failed: 550") + "\", .eml kept, not delivered");
}

TEST_F(MailFaultTest, AMessageRefusedAfterItsDataIsOneErrorLine) {
  Start(SmtpFault::kRefuseMessage);
  FaultRow row("554 after DATA", "mail (SMTP)");
  Send();
  row.Outcome("log \"" + ExpectOneFailedMail("554 5.7.1 Message refused") + "\", .eml kept, not delivered");
}

TEST_F(MailFaultTest, AServerThatNeverGreetsCostsTheConnectionTimeOut) {
  Start(SmtpFault::kSilent);
  FaultRow row("accepts, never greets", "mail (SMTP)");
  Send();
  row.Outcome("log \"" + ExpectOneFailedMail("Timeout") + "\" after the connection time-out (2 s here, "
              "30 s shipped), not delivered");
}

TEST_F(MailFaultTest, AServerSilentAfterTheMessageCostsTheReplyTimeOut) {
  Start(SmtpFault::kStallAfterMessage);
  FaultRow row("takes the message, never answers it", "mail (SMTP)");
  Send();
  row.Outcome("log \"" + ExpectOneFailedMail("Timeout") + "\" after one reply time-out (3 s here, "
              "60 s shipped; no second wait for QUIT), not delivered");
}

}  // namespace
}  // namespace tarvelon
