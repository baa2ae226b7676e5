#include "platform/paths.h"

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <vector>

#include "platform/text.h"

namespace tarvelon {
namespace {

std::string g_executable;

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

bool Exists(const std::string& host) {
  struct stat st;
  return ::lstat(host.c_str(), &st) == 0;
}

// The existing entry of `folder` whose name equals `component` ignoring case.
std::string MatchComponent(const std::string& folder, const std::string& componentUtf8) {
  std::string candidate = folder + (folder.empty() || folder.back() == '/' ? "" : "/") + componentUtf8;
  if (Exists(candidate)) return componentUtf8;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return componentUtf8;
  std::string wanted = Utf8ToAnsi(componentUtf8);
  std::string found = componentUtf8;
  while (dirent* e = ::readdir(dir)) {
    std::string name = e->d_name;
    if (SameTextIgnoringCase(Utf8ToAnsi(name), wanted)) { found = name; break; }
  }
  ::closedir(dir);
  return found;
}

}  // namespace

std::string DriveFolder(char letter) {
  char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  std::string var = std::string("TARVELON_DRIVE_") + upper;
  std::string value = Env(var.c_str());
  if (!value.empty()) return value;
  std::string home = Env("HOME");
  if (home.empty()) home = "/tmp";
  return home + "/tarvelon/" + static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
}

std::string HostPath(const std::string& logical) {
  std::string root;
  size_t start = 0;
  if (logical.size() >= 2 && logical[1] == ':' && std::isalpha(static_cast<unsigned char>(logical[0]))) {
    root = DriveFolder(logical[0]);
    start = 2;
  } else if (!logical.empty() && (logical[0] == '/' || logical[0] == '\\')) {
    root = "/";
  }
  std::vector<std::string> parts;
  std::string current;
  for (size_t i = start; i <= logical.size(); ++i) {
    if (i == logical.size() || logical[i] == '\\' || logical[i] == '/') {
      if (!current.empty() && current != ".") parts.push_back(current);
      current.clear();
    } else {
      current += logical[i];
    }
  }
  std::string host = root;
  bool matching = true;
  for (const auto& part : parts) {
    std::string utf8 = AnsiToUtf8(part);
    if (matching) {
      std::string matched = MatchComponent(host, utf8);
      if (matched == utf8 && !Exists(host + (host.empty() || host.back() == '/' ? "" : "/") + utf8))
        matching = false;  // from here on nothing exists: keep the spelling
      utf8 = matched;
    }
    if (!host.empty() && host.back() != '/') host += '/';
    host += utf8;
  }
  bool trailing = !logical.empty() && (logical.back() == '\\' || logical.back() == '/');
  if (trailing && !host.empty() && host.back() != '/') host += '/';
  if (host.empty()) host = ".";
  return host;
}

void SetExecutablePath(const std::string& hostPath) { g_executable = hostPath; }

std::string ProgramFolder() {
  std::string home = Env("TARVELON_HOME");
  if (!home.empty()) {
    home = Utf8ToAnsi(home);
    if (home.back() != '/' && home.back() != '\\') home += '/';
    return home;
  }
  char buffer[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  std::string exe = n > 0 ? std::string(buffer, static_cast<size_t>(n)) : g_executable;
  size_t slash = exe.rfind('/');
  std::string folder = slash == std::string::npos ? std::string(".") : exe.substr(0, slash);
  return Utf8ToAnsi(folder) + "/";
}

std::string WorkDir() {
  std::string shared = Utf8ToAnsi(Env("SharedTemp"));
  if (!shared.empty()) return shared + "\\";
  std::string windir = Utf8ToAnsi(Env("Windir"));
  if (windir.empty()) windir = "C:\\WINDOWS";
  return windir + "\\TEMP" + "\\";
}

std::string FileNameOf(const std::string& logical) {
  size_t cut = logical.find_last_of("\\/");
  return cut == std::string::npos ? logical : logical.substr(cut + 1);
}

std::string FolderOf(const std::string& logical) {
  size_t cut = logical.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : logical.substr(0, cut);
}

}  // namespace tarvelon
