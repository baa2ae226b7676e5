#include "platform/paths.h"

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <string_view>
#include <unordered_map>
#include <utility>
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

// Folder listings for the case-insensitive match, kept while the folder's
// modification time stays the same. A cache of the file system, not run
// state: without it, writing thousands of new files into one folder would
// read that folder once per file.
struct FolderListing {
  timespec stamp{};
  std::unordered_map<std::string, std::string> byUpperName;  // upper-case Windows-1252 → host name
};
std::unordered_map<std::string, FolderListing> g_listings;
// Logical folder (with its drive's host folder) → the existing host folder it named.
std::unordered_map<std::string, std::string> g_folderMappings;

bool FolderStamp(const std::string& folder, timespec& stamp) {
  struct stat st;
  if (::stat(folder.empty() ? "." : folder.c_str(), &st) != 0) return false;
  stamp = st.st_mtim;
  return true;
}

bool SameStamp(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

const FolderListing* Listing(const std::string& folder) {
  timespec stamp{};
  if (!FolderStamp(folder, stamp)) return nullptr;
  auto it = g_listings.find(folder);
  if (it != g_listings.end() && SameStamp(it->second.stamp, stamp)) return &it->second;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return nullptr;
  FolderListing listing;
  listing.stamp = stamp;
  while (dirent* e = ::readdir(dir)) listing.byUpperName.emplace(AnsiUpper(Utf8ToAnsi(e->d_name)), e->d_name);
  ::closedir(dir);
  return &(g_listings[folder] = std::move(listing));
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder + (folder.empty() || folder.back() == '/' ? "" : "/") + name;
}

// The existing entry of `folder` whose name equals `component` ignoring case,
// and whether there is one (the component as it is when none).
std::pair<std::string, bool> MatchComponent(const std::string& folder, const std::string& componentUtf8) {
  if (Exists(Join(folder, componentUtf8))) return {componentUtf8, true};
  const FolderListing* listing = Listing(folder);
  if (!listing) return {componentUtf8, false};
  auto it = listing->byUpperName.find(AnsiUpper(Utf8ToAnsi(componentUtf8)));
  if (it == listing->byUpperName.end()) return {componentUtf8, false};
  // The listing may be older than a removal of the exact spelling.
  return {it->second, it->second != componentUtf8 || Exists(Join(folder, it->second))};
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

namespace {

// HostPath, and with `found` what stat gives for the result (through links),
// `foundExists` whether it gave anything: the final name is looked at once,
// while matching, and not again by the caller.
std::string Locate(const std::string& logical, struct stat* found, bool* foundExists) {
  std::string root;
  size_t start = 0;
  if (logical.size() >= 2 && logical[1] == ':' && std::isalpha(static_cast<unsigned char>(logical[0]))) {
    root = DriveFolder(logical[0]);
    start = 2;
  } else if (!logical.empty() && (logical[0] == '/' || logical[0] == '\\')) {
    root = "/";
  }
  // The parts between separators, "." and empty ones left out: views into
  // `logical`, which outlives them.
  std::vector<std::string_view> parts;
  parts.reserve(16);
  for (size_t i = start; i < logical.size();) {
    size_t stop = i;
    while (stop < logical.size() && logical[stop] != '\\' && logical[stop] != '/') ++stop;
    const std::string_view part(logical.data() + i, stop - i);
    if (!part.empty() && part != ".") parts.push_back(part);
    i = stop + 1;
  }
  const bool trailing = !logical.empty() && (logical.back() == '\\' || logical.back() == '/');
  // The final name of a path without a final separator is looked at with
  // stat while matching (the path it was, kept so as not to ask twice).
  std::string statedPath;
  auto statLast = [&](const std::string& path) {
    if (!found || trailing || path == statedPath) return false;
    statedPath = path;
    return ::stat(path.c_str(), found) == 0 && (*foundExists = true);
  };
  if (foundExists) *foundExists = false;
  // The folder part of most paths was mapped before (a photo store, an
  // output folder): start from that mapping while its folder still exists.
  std::string host = root;
  size_t first = 0;
  std::string prefixKey = root;
  prefixKey.reserve(root.size() + logical.size());
  for (size_t i = 0; i + 1 < parts.size(); ++i) prefixKey.append("\\").append(parts[i]);
  if (parts.size() > 1) {
    auto known = g_folderMappings.find(prefixKey);
    if (known != g_folderMappings.end()) {
      // A name that exists in the mapped folder shows the folder is still there.
      std::string direct = Join(known->second, AnsiToUtf8(parts.back()));
      if (statLast(direct) || (!found && Exists(direct))) return trailing ? direct + "/" : direct;
      struct stat st;
      if (::stat(known->second.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        host = known->second;
        first = parts.size() - 1;
      }
    }
  }
  bool matching = true;
  for (size_t i = first; i < parts.size(); ++i) {
    std::string utf8 = AnsiToUtf8(parts[i]);
    if (matching && i + 1 == parts.size() && statLast(Join(host, utf8))) {
      matching = false;  // found as spelled
    }
    if (matching) {
      auto [matched, exists] = MatchComponent(host, utf8);
      if (matched == utf8 && !exists) matching = false;  // from here on nothing exists: keep the spelling
      utf8 = std::move(matched);
    }
    if (!host.empty() && host.back() != '/') host += '/';  // as Join does, in place
    host += utf8;
    if (i + 2 == parts.size() && matching && first == 0) g_folderMappings[prefixKey] = host;
  }
  if (trailing && !host.empty() && host.back() != '/') host += '/';
  if (host.empty()) host = ".";
  // A name matched in another spelling, a final separator, a bare drive.
  if (found && !*foundExists && host != statedPath) *foundExists = ::stat(host.c_str(), found) == 0;
  return host;
}

}  // namespace

std::string HostPath(const std::string& logical) { return Locate(logical, nullptr, nullptr); }

std::string HostPathFound(const std::string& logical, struct stat& found, bool& exists) {
  return Locate(logical, &found, &exists);
}

void NoteFileCreated(const std::string& hostFile, const timespec& folderStampBefore) {
  const size_t slash = hostFile.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : hostFile.substr(0, slash);
  auto it = g_listings.find(folder);
  if (it == g_listings.end()) return;
  timespec now{};
  // Only a listing that was current before this write may absorb it.
  if (!SameStamp(it->second.stamp, folderStampBefore) || !FolderStamp(folder, now)) {
    g_listings.erase(it);
    return;
  }
  const std::string name = hostFile.substr(slash + 1);
  it->second.byUpperName.emplace(AnsiUpper(Utf8ToAnsi(name)), name);
  it->second.stamp = now;
}

bool HostFolderStamp(const std::string& hostFile, timespec& stamp) {
  const size_t slash = hostFile.rfind('/');
  return FolderStamp(slash == std::string::npos ? std::string() : hostFile.substr(0, slash), stamp);
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

bool IsPlainFileName(const std::string& name) {
  const size_t kLongestName = 255;  // the file systems create no longer name
  if (name.empty() || name == "." || name == ".." || name.size() > kLongestName) return false;
  for (char c : name)
    if (c == '\\' || c == '/' || c == ':' || static_cast<unsigned char>(c) < ' ') return false;
  return true;
}

std::string FolderOf(const std::string& logical) {
  size_t cut = logical.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : logical.substr(0, cut);
}

}  // namespace tarvelon
