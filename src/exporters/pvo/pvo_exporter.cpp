#include "exporters/pvo/pvo_exporter.h"

#include "app/run_state.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "stock/file_operations.h"

namespace tarvelon {

DeliveryDefaults PvoExporter::Defaults(const RunState&) const {
  DeliveryDefaults d = ImageServerDefaults();
  d.folder.clear();
  return d;
}

void PvoExporter::ReadOwnSettings(RunState& state) {
  state.clientId = state.ReadTargetSetting("idClient", "Opticar");
  RequirePlainClientFileName(state.clientId);
  ReadTestPhotoServer(state);
}

void PvoExporter::PrepareOutputFolder(RunState& state) {
  CreateFolders(WorkDir() + "PVO");
  state.outputFolder.clear();  // the files go directly into WorkDir
  client_ = PvoClient{};
  lines_.clear();
}

// Read at each vehicle while it is empty; a client other than OPTICAR extends
// the customer number, gives the prefix and may bring its own FTP account.
void PvoExporter::ReadClient(RunState& state, const IXMLCursor& record) {
  client_.client = AsciiUpper(record.GetValue("id-Client"));
  if (client_.client == "OPTICAR") return;
  state.clientId += client_.client;
  RequirePlainClientFileName(state.clientId);
  client_.prefix = client_.client == "BRELO" ? "" : client_.client.substr(0, 2);
  if (!state.ReadSetting(state.clientId, "ServeurFTP", "").empty()) {
    const DeliveryDefaults d = Defaults(state);
    state.window.SetTarget({state.ReadSetting(state.clientId, "ServeurFTP", d.server),
                            state.ReadSetting(state.clientId, "User", d.user),
                            state.ReadSetting(state.clientId, "PassWord", d.password),
                            state.ReadSetting(state.clientId, "PathFTP", d.folder)});
  }
}

bool PvoExporter::TakesRecord(RunState& state, IXMLCursor& record) {
  if (client_.client.empty()) ReadClient(state, record);
  if (client_.client == "OPTICAR" || client_.client == "BRELO") return true;
  std::string status;
  if (!client_.prefix.empty()) {
    status = record.GetValue("StatutVD").substr(0, 2);
    if (status.empty() || status == "VD") status = "VO";
    if (AsciiUpper(record.GetValue("RefVilleExpo")) != "SAUVREL-NI") status.clear();
  }
  return status == client_.prefix;
}

void PvoExporter::ExportRecord(RunState& state, IXMLCursor& record) { lines_ += PvoLine(state, client_, record); }

void PvoExporter::WriteOutput(RunState& state) {
  const DateTime now = Now();
  const std::string text = PvoFirstLine(now) + lines_;
  WriteAnsiStringToFile(state, text, WorkDir() + state.clientId + "-" + FormatStamp(now, "yyyymmddhhnn") + ".txt");
  WriteAnsiStringToFile(state, text, WorkDir() + state.clientId + ".txt");
}

std::string PvoExporter::ZipEntry(const RunState& state) const { return WorkDir() + state.clientId + ".txt"; }

SettingsUse PvoSettingsUse() {
  SettingsUse use;
  use.targetKeys = FrameTargetKeys({"idClient"});
  use.targetFtp = true;
  return use;
}

}  // namespace tarvelon
