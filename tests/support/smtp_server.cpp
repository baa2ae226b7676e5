#include "support/smtp_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "support/server_process.h"


namespace tarvelon::testing {
namespace {

const char* const kPython = "/usr/bin/python3";
const std::string kScript = std::string(TARVELON_SOURCE_DIR) + "/tests/support/smtp_server.py";

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

bool Listening(int port) {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = Loopback(port);
  const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(s);
  return ok;
}

}  // namespace

int FreeLoopbackPort() {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = Loopback(0);
  socklen_t length = sizeof address;
  if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(s);
    throw std::runtime_error("no free port");
  }
  ::close(s);
  return ntohs(address.sin_port);
}

SmtpServer::~SmtpServer() { Stop(); }

void SmtpServer::StartMailbox(const std::string& folder) {
  folder_ = folder;
  mailbox_ = true;
  port_ = FreeLoopbackPort();
  Launch({kPython, "-m", "aiosmtpd", "-n", "-l", "127.0.0.1:" + std::to_string(port_), "-c",
          "aiosmtpd.handlers.Mailbox", folder});
}

void SmtpServer::StartKeeping(const std::string& folder, const std::string& user, const std::string& password) {
  folder_ = folder;
  mailbox_ = false;
  port_ = FreeLoopbackPort();
  std::vector<std::string> args = {kPython, kScript, "--port", std::to_string(port_), "--dir", folder};
  if (!user.empty()) args.insert(args.end(), {"--login", user, password});
  Launch(args);
}

void SmtpServer::StartFaulty(const std::string& folder, SmtpFault fault) {
  folder_ = folder;
  mailbox_ = false;
  port_ = FreeLoopbackPort();
  const char* flag = fault == SmtpFault::kRefuseRecipients ? "--refuse-rcpt"
                     : fault == SmtpFault::kRefuseMessage  ? "--refuse-data"
                     : fault == SmtpFault::kStallAfterMessage ? "--stall-after-data"
                                                             : "--silent";
  Launch({kPython, kScript, "--port", std::to_string(port_), "--dir", folder, flag});
}

void SmtpServer::Launch(const std::vector<std::string>& arguments) {
  Stop();
  // The Mailbox handler makes its own folder (new, cur, tmp); the script writes into an existing one.
  if (!mailbox_) std::filesystem::create_directories(folder_);
  pid_ = StartServerProcess(arguments, "the SMTP server", [&] { return Listening(port_); });
}

void SmtpServer::Stop() {
  StopServerProcess(pid_);
}

std::vector<std::string> SmtpServer::Messages() const {
  std::vector<std::string> files;
  const std::string where = mailbox_ ? folder_ + "/new" : folder_;
  if (!std::filesystem::is_directory(where)) return files;
  for (const auto& entry : std::filesystem::directory_iterator(where)) {
    const std::string path = entry.path().string();
    if (entry.is_regular_file() && (mailbox_ || entry.path().extension() == ".eml")) files.push_back(path);
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace tarvelon::testing
