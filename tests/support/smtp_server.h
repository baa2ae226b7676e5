#pragma once
// A real SMTP server for the tests on 127.0.0.1 at a free port, stopped by
// process id: Debian's aiosmtpd, either its own Mailbox handler (messages
// under DIR/new, with X-MailFrom and X-RcptTo added) or the tests' script
// smtp_server.py, which keeps the bytes as received and can ask for a login.
#include <string>
#include <vector>

namespace tarvelon::testing {

// How a faulty server misbehaves (smtp_server.py's faults).
enum class SmtpFault { kRefuseRecipients, kRefuseMessage, kStallAfterMessage, kSilent };

class SmtpServer {
 public:
  SmtpServer() = default;
  ~SmtpServer();
  SmtpServer(const SmtpServer&) = delete;
  SmtpServer& operator=(const SmtpServer&) = delete;

  // aiosmtpd's Mailbox handler storing into `folder`.
  void StartMailbox(const std::string& folder);
  // The tests' script storing into `folder`; with a user, a login is required.
  void StartKeeping(const std::string& folder, const std::string& user = "", const std::string& password = "");
  // The tests' script, misbehaving as told; nothing it is sent is kept.
  void StartFaulty(const std::string& folder, SmtpFault fault);
  void Stop();

  int port() const { return port_; }
  // Message files the server stored so far (host paths, in name order).
  std::vector<std::string> Messages() const;

 private:
  void Launch(const std::vector<std::string>& arguments);
  std::string folder_;
  bool mailbox_ = false;
  int pid_ = -1;
  int port_ = 0;
};

// A TCP port on 127.0.0.1 that nothing listens on at the moment.
int FreeLoopbackPort();

}  // namespace tarvelon::testing
