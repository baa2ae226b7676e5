#include "support/http_recorder.h"

#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "support/server_process.h"
#include "support/temp_folder.h"


namespace tarvelon::testing {
namespace {

const char* const kPython = "/usr/bin/python3";
const std::string kScript = std::string(TARVELON_SOURCE_DIR) + "/tests/support/http_recorder.py";

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::string RecordedRequest::Header(const std::string& name) const {
  for (const auto& [key, value] : headers)
    if (Lower(key) == Lower(name)) return value;
  return "";
}

bool RecordedRequest::HasHeader(const std::string& name) const {
  for (const auto& header : headers)
    if (Lower(header.first) == Lower(name)) return true;
  return false;
}

HttpRecorder::HttpRecorder() {
  char pattern[] = "/tmp/tarvelon-http-XXXXXX";
  if (!::mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
  folder_ = pattern;
}

HttpRecorder::~HttpRecorder() {
  Stop();
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void HttpRecorder::Start(const HttpRecorderOptions& options) {
  Stop();
  const std::string portFile = folder_ + "/port";
  std::filesystem::remove(portFile);
  std::vector<std::string> args = {kPython, kScript, "--log", folder_ + "/log", "--port-file", portFile};
  if (options.status != 0) args.insert(args.end(), {"--status", std::to_string(options.status)});
  for (const auto& field : options.failFields) args.insert(args.end(), {"--fail-field", field});
  if (options.hang) args.push_back("--hang");
  if (options.stallAfterHeaders) args.push_back("--stall-after-headers");
  pid_ = StartServerProcess(args, "the HTTP recorder", [&] {
    const std::string text = ReadHostFile(portFile);
    if (!text.empty()) port_ = std::stoi(text);
    return !text.empty();
  });
}

void HttpRecorder::Stop() {
  StopServerProcess(pid_);
}

std::string HttpRecorder::address() const { return "127.0.0.1:" + std::to_string(port_); }

std::vector<RecordedRequest> HttpRecorder::Requests() const {
  std::vector<RecordedRequest> requests;
  std::istringstream lines(ReadHostFile(folder_ + "/log"));
  RecordedRequest current;
  for (std::string line; std::getline(lines, line);) {
    const size_t blank = line.find(' ');
    const std::string key = line.substr(0, blank);
    const std::string value = blank == std::string::npos ? "" : line.substr(blank + 1);
    if (key == "request") {
      current = RecordedRequest{};
      const size_t space = value.find(' ');
      current.method = value.substr(0, space);
      current.path = value.substr(space + 1);
    } else if (key == "header") {
      const size_t colon = value.find(": ");
      current.headers.emplace_back(value.substr(0, colon), colon == std::string::npos ? "" : value.substr(colon + 2));
    } else if (key == "part-name") {
      current.parts.push_back({value, "", "", "", ""});
    } else if (key == "part-filename" && !current.parts.empty()) {
      current.parts.back().fileName = value;
    } else if (key == "part-type" && !current.parts.empty()) {
      current.parts.back().contentType = value;
    } else if (key == "part-encoding" && !current.parts.empty()) {
      current.parts.back().encoding = value;
    } else if (key == "part-body" && !current.parts.empty()) {
      current.parts.back().body = FromHex(value);
    } else if (key == "end") {
      requests.push_back(current);
    }
  }
  return requests;
}

}  // namespace tarvelon::testing
