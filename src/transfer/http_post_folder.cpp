// The "Envoi VIVACAR" pass over the Vivacar drop folder.
#include <algorithm>
#include <vector>

#include "app/config.h"
#include "app/dispatch.h"
#include "app/run_state.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "transfer/http_post.h"

namespace tarvelon {
namespace {


// The part's name: the file name without blanks and without ".txt" (any case).
std::string FieldNameOf(const std::string& fileName) {
  return ReplaceAll(ReplaceAll(fileName, " ", ""), ".txt", "", true);
}

// Regular files only (no link, folder, FIFO or hidden file), in name order.
std::vector<std::string> FilesToPost(const std::string& folder) {
  std::vector<std::string> names;
  for (const FolderEntry& entry : ListFolder(folder))
    if (!entry.isFolder && !entry.isLink && !entry.hidden && FileExists(folder + "\\" + entry.name))
      names.push_back(entry.name);
  std::sort(names.begin(), names.end());
  return names;
}

class PassGuard {
 public:
  explicit PassGuard(bool& running) : running_(running) { running_ = true; }
  ~PassGuard() { running_ = false; }
  PassGuard(const PassGuard&) = delete;
  PassGuard& operator=(const PassGuard&) = delete;

 private:
  bool& running_;
};

}  // namespace

std::string VivacarImportUrl(const IniFile& settings) {
  return settings.Read("VIVACAR", "UrlImport",
                       "https://import.vivacar.fr/cataloguebien/api/cataloguevo/vehicules/importerVehicules");
}

std::string VivacarImportUrl() {
  const IniFile settings(ProgramFolder() + "Tarvelon.ini");
  const std::string url = VivacarImportUrl(settings);
  if (!StartsWith(AnsiLower(url), "http://") && !StartsWith(AnsiLower(url), "https://"))
    throw Error(Ansi("Adresse d'import VIVACAR refusée (section VIVACAR, clé UrlImport) : ") + url);
  return url;
}

void SendVivacarFiles(RunState& state) { SendVivacarFilesWithin(state, HttpTimeouts{}); }

void SendVivacarFilesWithin(RunState& state, const HttpTimeouts& timeouts) {
  if (state.vivacarSending) {
    state.window.AddMemoLine(Ansi("Envoi VIVACAR déjà en cours"));
    return;
  }
  PassGuard guard(state.vivacarSending);
  const std::string folder = VivacarFolder();
  const std::vector<std::string> names = FilesToPost(folder);
  if (names.empty()) return;
  const std::string url = VivacarImportUrl();

  for (const std::string& name : names) {
    state.window.AddMemoLine("-> " + name);
    const std::string path = folder + "\\" + name;
    const std::string replyFile = folder + "\\" + FieldNameOf(name) + ".xml";
    FormFilePart form{FieldNameOf(name), path, "application/json", {}};
    try {
      form.content = ReadFileBytes(path);
    } catch (const Error&) {
      // Gone or unreadable since the listing: a failed transfer like any other.
      WriteFileBytes(replyFile, kHttpTransferError);
      state.RecordDelivery(path, url, kHttpTransferError, false);
      continue;
    }
    const bool accepted = HttpPostStream(state, url, replyFile, form, timeouts);
    state.RecordDelivery(path, url, accepted ? "HTTP 2xx" : kHttpTransferError, accepted);
    state.ProcessMessages();
  }
}

}  // namespace tarvelon
