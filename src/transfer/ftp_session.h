#pragma once
// One FTP control connection (one libcurl easy handle): connect and log in,
// change folder, store, retrieve and ask a modification time, each as the
// single command the caller means. The folder is changed only by
// ChangeFolder; the other commands name a bare file in the current folder.
// Progress texts go to the status sink (the window's memo), never to the log.
#include <functional>
#include <string>

typedef void CURL;

namespace tarvelon {

struct FtpEndpoint {
  std::string host;
  long port = 21;
  std::string user;
  std::string password;
};

// A server field "host:port" (or "[v6]:port") names its port; `port` is left
// as it was when the field names none.
void SplitServerField(const std::string& server, std::string& host, long& port);

struct FtpTimeouts {
  long connectSeconds = 30;  // name resolution and TCP connection
  long replySeconds = 60;    // waiting for one reply of the server
  long stallSeconds = 60;    // a data transfer that moves no byte this long is abandoned
};

class FtpSession {
 public:
  using TextSink = std::function<void(const std::string&)>;
  using Pump = std::function<void()>;

  // `status` receives the progress texts; `pump` runs while a call waits.
  FtpSession(FtpTimeouts timeouts, TextSink status, Pump pump);
  ~FtpSession();  // closes the connection without a status text
  FtpSession(const FtpSession&) = delete;
  FtpSession& operator=(const FtpSession&) = delete;

  // A logged-in control connection that the server has not closed. A
  // connection found closed (idle time-out, server gone) is dropped here, so
  // that the caller connects again instead of failing on it.
  bool Connected();
  // Connects and logs in (drops any previous connection first).
  bool Connect(const FtpEndpoint& endpoint);
  // One CWD with the folder as given.
  bool ChangeFolder(const std::string& folder);
  // STOR of a local file (host path) under `remoteName` in the current
  // folder, image type, replacing a file of that name. A local file that
  // cannot be read fails before anything is sent.
  bool Store(const std::string& localHostPath, const std::string& remoteName);
  // RETR into a new local file (host path); never overwrites and leaves no
  // partial file behind.
  bool Retrieve(const std::string& remoteName, const std::string& localHostPath);
  // One MDTM exchange. False when the exchange failed; otherwise `present`
  // tells whether the reply was 213.
  bool ModificationTime(const std::string& remoteName, bool& present);
  // QUIT and close, with status texts; nothing when not connected.
  void Disconnect();

  const std::string& lastError() const { return lastError_; }

 private:
  struct Operation;
  bool Perform(Operation& op);
  // The address of a file of the current folder.
  std::string FileUrl(const std::string& remoteName) const;
  // One quoted command in the current folder; `code` is the server's reply.
  bool SendCommand(const std::string& what, const std::string& command, long& code);
  void PrepareHandle();
  void Drop();
  bool UsableCommandText(const std::string& text);
  void Status(const std::string& text) const;

  FtpTimeouts timeouts_;
  TextSink status_;
  Pump pump_;
  CURL* handle_ = nullptr;
  bool loggedIn_ = false;
  std::string baseUrl_;  // "ftp://host:port/" of the open connection
  long controlPort_ = 0; // local port of the control connection, to notice a replaced one
  std::string lastReply_;
  std::string lastError_;
  char errorBuffer_[256] = {};

  friend struct FtpSessionCallbacks;
};

}  // namespace tarvelon
