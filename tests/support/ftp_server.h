#pragma once
// A real FTP server for the tests: Debian's pyftpdlib, run with
// /usr/bin/python3 on 127.0.0.1 at a free port, stopped by process id.
//
//   FtpServer server;
//   server.Start({{"alice", "secret", rootFolder}});
//   ... connect to server.address() ("127.0.0.1:<port>") ...
//   server.Commands();  // {"USER alice", "PASS ******", "PWD", "CWD www", ...}
//   server.Stop();      // also done by the destructor
#include <string>
#include <vector>

namespace tarvelon::testing {

struct FtpAccount {
  std::string user;
  std::string password;
  std::string home;                   // host folder, must exist
  std::string perm = "elradfmwMT";   // pyftpdlib letters; "elr" is read only
};

struct FtpServerOptions {
  std::string host = "127.0.0.1";  // any 127.x.y.z
  int port = 0;                 // 0: a free port; a port of a stopped server to start it again
  double idleTimeout = 0;       // > 0: an idle control connection is closed (421) after so many seconds
  long dropUploadAfter = -1;    // >= 0: every upload's data connection is dropped after so many bytes
  long dropDownloadAfter = -1;  // >= 0: every download's data connection is dropped after so many bytes
  long stallUploadAfter = -1;   // >= 0: every upload's data connection stops being read after so many bytes
  bool busy = false;            // every connection is answered 421 and closed
  bool refuseLogin = false;     // every password is answered 530
  bool refuseData = false;      // every STOR and RETR is answered 425
  std::string stallOn{};        // a verb ("PASS", "MDTM"; "CONNECT": the greeting) from which on nothing is answered
};

class FtpServer {
 public:
  FtpServer();
  ~FtpServer();
  FtpServer(const FtpServer&) = delete;
  FtpServer& operator=(const FtpServer&) = delete;

  // Starts the server and waits until it listens; throws when it cannot.
  void Start(const std::vector<FtpAccount>& accounts, const FtpServerOptions& options = {});
  // One account over `root`, every permission.
  void Start(const std::string& root, const std::string& user, const std::string& password);
  // Stops the process (SIGTERM, then waits for it). The log stays readable.
  void Stop();
  bool running() const { return pid_ > 0; }

  int port() const { return port_; }
  const std::string& host() const { return host_; }
  std::string address() const;  // "<host>:<port>"

  // The server's whole log, and the commands it received in order ("CWD /a").
  std::string LogText() const;
  std::vector<std::string> Commands() const;
  // How many received commands start with the verb ("CWD", "USER", "MDTM").
  int CountCommands(const std::string& verb) const;
  // How many control connections the server accepted.
  int CountConnections() const;
  // Forgets what was logged so far (the next Commands() starts empty).
  void ClearLog();

 private:
  std::string folder_;  // log and port file
  int pid_ = -1;
  int port_ = 0;
  std::string host_ = "127.0.0.1";
  size_t logOffset_ = 0;
};

}  // namespace tarvelon::testing
