#include "support/temp_folder.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace tarvelon::testing {

TempFolder::TempFolder() {
  char pattern[] = "/tmp/tarvelon-test-XXXXXX";
  if (!::mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

ScopedEnv::ScopedEnv(const std::string& name, const char* value) : name_(name) {
  if (const char* old = std::getenv(name.c_str())) {
    hadValue_ = true;
    oldValue_ = old;
  }
  if (value) ::setenv(name.c_str(), value, 1);
  else ::unsetenv(name.c_str());
}

ScopedEnv::~ScopedEnv() {
  if (hadValue_) ::setenv(name_.c_str(), oldValue_.c_str(), 1);
  else ::unsetenv(name_.c_str());
}

std::string ReadHostFile(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteHostFile(const std::string& hostPath, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(hostPath).parent_path());
  std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
  out << bytes;
}

void MakeHostFolders(const std::string& hostPath) { std::filesystem::create_directories(hostPath); }

int RunCommand(const std::string& commandLine, std::string* out) {
  FILE* pipe = ::popen(commandLine.c_str(), "r");
  if (!pipe) return -1;
  std::string text;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  int status = ::pclose(pipe);
  if (out) *out = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> SplitCrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) {
      lines.push_back(text.substr(pos));
      break;
    }
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

std::string MaskLogStamps(const std::string& text) {
  static const std::regex stamp(R"(\d\d/\d\d/\d\d\d\d \d\d:\d\d:\d\d - )");
  return std::regex_replace(text, stamp, "<stamp> - ");
}

}  // namespace tarvelon::testing
