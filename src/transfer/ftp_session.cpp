#include "transfer/ftp_session.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files.h"
#include "platform/text.h"
#include "transfer/curl_global.h"

namespace tarvelon {

struct FtpSession::Operation {
  std::string what;  // names the operation in a failure text
  std::string url;
  curl_slist* quote = nullptr;
  bool upload = false;
  bool body = false;
  FILE* in = nullptr;
  curl_off_t inSize = -1;
  FILE* out = nullptr;
  bool opensConnection = false;

  ~Operation() { curl_slist_free_all(quote); }
};

struct FtpSessionCallbacks {
  // Every reply line of the server arrives here; the last one explains a failure.
  static size_t Header(char* data, size_t size, size_t count, void* self) {
    size_t n = size * count;
    std::string line(data, n);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    if (!line.empty()) static_cast<FtpSession*>(self)->lastReply_ = line;
    return n;
  }
  static size_t Write(char* data, size_t size, size_t count, void* out) {
    if (!out) return size * count;
    return std::fwrite(data, size, count, static_cast<FILE*>(out)) * size;
  }
  // Called at least once a second while a call waits: keeps the window alive.
  static int Progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    try {
      auto* session = static_cast<FtpSession*>(self);
      if (session->pump_) session->pump_();
      return 0;
    } catch (...) {
      return 1;  // abandons the transfer rather than unwinding through libcurl
    }
  }
};

namespace {

bool IsNumericAddress(const std::string& host) {
  unsigned char buffer[sizeof(in6_addr)];
  return inet_pton(AF_INET, host.c_str(), buffer) == 1 || inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

// Characters that would change the meaning of the URL built around a host name.
bool UsableHost(const std::string& host) {
  if (host.empty()) return false;
  for (unsigned char c : host)
    if (c <= ' ' || c == 0x7f || std::strchr("/\\@?#[]", c)) return false;
  return true;
}

}  // namespace

void SplitServerField(const std::string& server, std::string& host, long& port) {
  host = server;
  std::string portText;
  if (!server.empty() && server.front() == '[') {
    size_t close = server.find(']');
    if (close == std::string::npos) return;
    host = server.substr(1, close - 1);
    if (close + 1 < server.size() && server[close + 1] == ':') portText = server.substr(close + 2);
  } else {
    size_t colon = server.find(':');
    if (colon == std::string::npos || server.find(':', colon + 1) != std::string::npos) return;  // none, or IPv6
    host = server.substr(0, colon);
    portText = server.substr(colon + 1);
  }
  long long value;
  if (TryParseInt(portText, value)) port = static_cast<long>(value);
}

FtpSession::FtpSession(FtpTimeouts timeouts, TextSink status, Pump pump)
    : timeouts_(timeouts), status_(std::move(status)), pump_(std::move(pump)) {}

FtpSession::~FtpSession() { Drop(); }

void FtpSession::Status(const std::string& text) const {
  if (status_) status_(text);
}

void FtpSession::Drop() {
  if (handle_) curl_easy_cleanup(handle_);  // sends QUIT on a connection that is still open
  handle_ = nullptr;
  loggedIn_ = false;
}

// Commands go to the server as one line: a line break or NUL would smuggle a
// second command in.
bool FtpSession::UsableCommandText(const std::string& text) {
  if (text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos) return true;
  lastError_ = "line break in a command argument";
  Status("FTP command refused: " + lastError_);
  return false;
}

void FtpSession::PrepareHandle() {
  EnsureCurlGlobalInit();
  handle_ = curl_easy_init();
  curl_easy_setopt(handle_, CURLOPT_ERRORBUFFER, errorBuffer_);
  curl_easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle_, CURLOPT_PROTOCOLS_STR, "ftp");
  curl_easy_setopt(handle_, CURLOPT_PROXY, "");  // no proxy, whatever the environment says
  curl_easy_setopt(handle_, CURLOPT_MAXCONNECTS, 1L);
  curl_easy_setopt(handle_, CURLOPT_CONNECTTIMEOUT, timeouts_.connectSeconds);
  curl_easy_setopt(handle_, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeouts_.replySeconds);
  curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_TIME, timeouts_.stallSeconds);
  // The session changes folders itself (ChangeFolder); every other command
  // names its file relative to the current folder.
  curl_easy_setopt(handle_, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
  curl_easy_setopt(handle_, CURLOPT_HEADERFUNCTION, &FtpSessionCallbacks::Header);
  curl_easy_setopt(handle_, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, &FtpSessionCallbacks::Write);
  curl_easy_setopt(handle_, CURLOPT_XFERINFOFUNCTION, &FtpSessionCallbacks::Progress);
  curl_easy_setopt(handle_, CURLOPT_XFERINFODATA, this);
  curl_easy_setopt(handle_, CURLOPT_NOPROGRESS, 0L);
}

bool FtpSession::Perform(Operation& op) {
  curl_easy_setopt(handle_, CURLOPT_URL, op.url.c_str());
  curl_easy_setopt(handle_, CURLOPT_QUOTE, op.quote);
  curl_easy_setopt(handle_, CURLOPT_NOBODY, op.body || op.upload ? 0L : 1L);
  curl_easy_setopt(handle_, CURLOPT_UPLOAD, op.upload ? 1L : 0L);
  curl_easy_setopt(handle_, CURLOPT_READDATA, op.in);
  curl_easy_setopt(handle_, CURLOPT_INFILESIZE_LARGE, op.inSize);
  curl_easy_setopt(handle_, CURLOPT_WRITEDATA, op.out);
  lastReply_.clear();
  errorBuffer_[0] = '\0';
  CURLcode result = curl_easy_perform(handle_);
  curl_easy_setopt(handle_, CURLOPT_QUOTE, nullptr);
  curl_easy_setopt(handle_, CURLOPT_READDATA, nullptr);
  curl_easy_setopt(handle_, CURLOPT_WRITEDATA, nullptr);

  long localPort = 0;
  curl_easy_getinfo(handle_, CURLINFO_LOCAL_PORT, &localPort);
  if (op.opensConnection) {
    controlPort_ = localPort;
  } else if (result == CURLE_OK && localPort != controlPort_) {
    // The library replaced a connection it found broken: the new one stands
    // in the login folder, not in the folder this session changed to.
    lastError_ = "the connection was lost and opened again";
    Status(op.what + " failed: " + lastError_);
    Drop();
    return false;
  }
  if (result == CURLE_OK) return true;
  lastError_ = errorBuffer_[0] ? errorBuffer_ : curl_easy_strerror(result);
  if (!lastReply_.empty() && lastReply_[0] >= '4') lastError_ += " (" + Utf8ToAnsi(lastReply_) + ")";
  Status(op.what + " failed: " + lastError_);
  return false;
}

bool FtpSession::Connected() {
  if (!handle_ || !loggedIn_) return false;
  curl_socket_t socket = CURL_SOCKET_BAD;
  if (curl_easy_getinfo(handle_, CURLINFO_ACTIVESOCKET, &socket) != CURLE_OK || socket == CURL_SOCKET_BAD) {
    Status("Connection lost.");
    Drop();
    return false;
  }
  // An idle control connection has nothing to read: anything there is the
  // server's farewell (421) or its end of stream.
  pollfd watch{socket, POLLIN | POLLPRI, 0};
  if (::poll(&watch, 1, 0) != 0) {
    Status("Connection closed by the server.");
    Drop();
    return false;
  }
  return true;
}

bool FtpSession::Connect(const FtpEndpoint& endpoint) {
  Drop();
  lastError_.clear();
  if (!UsableHost(endpoint.host)) {
    lastError_ = "no usable host name";
    Status("Connection failed: " + lastError_ + " \"" + endpoint.host + "\"");
    return false;
  }
  if (!UsableCommandText(endpoint.user) || !UsableCommandText(endpoint.password)) return false;
  std::string hostPart = endpoint.host.find(':') != std::string::npos ? "[" + endpoint.host + "]" : endpoint.host;
  baseUrl_ = "ftp://" + AnsiToUtf8(hostPart) + ":" + std::to_string(endpoint.port) + "/";
  PrepareHandle();
  curl_easy_setopt(handle_, CURLOPT_USERNAME, endpoint.user.c_str());
  curl_easy_setopt(handle_, CURLOPT_PASSWORD, endpoint.password.c_str());
  if (!IsNumericAddress(endpoint.host)) Status("Resolving " + endpoint.host + "...");
  Status("Connecting to " + endpoint.host + ":" + std::to_string(endpoint.port) + "...");
  Operation op;
  op.what = "Connection";
  op.url = baseUrl_;
  op.opensConnection = true;
  if (!Perform(op)) {
    Drop();
    return false;
  }
  loggedIn_ = true;
  Status("Connected, logged in as " + endpoint.user + ".");
  return true;
}

bool FtpSession::SendCommand(const std::string& what, const std::string& command, long& code) {
  code = 0;
  Operation op;
  op.what = what;
  op.url = baseUrl_;
  // "*": a refusal (missing folder or file) is an answer; without it the
  // library would close the connection.
  op.quote = curl_slist_append(nullptr, ("*" + AnsiToUtf8(command)).c_str());
  if (!Perform(op)) return false;
  curl_easy_getinfo(handle_, CURLINFO_RESPONSE_CODE, &code);
  return true;
}

bool FtpSession::ChangeFolder(const std::string& folder) {
  if (!handle_ || !UsableCommandText(folder)) return false;
  long code = 0;
  const std::string what = "Folder change to " + folder;
  if (!SendCommand(what, "CWD " + folder, code)) return false;
  if (code >= 200 && code < 300) return true;
  lastError_ = Utf8ToAnsi(lastReply_);
  Status(what + " failed: " + lastError_);
  return false;
}

std::string FtpSession::FileUrl(const std::string& remoteName) const {
  const std::string utf8Name = AnsiToUtf8(remoteName);
  char* escaped = curl_easy_escape(handle_, utf8Name.c_str(), static_cast<int>(utf8Name.size()));
  std::string url = baseUrl_ + (escaped ? escaped : "");
  curl_free(escaped);
  return url;
}

bool FtpSession::Store(const std::string& localHostPath, const std::string& remoteName) {
  if (!handle_ || remoteName.empty() || !UsableCommandText(remoteName)) return false;
  FILE* in = std::fopen(localHostPath.c_str(), "rb");
  struct stat info;
  if (!in || ::fstat(::fileno(in), &info) != 0 || !S_ISREG(info.st_mode)) {
    lastError_ = "cannot read " + Utf8ToAnsi(localHostPath) + (in ? "" : " : " + SystemErrorText(errno));
    if (in) std::fclose(in);
    Status("Transfer failed: " + lastError_);
    return false;
  }
  Operation op;
  op.what = "Transfer of " + remoteName;
  op.url = FileUrl(remoteName);
  op.upload = true;
  op.in = in;
  op.inSize = info.st_size;
  Status("Sending " + remoteName + " (" + std::to_string(info.st_size) + " bytes)...");
  bool ok = Perform(op);
  std::fclose(in);
  if (ok) Status("Transfer complete.");
  return ok;
}

bool FtpSession::Retrieve(const std::string& remoteName, const std::string& localHostPath) {
  if (!handle_ || remoteName.empty() || !UsableCommandText(remoteName)) return false;
  struct stat info;
  if (::lstat(localHostPath.c_str(), &info) == 0) {
    lastError_ = "the local file exists";
    return false;
  }
  std::string partial = localHostPath + ".XXXXXX";
  int fd = ::mkstemp(partial.data());
  if (fd < 0) {
    lastError_ = "cannot create " + Utf8ToAnsi(localHostPath) + " : " + SystemErrorText(errno);
    Status("Transfer failed: " + lastError_);
    return false;
  }
  ::fchmod(fd, 0644);
  FILE* out = ::fdopen(fd, "wb");
  Operation op;
  op.what = "Transfer of " + remoteName;
  op.url = FileUrl(remoteName);
  op.body = true;
  op.out = out;
  Status("Receiving " + remoteName + "...");
  bool ok = Perform(op);
  if (std::fclose(out) != 0) ok = false;
  // The finished file appears at once and only when complete; an existing
  // file is never replaced.
  if (ok && ::renameat2(AT_FDCWD, partial.c_str(), AT_FDCWD, localHostPath.c_str(), RENAME_NOREPLACE) != 0) {
    lastError_ = "cannot create " + Utf8ToAnsi(localHostPath) + " : " + SystemErrorText(errno);
    Status("Transfer failed: " + lastError_);
    ok = false;
  }
  if (!ok) ::unlink(partial.c_str());
  else Status("Transfer complete.");
  return ok;
}

bool FtpSession::ModificationTime(const std::string& remoteName, bool& present) {
  present = false;
  if (!handle_ || !UsableCommandText(remoteName)) return false;
  long code = 0;
  if (!SendCommand("MDTM " + remoteName, "MDTM " + remoteName, code)) return false;
  present = code == 213;
  return true;
}

void FtpSession::Disconnect() {
  if (!handle_) return;
  Status("Disconnecting.");
  Drop();
  Status("Disconnected.");
}

}  // namespace tarvelon
