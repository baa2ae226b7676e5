#pragma once
// File operations on logical paths (see HostPath). Failures that the caller must
// see throw Error with the path and the system's reason.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelon {

bool FileExists(const std::string& path);    // an ordinary file
bool FolderExists(const std::string& path);
// Creates the folder and its missing parents; throws on failure.
void CreateFolders(const std::string& path);
// Creates one folder level when missing; false when that failed.
bool CreateFolder(const std::string& path);
bool DeleteFile(const std::string& path);    // false when nothing was deleted
std::string ReadFileBytes(const std::string& path);  // throws when unreadable
// Creates or truncates the file and writes the bytes; throws on failure.
void WriteFileBytes(const std::string& path, const std::string& bytes);
// Appends, creating the file when missing; throws on failure.
void AppendFileBytes(const std::string& path, std::string_view bytes);
// Appends to a file that exists at a host path found before (HostPath of
// `path`); false, with nothing written, when it cannot be opened there. A
// failing write throws as AppendFileBytes does.
bool AppendToExistingHostFile(const std::string& hostPath, const std::string& path, std::string_view bytes);
void CopyFileBytes(const std::string& source, const std::string& target);  // throws
int64_t FileSizeOf(const std::string& path);  // -1 when missing
// Last-write time as a day count (see clock.h), or false when missing.
bool FileWriteTime(const std::string& path, double& dayCount);

struct FolderEntry {
  std::string name;   // Windows-1252
  bool isFolder = false;
  bool isLink = false;
  bool hidden = false;  // name starts with "."
};
std::vector<FolderEntry> ListFolder(const std::string& path);  // empty when missing

// The system's text for errno.
std::string SystemErrorText(int err);

}  // namespace tarvelon
