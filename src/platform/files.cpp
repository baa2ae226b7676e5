#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>

#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace tarvelon {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int err) {
  throw Error(what + " " + path + " : " + SystemErrorText(err));
}

void WriteAll(int fd, const std::string& bytes, const std::string& path) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      Fail(Ansi("Erreur d'écriture du fichier"), path, err);
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) Fail(Ansi("Erreur d'écriture du fichier"), path, errno);
}

void WriteWithFlags(const std::string& path, const std::string& bytes, int flags) {
  std::string host = HostPath(path);
  timespec before{};
  const bool stamped = HostFolderStamp(host, before);
  int fd = ::open(host.c_str(), flags | O_WRONLY | O_CLOEXEC, 0644);
  if (fd < 0) Fail(Ansi("Impossible de créer le fichier"), path, errno);
  if (stamped) NoteFileCreated(host, before);
  WriteAll(fd, bytes, path);
}

}  // namespace

std::string SystemErrorText(int err) { return Utf8ToAnsi(std::strerror(err)); }

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(HostPath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat st;
  return ::stat(HostPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateFolder(const std::string& path) {
  if (FolderExists(path)) return true;
  return ::mkdir(HostPath(path).c_str(), 0755) == 0;
}

void CreateFolders(const std::string& path) {
  std::string host = HostPath(path);
  std::string partial;
  for (size_t i = 0; i <= host.size(); ++i) {
    if (i == host.size() || host[i] == '/') {
      if (!partial.empty()) {
        struct stat st;
        if (::stat(partial.c_str(), &st) != 0) {
          if (::mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST)
            Fail(Ansi("Impossible de créer le dossier"), path, errno);
        } else if (!S_ISDIR(st.st_mode)) {
          Fail(Ansi("Impossible de créer le dossier"), path, ENOTDIR);
        }
      }
    }
    if (i < host.size()) partial += host[i];
  }
}

bool DeleteFile(const std::string& path) { return ::unlink(HostPath(path).c_str()) == 0; }

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(HostPath(path), std::ios::binary);
  if (!in) Fail(Ansi("Impossible de lire le fichier"), path, errno ? errno : ENOENT);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return bytes;
}

// The bytes go to a temporary file beside the target, which is renamed into
// place only once complete: a full disk or a failed write leaves the previous
// file whole and no partial one under its name.
void WriteFileBytes(const std::string& path, const std::string& bytes) {
  const std::string host = HostPath(path);
  const size_t slash = host.rfind('/');
  std::string temp = host.substr(0, slash + 1) + "." + host.substr(slash + 1) + ".tmp-XXXXXX";
  timespec before{};
  const bool stamped = HostFolderStamp(host, before);
  int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) Fail(Ansi("Impossible de créer le fichier"), path, errno);
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0644 & ~mask);
  try {
    WriteAll(fd, bytes, path);
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
  if (::rename(temp.c_str(), host.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    Fail(Ansi("Impossible de créer le fichier"), path, err);
  }
  if (stamped) NoteFileCreated(host, before);
}

void AppendFileBytes(const std::string& path, const std::string& bytes) {
  WriteWithFlags(path, bytes, O_CREAT | O_APPEND);
}

bool AppendToExistingHostFile(const std::string& hostPath, const std::string& path, const std::string& bytes) {
  const int fd = ::open(hostPath.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) return false;
  WriteAll(fd, bytes, path);
  return true;
}

void CopyFileBytes(const std::string& source, const std::string& target) {
  WriteFileBytes(target, ReadFileBytes(source));
}

int64_t FileSizeOf(const std::string& path) {
  struct stat st;
  if (::stat(HostPath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool FileWriteTime(const std::string& path, double& dayCount) {
  struct stat st;
  if (::stat(HostPath(path).c_str(), &st) != 0) return false;
  std::tm local{};
  time_t secs = st.st_mtim.tv_sec;
  localtime_r(&secs, &local);
  DateTime t{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
             local.tm_min,         local.tm_sec,     static_cast<int>(st.st_mtim.tv_nsec / 1000000)};
  dayCount = ToDayCount(t);
  return true;
}

std::vector<FolderEntry> ListFolder(const std::string& path) {
  std::vector<FolderEntry> entries;
  std::string host = HostPath(path);
  DIR* dir = ::opendir(host.c_str());
  if (!dir) return entries;
  while (dirent* e = ::readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    FolderEntry entry;
    entry.name = Utf8ToAnsi(name);
    entry.hidden = name[0] == '.';
    struct stat st;
    std::string full = host + "/" + name;
    if (::lstat(full.c_str(), &st) == 0) {
      entry.isLink = S_ISLNK(st.st_mode);
      entry.isFolder = S_ISDIR(st.st_mode);
    }
    entries.push_back(entry);
  }
  ::closedir(dir);
  return entries;
}

}  // namespace tarvelon
