#pragma once
// The sectioned settings file "Tarvelon.ini" and the general settings of
// section Options. The file is read again at every look-up, so a key read at
// its moment of use sees the file as it is then.
#include <string>
#include <vector>

#include "platform/clock.h"

namespace tarvelon {

class IniFile {
 public:
  IniFile() = default;
  explicit IniFile(std::string path) : path_(std::move(path)) {}
  const std::string& path() const { return path_; }
  // Section and key ignore case; the value after the first "=", blanks trimmed,
  // one pair of surrounding quotes removed, at most 2047 characters. Absent →
  // `def`; present but empty → "".
  std::string Read(const std::string& section, const std::string& key, const std::string& def) const;
  // The section names as written, in file order, each once; empty when the file is missing.
  std::vector<std::string> Sections() const;
  // The keys of a section (case ignored) as written, in file order.
  std::vector<std::string> Keys(const std::string& section) const;

 private:
  std::string path_;
};

// What RunExport reads from section Options.
struct Options {
  std::string photoStore;          // PathImages
  std::string photoBaseAddress;    // URLImages
  std::string watermarkTargets;    // FiligraneListExport, lower case
  std::string tagTargets;          // FiligraneListTag, lower case
  std::string tagAllTargets;       // FiligraneListTagAll, lower case
  std::string atpTargets;          // FiligraneListTagATP, lower case
  std::string dwaGuarantees;       // CstTagDWA, case kept
  double atpEnd = 0;               // day count: the evening before the ATP end day, 20:00
  std::string atpMessage;          // MessageATP
  std::string tagSites;            // SiteListExport, lower case
  std::string hiddenDiscountSites; // SiteListExclusionTauxRemise, lower case

  // Reads the keys in their order; throws "Argument incorrect pour l'encodage
  // de date" when year, month and day make no date.
  static Options Load(const IniFile& ini);
  // The ATP period runs while the current time is strictly before its end.
  bool AtpRunning(const DateTime& now) const;
};

}  // namespace tarvelon
