#include "stock/file_operations.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <fstream>

#include "app/run_state.h"
#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"

namespace tarvelon {
namespace {

// Empties the folder open at `folder` (a descriptor it owns). Every entry is
// reached relative to its folder and never through a link: a link is removed
// as it is, whatever it points to, so the walk cannot leave the folder.
void ClearOpenFolder(int folder, int depth) {
  DIR* dir = ::fdopendir(folder);
  if (!dir) {
    ::close(folder);
    return;
  }
  while (dirent* entry = ::readdir(dir)) {
    const char* name = entry->d_name;
    if (std::string(name) == "." || std::string(name) == "..") continue;
    struct stat st;
    if (::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      // A hidden folder counts as a file, whose deletion fails: it stays whole.
      if (name[0] == '.' || depth >= 128) continue;
      int sub = ::openat(folder, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (sub >= 0) ClearOpenFolder(sub, depth + 1);  // the sub-folder stays
    } else {
      ::unlinkat(folder, name, 0);  // a failure is ignored
    }
  }
  ::closedir(dir);
}

}  // namespace

void WriteTextFile(const std::string& path, const std::string& text) { WriteFileBytes(path, text); }

void WriteAnsiStringToFile(RunState& state, const std::string& text, const std::string& path) {
  try {
    const std::string folder = FolderOf(path);
    if (!folder.empty()) CreateFolders(folder);
    WriteFileBytes(path, text);
  } catch (const Error& e) {
    // The platform's text names the path and the system's reason.
    state.LogLine(e.text());
    throw;
  }
}

void CopyFileStream(const std::string& source, const std::string& target) { CopyFileBytes(source, target); }

bool ClearFolder(const std::string& folder) {
  // The folder itself is taken as named (links included); only its content
  // is walked without following links.
  int fd = ::open(HostPath(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) ClearOpenFolder(fd, 0);
  return true;
}

int64_t FileAgeMs(const std::string& path) {
  double written = 0;
  if (!FileWriteTime(path, written)) return 2327;
  const double now = ToDayCount(Now());
  if (!(written < now)) return 2327;
  return static_cast<int64_t>(std::llround((now - written) * 86400000.0));
}

void JpegSize(const std::string& path, int& width, int& height) {
  std::ifstream in(HostPath(path), std::ios::binary);
  if (!in) return;
  auto byte = [&](int& value) {
    char c;
    if (!in.get(c)) return false;
    value = static_cast<unsigned char>(c);
    return true;
  };
  auto word = [&](int& value) {
    int high, low;
    if (!byte(high) || !byte(low)) return false;
    value = high * 256 + low;
    return true;
  };
  int first, second;
  if (!byte(first) || !byte(second) || first != 0xFF || second != 0xD8) return;
  while (true) {
    int marker, code;
    if (!byte(marker) || marker != 0xFF) return;
    do {
      if (!byte(code)) return;
    } while (code == 0xFF);
    if (code == 0xC0 || code == 0xC1) {
      int length, precision, h, w;
      if (!word(length) || !byte(precision) || !word(h) || !word(w)) return;
      height = h;
      width = w;
      return;
    }
    if (code == 0x01 || (code >= 0xD0 && code <= 0xD7)) continue;
    int length;
    if (!word(length)) return;
    if (length < 2) return;  // a broken length would walk backwards
    in.seekg(length - 2, std::ios::cur);
    if (!in) return;
  }
}

void RunAndWait(RunState& state, const std::string& file, const std::vector<std::string>& parameters) {
  const std::string host = HostPath(file);
  struct stat st;
  if (::stat(host.c_str(), &st) != 0) {
    state.window.ShowMessage(SystemErrorText(errno));
    return;
  }
  try {
    RunAndWaitHost(host, parameters, [&state] { state.ProcessMessages(); });
  } catch (const Error& e) {
    state.window.ShowMessage(e.text());
  }
}

}  // namespace tarvelon
