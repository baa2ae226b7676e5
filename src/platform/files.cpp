#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <functional>

#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace tarvelon {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int err) {
  throw Error(what + " " + path + " : " + SystemErrorText(err));
}

void WriteAll(int fd, std::string_view bytes, const std::string& path) {
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

void WriteWithFlags(const std::string& path, std::string_view bytes, int flags) {
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

namespace {

// stat of a logical path, as the matching of its host path made it.
bool StatOf(const std::string& path, struct stat& st) {
  bool exists = false;
  HostPathFound(path, st, exists);
  return exists;
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat st;
  return StatOf(path, st) && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat st;
  return StatOf(path, st) && S_ISDIR(st.st_mode);
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

// One read of the size the file has (the settings file is read this way for
// every setting a run asks, so the bytes are not taken one at a time); a
// file that grows meanwhile is read to its end.
std::string ReadFileBytes(const std::string& path) {
  const int fd = ::open(HostPath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail(Ansi("Impossible de lire le fichier"), path, errno);
  struct stat st;
  std::string bytes;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) bytes.resize(static_cast<size_t>(st.st_size) + 1);
  size_t done = 0;
  for (;;) {
    if (done == bytes.size()) bytes.resize(bytes.size() * 2 + 4096);
    const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int err = errno;
      ::close(fd);
      Fail(Ansi("Impossible de lire le fichier"), path, err);
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  ::close(fd);
  bytes.resize(done);
  return bytes;
}

namespace {

// The bytes go to a temporary file beside the target, which is renamed into
// place only once complete: a full disk or a failed write leaves the previous
// file whole and no partial one under its name. `fill` writes the content
// into the open temporary file and closes it (throwing on failure).
void ReplaceFile(const std::string& path, const std::function<void(int fd)>& fill) {
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
    fill(fd);
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

}  // namespace

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  ReplaceFile(path, [&](int fd) { WriteAll(fd, bytes, path); });
}

void AppendFileBytes(const std::string& path, std::string_view bytes) {
  WriteWithFlags(path, bytes, O_CREAT | O_APPEND);
}

namespace {

// Copies `size` bytes between two open files without bringing them into this
// process where the kernel can: a shared extent (FICLONE, on file systems
// that have them), then copy_file_range, then sendfile; a plain read and
// write loop only when none of these is offered. True when the copy is
// complete; false with errno set otherwise.
bool CopyOpenFile(int in, int out, off_t size) {
  if (size == 0 || ::ioctl(out, FICLONE, in) == 0) return true;
  off_t done = 0;
  bool rangeCopy = true, sendFile = true;
  while (done < size) {
    const size_t wanted = static_cast<size_t>(size - done);
    ssize_t n = -1;
    if (rangeCopy) {
      n = ::copy_file_range(in, nullptr, out, nullptr, wanted, 0);
      // Not offered between these two files (other file systems, old kernel):
      // the next way, from where the copy stands.
      if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)) {
        rangeCopy = false;
        continue;
      }
    } else if (sendFile) {
      n = ::sendfile(out, in, nullptr, wanted);
      if (n < 0 && (errno == ENOSYS || errno == EINVAL)) {
        sendFile = false;
        continue;
      }
    } else {
      char buffer[65536];
      n = ::read(in, buffer, std::min(wanted, sizeof buffer));
      for (ssize_t written = 0; n > 0 && written < n;) {
        const ssize_t w = ::write(out, buffer + written, static_cast<size_t>(n - written));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
          if (w == 0) errno = EIO;
          return false;
        }
        written += w;
      }
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {  // the source became shorter while it was copied
      errno = EIO;
      return false;
    }
    done += n;
  }
  return true;
}

}  // namespace

bool AppendToExistingHostFile(const std::string& hostPath, const std::string& path, std::string_view bytes) {
  const int fd = ::open(hostPath.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) return false;
  WriteAll(fd, bytes, path);
  return true;
}

void CopyFileBytes(const std::string& source, const std::string& target) {
  const int in = ::open(HostPath(source).c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  if (in < 0) Fail(Ansi("Impossible de lire le fichier"), source, errno);
  const int err = ::fstat(in, &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
  if (err != 0) {
    ::close(in);
    Fail(Ansi("Impossible de lire le fichier"), source, err);
  }
  try {
    ReplaceFile(target, [&](int out) {
      if (!CopyOpenFile(in, out, st.st_size)) {
        const int err = errno;
        ::close(out);
        Fail(Ansi("Erreur d'écriture du fichier"), target, err);
      }
      if (::close(out) != 0) Fail(Ansi("Erreur d'écriture du fichier"), target, errno);
    });
  } catch (...) {
    ::close(in);
    throw;
  }
  ::close(in);
}

int64_t FileSizeOf(const std::string& path) {
  struct stat st;
  if (!StatOf(path, st) || !S_ISREG(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool FileWriteTime(const std::string& path, double& dayCount) {
  struct stat st;
  if (!StatOf(path, st)) return false;
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
