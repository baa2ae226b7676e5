#include <algorithm>

#include "app/dispatch.h"
#include "exporters/vivacar/vivacar_exporter.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "stock/file_operations.h"

namespace tarvelon {

std::string VivacarFileName(const std::string& siteLabel) {
  return AnsiLower("mirvane_" + ReplaceAll(siteLabel, "Sauvrel", "Ostamel", true) + ".txt");
}

std::string VivacarClientFiles::NameOwnFile(const ClientEntry& client) {
  const std::string wanted = VivacarFileName(client.siteLabel);
  // Two site labels may give one file name (they differ in case, or by
  // Sauvrel/Ostamel): the later client gets its code in the name rather than
  // overwrite the earlier client's file.
  const auto taken = [&](const std::string& name) {
    return std::find(usedNames_.begin(), usedNames_.end(), name) != usedNames_.end();
  };
  std::string name = wanted;
  if (taken(name)) {
    const std::string stem = wanted.substr(0, wanted.size() - 4) + "-" + AnsiLower(client.code);
    name = stem + ".txt";
    for (int n = 2; taken(name); ++n) name = stem + "-" + std::to_string(n) + ".txt";
    state_.LogLine(Ansi("Fichier VIVACAR ") + wanted + Ansi(" déjà produit pour un autre client : le client ") +
                   client.code + Ansi(" reçoit ") + name);
  }
  if (IsPlainFileName(name)) usedNames_.push_back(name);
  return name;
}

std::string VivacarClientFiles::EditClientText(std::string text, const ClientEntry& client) const {
  // The client file is an intermediate: the working elements stay for the JSON pass.
  return ClientFileText(std::move(text), client.code, true);
}

void VivacarClientFiles::AfterSaves(IXMLCursor& working, const ClientEntry& client) {
  resultFileName_ = client.ownFileName;
  const std::string workFile = WorkFolder() + resultFileName_;
  WriteAnsiStringToFile(state_, GoExportVivacarJSON(state_, working), workFile);
  CopyFileStream(workFile, VivacarFolder() + "\\" + resultFileName_);
  batch_ += VivacarBatchLine(resultFileName_);
}

std::string VivacarClientFiles::Deliver(const std::string&, const ClientEntry&) {
  // The archive stays in the work folder; the files travel through the drop folder.
  return "";
}

}  // namespace tarvelon
