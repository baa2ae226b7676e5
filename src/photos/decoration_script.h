#pragma once
// The ImageMagick command lines that lay the marks on a photo, one after the
// other, and the /bin/sh script that runs them. Every argument of the script
// is quoted: photo names and folders come from stock data and settings and
// must never run anything of their own.
#include <string>
#include <vector>

namespace tarvelon {

struct MarkChoice {
  bool atpBand = false;        // ATP text given and the target takes the band
  bool zBadge = false;
  std::string saleStatus;      // base name of the stamp pair, or empty
  std::string discount;        // whole percentage, already filtered, or empty
  bool dwaLabel = false;
  bool inTag = false;          // the target takes the logo and the small badge
  bool centredLogo = false;    // SitAutoPro
};

// Host paths the command lines name.
struct DecorationFolders {
  std::string photo;          // the local photo
  std::string programFolder;  // mark images, with a final "/"
  std::string workPrefix;     // work folder + "/" + reference prefix
  std::string tagImage;       // the logo
};

struct DecorationPlan {
  std::string marks;                              // letters for the tagged name
  std::vector<std::vector<std::string>> commands; // convert arguments, "(" and ")" as such
  std::vector<std::string> workFiles;             // names (after the prefix) the commands write
  std::string finalWorkFile;                      // the last picture of the chain, or empty
};

DecorationPlan PlanDecoration(const MarkChoice& choice, int width, int height, const DecorationFolders& folders);

// One argument for /bin/sh, inert whatever it holds.
std::string ShellQuote(const std::string& argument);

// One line per command, LF line ends, the convert program named by its path.
std::string DecorationScript(const std::string& convertPath, const DecorationPlan& plan);

}  // namespace tarvelon
