#include "exporters/frame/exporter_frame.h"

#include "exporters/frame/xml_feed.h"
#include "platform/clock.h"
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

std::string ExporterFrame::ExtractPath(const RunState& state) const { return StockExtractPath(state.exportOption); }

std::string ExporterFrame::Deliver(RunState& state) { return DeliverFtp(state, state.zipPath, true); }

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

  while (!records.Eof()) {
    ++state.counters.vehicleCount;
    ExportRecord(state, records);
    records.Next();
    state.ProcessMessages();
  }

  WriteOutput(state);
  const std::string workFolder = WorkDir() + "Tarvelon\\";
  if (const std::string pattern = ExtractCopyPattern(); !pattern.empty())
    extract_.Save(workFolder + FormatStamp(Now(), pattern) + ".xml");

  if (const std::string base = ZipBaseName(state); !base.empty()) {
    state.zipPath = workFolder + base + ".zip";
    state.LogLine("Zip File : " + state.zipPath);
    MakeZip(state, state.zipPath, state.outputFolder + "\\*.*");
  }

  state.LogLine(Ansi("Début Transfert : ") + state.zipPath);
  state.LogLine("");
  state.resultSuffix.clear();
  LogPhotoUpdateCount(state);
  const std::string status = Deliver(state);
  state.LogLine(FinalLine(state, status));
  state.finishedFlag = true;
}

}  // namespace tarvelon
