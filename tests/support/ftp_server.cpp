#include "support/ftp_server.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "support/server_process.h"
#include "support/temp_folder.h"


namespace tarvelon::testing {
namespace {

const char* const kPython = "/usr/bin/python3";
const std::string kScript = std::string(TARVELON_SOURCE_DIR) + "/tests/support/ftp_server.py";

}  // namespace

FtpServer::FtpServer() {
  char pattern[] = "/tmp/tarvelon-ftp-XXXXXX";
  if (!::mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
  folder_ = pattern;
}

FtpServer::~FtpServer() {
  Stop();
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void FtpServer::Start(const std::string& root, const std::string& user, const std::string& password) {
  Start({FtpAccount{user, password, root}});
}

void FtpServer::Start(const std::vector<FtpAccount>& accounts, const FtpServerOptions& options) {
  Stop();
  const std::string portFile = folder_ + "/port";
  std::filesystem::remove(portFile);
  std::vector<std::string> args = {kPython, kScript, "--log", folder_ + "/log", "--port-file", portFile,
                                   "--host", options.host, "--port", std::to_string(options.port)};
  for (const auto& a : accounts) args.insert(args.end(), {"--account", a.user, a.password, a.home, a.perm});
  if (options.idleTimeout > 0) args.insert(args.end(), {"--idle-timeout", std::to_string(options.idleTimeout)});
  if (options.dropUploadAfter >= 0)
    args.insert(args.end(), {"--drop-upload-after", std::to_string(options.dropUploadAfter)});
  if (options.dropDownloadAfter >= 0)
    args.insert(args.end(), {"--drop-download-after", std::to_string(options.dropDownloadAfter)});
  if (options.stallUploadAfter >= 0)
    args.insert(args.end(), {"--stall-upload-after", std::to_string(options.stallUploadAfter)});
  if (options.busy) args.push_back("--busy");
  if (options.refuseLogin) args.push_back("--refuse-login");
  if (options.refuseData) args.push_back("--refuse-data");
  if (!options.stallOn.empty()) args.insert(args.end(), {"--stall-on", options.stallOn});

  host_ = options.host;
  pid_ = StartServerProcess(
      args, "the FTP server",
      [&] {
        const std::string text = ReadHostFile(portFile);
        if (!text.empty()) port_ = std::atoi(text.c_str());
        return !text.empty();
      },
      [&] { return LogText(); });
}

void FtpServer::Stop() {
  StopServerProcess(pid_);
}

std::string FtpServer::address() const { return host_ + ":" + std::to_string(port_); }

std::string FtpServer::LogText() const {
  std::string text = ReadHostFile(folder_ + "/log");
  return logOffset_ <= text.size() ? text.substr(logOffset_) : std::string();
}

std::vector<std::string> FtpServer::Commands() const {
  std::vector<std::string> commands;
  std::istringstream lines(LogText());
  std::string line;
  const std::string marker = "] <- ";
  while (std::getline(lines, line)) {
    size_t at = line.find(marker);
    if (at != std::string::npos) commands.push_back(line.substr(at + marker.size()));
  }
  return commands;
}

int FtpServer::CountCommands(const std::string& verb) const {
  int count = 0;
  for (const auto& c : Commands())
    if (c == verb || c.rfind(verb + " ", 0) == 0) ++count;
  return count;
}

int FtpServer::CountConnections() const {
  int count = 0;
  std::istringstream lines(LogText());
  std::string line;
  while (std::getline(lines, line))
    if (line.find("] == CONNECTION") != std::string::npos) ++count;
  return count;
}

void FtpServer::ClearLog() { logOffset_ = ReadHostFile(folder_ + "/log").size(); }

}  // namespace tarvelon::testing
