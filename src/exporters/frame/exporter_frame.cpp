#include "exporters/frame/exporter_frame.h"

#include "exporters/frame/xml_feed.h"
#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "stock/extract.h"
#include "transfer/ftp_delivery.h"
#include "transfer/zip_archive.h"

namespace tarvelon {

DeliveryDefaults ImageServerDefaults() {
  return {"pictlore.groupe-kord.fr", "pictlore", "pictlore", "www/pictlore"};
}

void ReadImageServerSettings(RunState& state) {
  const DeliveryDefaults d = ImageServerDefaults();
  state.window.SetImageServer({state.ReadSetting("Pictlore", "ServeurFTP", d.server),
                               state.ReadSetting("Pictlore", "User", d.user),
                               state.ReadSetting("Pictlore", "PassWord", d.password),
                               state.ReadSetting("Pictlore", "PathFTP", d.folder)});
}

void ReadDeliverySettings(RunState& state, const DeliveryDefaults& d) {
  state.window.SetTarget({state.ReadTargetSetting("ServeurFTP", d.server),
                          state.ReadTargetSetting("User", d.user),
                          state.ReadTargetSetting("PassWord", d.password),
                          state.ReadTargetSetting("PathFTP", d.folder)});
}

void ReadTestPhotoServer(RunState& state) {
  state.testPhotoServer = state.ReadTargetSetting("TestFTPPictlore", "0") != "0";
}

std::string HasEquipmentCode(const std::string& list, const std::string& code) {
  if (list.empty()) return "";
  return Contains(list, ";" + code + ";") ? "1" : "0";
}

void RequirePlainClientFileName(const std::string& name) {
  if (!IsPlainFileName(name)) throw Error(Ansi("Identifiant client refusé pour un nom de fichier : ") + name);
}

bool IsFailedDelivery(const std::string& status) { return !status.empty() && status != kFtpStatusOk; }

std::string ExporterFrame::ExtractPath(const RunState& state) const { return StockExtractPath(state.exportOption); }

std::string ExporterFrame::ZipEntry(const RunState& state) const { return state.outputFolder + "\\*.*"; }

std::string ExporterFrame::Deliver(RunState& state) {
  std::string status;
  bool failed = false;
  for (const std::string& file : FilesToDeliver(state)) {
    BeforeFileDelivery(state, file);
    const std::string fileStatus = DeliverFtp(state, file, true);
    // A later success must not hide an earlier failure.
    if (!failed) status = fileStatus;
    failed = failed || IsFailedDelivery(fileStatus);
  }
  return status;
}

void ExporterFrame::SaveExtractCopy(const std::string& pattern) {
  if (!pattern.empty()) extract_.Save(WorkDir() + "Tarvelon\\" + FormatStamp(Now(), pattern) + ".xml");
}

void ExporterFrame::RestartLogForDelivery(RunState& state) {
  state.LogLine("");
  LogPhotoUpdateCount(state);
}

std::string ExporterFrame::FinalLine(const RunState& state, const std::string& status) const {
  return DeliveredLine(status, FileNameOf(state.zipPath), state.counters.vehicleCount) + state.resultSuffix;
}

void ExporterFrame::Run(RunState& state) {
  ReadImageServerSettings(state);
  ReadDeliverySettings(state, Defaults(state));
  ReadOwnSettings(state);
  PrepareOutputFolder(state);

  extract_ = IXMLCursor();
  extract_.Load(ExtractPath(state));
  IXMLCursor records = extract_.Select(kVehicleRecords);
  state.counters = RunCounters{};

  BeforeWalk(state);

  while (!records.Eof()) {
    if (TakesRecord(state, records)) {
      ++state.counters.vehicleCount;
      ExportRecord(state, records);
    }
    records.Next();
    state.ProcessMessages();
  }

  Finish(state);
  state.finishedFlag = true;
}

void ExporterFrame::Finish(RunState& state) {
  WriteOutput(state);
  SaveExtractCopy(ExtractCopyPattern());

  if (const std::string base = ZipBaseName(state); !base.empty()) {
    state.zipPath = WorkDir() + "Tarvelon\\" + base + ".zip";
    state.LogLine("Zip File : " + state.zipPath);
    CreateFolders(WorkDir() + "Tarvelon");  // a feed without an extract copy may be the first to use it
    MakeZip(state, state.zipPath, ZipEntry(state));
  }

  state.LogLine(Ansi("Début Transfert : ") + AnnouncedFile(state));
  state.resultSuffix.clear();
  RestartLogForDelivery(state);
  const std::string status = Deliver(state);
  state.LogLine(FinalLine(state, status));
}

std::vector<std::string> FrameTargetKeys(std::vector<std::string> own) {
  std::vector<std::string> keys = {"ServeurFTP", "User", "PassWord", "PathFTP", "TestFTPPictlore"};
  keys.insert(keys.end(), own.begin(), own.end());
  return keys;
}

}  // namespace tarvelon
