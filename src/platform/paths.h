#pragma once
// The program names its files in Windows form ("c:\projects\kord\...",
// WorkDir + "Tarvelon\"). HostPath is the one place where such a logical path
// becomes a path of this host.
#include <sys/stat.h>

#include <ctime>
#include <string>

namespace tarvelon {

// "\" and "/" both separate. "X:" stands for $TARVELON_DRIVE_X (default
// $HOME/tarvelon/x). A path starting with "/" is a host path already. Each
// component is matched without regard to case against what exists; a
// component that does not exist yet is kept as spelled. Texts are Windows-1252;
// the result is UTF-8.
std::string HostPath(const std::string& logical);
// The same, and what stat gives for the result, links followed: `exists`
// whether it names anything, `found` what stat told of it. The final name is
// looked at once, while matching.
std::string HostPathFound(const std::string& logical, struct stat& found, bool& exists);

// Lets the case-insensitive match keep its folder listing across the
// program's own file creations: the folder's time stamp before the write,
// then the note after it.
bool HostFolderStamp(const std::string& hostFile, timespec& stamp);
void NoteFileCreated(const std::string& hostFile, const timespec& folderStampBefore);

// The host folder standing for a drive letter.
std::string DriveFolder(char letter);

// The program's folder (where Tarvelon.ini and the mark images lie), with a
// final separator: $TARVELON_HOME when set, else the executable's folder.
std::string ProgramFolder();
// Lets a front end or a test name the executable explicitly (argv[0] fallback).
void SetExecutablePath(const std::string& hostPath);

// WorkDir: SharedTemp, else Windir + "\TEMP" (Windir defaults to C:\WINDOWS),
// followed by "\".
std::string WorkDir();

// The last component of a logical path (after the last "\" or "/").
std::string FileNameOf(const std::string& logical);
// A bare file name: not empty, no folder separator, no drive, not "." or "..",
// no control character, at most 255 bytes (what the file systems take). Names
// taken from settings or stock data are checked with it before they name a file.
bool IsPlainFileName(const std::string& name);

// Everything before the last separator (no final separator).
std::string FolderOf(const std::string& logical);

}  // namespace tarvelon
