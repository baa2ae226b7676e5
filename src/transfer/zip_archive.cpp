#include "transfer/zip_archive.h"

#include <fnmatch.h>
#include <sys/stat.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

#include "app/run_state.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace tarvelon {
namespace {

// A zip archive without entries: the end-of-central-directory record alone.
const std::string kEmptyArchive = std::string("PK\x05\x06", 4) + std::string(18, '\0');

[[noreturn]] void CannotCreate(const std::string& zipPath) {
  throw Error("Unable to create \r\n\"" + zipPath + "\"");
}

bool DriveReachable(const std::string& path) {
  if (path.size() < 2 || path[1] != ':' || !std::isalpha(static_cast<unsigned char>(path[0]))) return true;
  return FolderExists(DriveFolder(path[0]));
}

// A file of the archive: its logical path (messages, entry name) and its
// host path, mapped once.
struct ListedFile {
  std::string path;
  std::string host;
};

// The files an entry names: one file, or the files directly in a folder that
// match the mask of the entry's last part ("*.*": every file). Folders are
// never entered; the archive itself is never one of them. The folder is
// mapped to the host once; its entries are the names found there.
std::vector<ListedFile> ListedFiles(const std::string& entry, const std::string& zipPath) {
  std::string mask = FileNameOf(entry);
  if (mask.find_first_of("*?") == std::string::npos) {
    if (FileExists(entry)) return {{entry, HostPath(entry)}};
    return {};
  }
  std::string folder = FolderOf(entry);
  const std::string hostFolder = HostPath(folder);
  const std::string archive = HostPath(zipPath);
  struct Sorted {
    std::string key;  // the name in lower case: the order of the entries
    ListedFile file;
  };
  std::vector<Sorted> files;
  for (const FolderEntry& e : ListFolder(folder)) {
    if (e.isFolder) continue;
    bool matches = mask == "*.*" || fnmatch(mask.c_str(), e.name.c_str(), FNM_CASEFOLD) == 0;
    if (!matches) continue;
    const std::string host = hostFolder + "/" + AnsiToUtf8(e.name);
    struct stat st;
    // An ordinary file (a link to one counts), not the archive being made.
    if (::stat(host.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || host == archive) continue;
    const std::string path = folder + "\\" + e.name;
    files.push_back({AnsiLower(path), {path, host}});
  }
  std::sort(files.begin(), files.end(), [](const Sorted& a, const Sorted& b) { return a.key < b.key; });
  std::vector<ListedFile> listed;
  listed.reserve(files.size());
  for (Sorted& f : files) listed.push_back(std::move(f.file));
  return listed;
}

struct ProgressContext {
  RunState* state;
  std::string zipPath;
};

void ReportProgress(zip_t*, double done, void* context) {
  auto* progress = static_cast<ProgressContext*>(context);
  progress->state->window.SetLabel2(progress->zipPath + " - " +
                                    std::to_string(static_cast<int>(std::lround(done * 100))) + " %");
  progress->state->ProcessMessages();
}

void AddFiles(RunState& state, const std::string& zipPath, const std::vector<ListedFile>& files) {
  int error = 0;
  zip_t* archive = zip_open(HostPath(zipPath).c_str(), 0, &error);
  if (!archive) CannotCreate(zipPath);
  for (const ListedFile& file : files) {
    zip_source_t* source = zip_source_file(archive, file.host.c_str(), 0, 0);
    zip_int64_t index = source ? zip_file_add(archive, AnsiToUtf8(FileNameOf(file.path)).c_str(), source,
                                              ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE)
                               : -1;
    if (index < 0 || zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 9) != 0) {
      if (source && index < 0) zip_source_free(source);
      zip_discard(archive);
      CannotCreate(zipPath);
    }
  }
  ProgressContext progress{&state, zipPath};
  zip_register_progress_callback_with_state(archive, 0.05, ReportProgress, nullptr, &progress);
  // The files are read here; one that cannot be read fails the whole archive
  // (libzip writes to a temporary file, so the empty archive stays as it was).
  if (zip_close(archive) != 0) {
    zip_discard(archive);
    CannotCreate(zipPath);
  }
}

}  // namespace

void MakeZip(RunState& state, const std::string& zipPath, const std::string& entry) {
  if (!DriveReachable(zipPath)) throw Error("Unable to access the selected drive!");
  if (FileExists(zipPath)) DeleteFile(zipPath);
  if (FileExists(zipPath)) CannotCreate(zipPath);  // stale entries must not be delivered
  try {
    WriteFileBytes(zipPath, kEmptyArchive);
  } catch (const Error&) {
    CannotCreate(zipPath);
  }
  std::vector<ListedFile> files = ListedFiles(entry, zipPath);
  if (!files.empty()) AddFiles(state, zipPath, files);
  state.window.AddMemoLine(Ansi("Fichier ") + zipPath + Ansi(" créé"));
}

}  // namespace tarvelon
