#include "photos/image_magick.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "photos/decorate.h"
#include "platform/process.h"
#include "platform/text.h"

namespace tarvelon {
namespace {

// A compiled program starts with the ELF magic; a script starts with "#!".
bool IsCompiledProgram(const std::string& hostPath) {
  struct stat st;
  if (::stat(hostPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (::access(hostPath.c_str(), X_OK) != 0) return false;
  std::ifstream in(hostPath, std::ios::binary);
  char magic[4] = {};
  in.read(magic, 4);
  return in.gcount() == 4 && magic[0] == 0x7f && magic[1] == 'E' && magic[2] == 'L' && magic[3] == 'F';
}

bool AnswersAsImageMagick(const std::string& hostPath) {
  std::string output;
  if (!CaptureOutput({hostPath, "-version"}, output)) return false;
  return StartsWith(output, "Version: ImageMagick");
}

std::string SearchPath(const std::string& path) {
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    std::string folder = path.substr(start, end - start);
    start = end + 1;
    if (folder.empty() || folder[0] != '/') continue;  // a relative entry depends on the current folder
    std::string candidate = folder + (folder.back() == '/' ? "" : "/") + "convert";
    if (IsCompiledProgram(candidate) && AnswersAsImageMagick(candidate)) return candidate;
  }
  return {};
}

}  // namespace

std::string ImageMagickConvertPath() {
  static std::string probedPath;
  static std::string found;
  static bool probed = false;
  const char* env = std::getenv("PATH");
  std::string path = env ? env : "";
  if (!probed || path != probedPath) {
    found = SearchPath(path);
    probedPath = path;
    probed = true;
  }
  return found;
}

bool ImageMagickPresent() { return !ImageMagickConvertPath().empty(); }

}  // namespace tarvelon
