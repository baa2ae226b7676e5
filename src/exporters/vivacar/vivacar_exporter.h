#pragma once
// VIVACAR: the annonce feed prepared for the Vivacar catalogue. Every client
// yields one JSON file (GoExportVivacarJSON), copied into the Vivacar drop
// folder and handed to the operator's Opt2Vivafi.bat by the generated
// Opt2VivafiAll.bat; the archive is made but not sent. The posting of the
// drop folder to the import service is separate (transfer/http_post.h).
#include "app/dispatch.h"
#include <memory>
#include <string>
#include <vector>

#include "exporters/annonce/annonce_exporter.h"

namespace tarvelon {

class VivacarExporter : public AnnonceExporter {
 protected:
  bool ChecksPhotoServer() const override { return false; }
  std::string ConvertGuarantee(const std::string& guarantee) const override;
  void AfterShortVersion(IXMLCursor& record, const EquipmentLists& lists) override;
  std::string EditText(std::string text) const override { return text; }
  void BeforeClientFiles(RunState& state) override;
  std::unique_ptr<ClientFileBuilder> MakeClientFileBuilder(RunState& state) const override;
  void AfterClientFiles(RunState& state, ClientFileBuilder& builder) override;
};

class VivacarClientFiles : public ClientFileBuilder {
 public:
  using ClientFileBuilder::ClientFileBuilder;
  // The calls of Opt2VivafiAll.bat, one line per Vivacar file of the run.
  const std::string& batch() const { return batch_; }

 protected:
  std::string NameOwnFile(const ClientEntry& client) override;
  std::string EditClientText(std::string text, const ClientEntry& client) const override;
  void AfterSaves(IXMLCursor& working, const ClientEntry& client) override;
  bool ReadsSavedDocument() const override { return true; }  // the JSON pass
  std::string Deliver(const std::string& archivePath, const ClientEntry& client) override;

 private:
  std::vector<std::string> usedNames_;
  std::string batch_;
};

// "mirvane_" + the site label with "Sauvrel" (any case) turned into
// "Ostamel" + ".txt", all in lower case.
std::string VivacarFileName(const std::string& siteLabel);

// The JSON text of a client file's ANNONCE elements ("/CLIENT/ANNONCE"),
// one log line per vehicle.
std::string GoExportVivacarJSON(RunState& state, const IXMLCursor& clientFile);

// JSON texts of values: a string's content escaped; a number as JSON writes
// it (decimal comma read as a point) or null.
std::string JsonStringContent(const std::string& value);
std::string JsonNumberOrNull(const std::string& value);

// The start of Opt2VivafiAll.bat and its line for one JSON file of the drop
// folder: a /bin/sh script whose arguments are quoted, so that no site label
// can run anything of its own.
std::string VivacarBatchHeader();
std::string VivacarBatchLine(const std::string& jsonFileName);

void RunVivacarExport(RunState& state, const std::string& argument);

// The client files travel through the drop folder; the posts go to the import service.
SettingsUse VivacarSettingsUse();

}  // namespace tarvelon
