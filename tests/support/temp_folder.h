#pragma once
// Scratch folders and environment settings that tests restore when they end.
#include <string>
#include <vector>

namespace tarvelon::testing {

// A fresh folder under /tmp, removed with everything in it at destruction.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Sets (or unsets, with nullptr) an environment variable for the scope.
class ScopedEnv {
 public:
  ScopedEnv(const std::string& name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  bool hadValue_ = false;
  std::string oldValue_;
};

std::string ReadHostFile(const std::string& hostPath);
void WriteHostFile(const std::string& hostPath, const std::string& bytes);
void MakeHostFolders(const std::string& hostPath);

// Runs a command line through /bin/sh; returns its exit status, output in `out`.
int RunCommand(const std::string& commandLine, std::string* out = nullptr);

// Lines of a CR LF text (without their line ends).
std::vector<std::string> SplitCrLfLines(const std::string& text);
// "dd/mm/yyyy hh:nn:ss - " stamps replaced by "<stamp> - ".
std::string MaskLogStamps(const std::string& text);

}  // namespace tarvelon::testing
