#pragma once
// A complete little world for running the tarvelon binary: a drive folder with
// the extract folder and the photo store, a work folder, a program folder with
// the settings and the mark images, and a fixed clock.
#include <map>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace tarvelon::testing {

struct ExportResult {
  int exitCode = -1;
  std::string output;  // stdout and stderr, UTF-8
};

class ExportSandbox {
 public:
  explicit ExportSandbox(std::string now = "2017-02-14 10:00:00");

  // Host folders.
  const std::string& root() const { return root_.path(); }
  std::string drive() const { return root_.path() + "/c"; }
  std::string work() const { return root_.path() + "/work"; }
  std::string program() const { return root_.path() + "/program"; }
  std::string extracts() const { return drive() + "/projects/kord/data/Tarvelon"; }
  std::string photoStore() const { return drive() + "/projects/kord/images"; }

  // Copies a file into the extract folder under its own name.
  void AddExtract(const std::string& hostFile);
  // Writes Tarvelon.ini from a template whose @KEY@ words are replaced.
  void WriteSettings(std::string text, const std::map<std::string, std::string>& values = {});
  // A small JPEG (and, when wanted, its thumbnail) at a photo name "aaa/bb/name".
  void AddPhoto(const std::string& name, bool withThumbnail = true, int width = 640, int height = 480);

  ExportResult Run(const std::string& option) const;
  // The binary with several arguments ("--check", "leboncoin").
  ExportResult RunArguments(const std::vector<std::string>& arguments) const;
  // The clock of the following runs ("yyyy-mm-dd hh:mm:ss").
  void SetNow(const std::string& now) { now_ = now; }
  // A run that lasts longer is killed (0: no limit); a killed run exits 137.
  void SetTimeLimit(int seconds) { timeLimit_ = seconds; }
  // The following runs write their peak resident size (KB) to this host file.
  void SetPeakMemoryFile(const std::string& hostFile) { peakMemoryFile_ = hostFile; }

 private:
  TempFolder root_;
  std::string now_;
  int timeLimit_ = 0;
  std::string peakMemoryFile_;
};

// Replaces every @KEY@ of the text.
std::string FillTemplate(std::string text, const std::map<std::string, std::string>& values);

}  // namespace tarvelon::testing
