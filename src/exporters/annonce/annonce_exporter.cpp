#include "exporters/annonce/annonce_exporter.h"

#include <utility>

#include "exporters/frame/exporter_frame.h"
#include "exporters/frame/xml_feed.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "stock/extract.h"
#include "stock/file_operations.h"

namespace tarvelon {

void AnnonceExporter::Run(RunState& state) {
  const std::string workFolder = WorkDir() + "Tarvelon\\";
  CreateFolders(WorkDir() + "Tarvelon");
  ReadImageServerSettings(state);
  ReadTestPhotoServer(state);
  if (!ChecksPhotoServer()) state.testPhotoServer = false;
  state.counters = RunCounters{};
  photoSlots_ = 0;

  document_ = IXMLCursor();
  document_.Load(StockExtractPath(state.exportOption));
  FlagExclusions(state);
  VehiclePass(state);

  const std::string day = FormatStamp(Now(), "yyyymmdd");
  const std::string base = workFolder + state.exportOption + "-" + day;
  PhotoPass(state, base + "A.xml");
  RemoveWorkingSections(state, base + "B.xml");

  const std::string prepared = base + ".xml";
  // The document's text is edited, then loaded and saved as the prepared
  // file. Loading the unedited text and saving it there first would change
  // nothing that stays: the edited file overwrites it unread.
  std::string text = document_.GetXML();
  document_.Release();  // the edits need the text alone
  text = EditText(std::move(text));
  WriteTextFile(prepared, text);
  document_.LoadXMLReleasing(text);
  std::string().swap(text);  // the client files are made from the document
  document_.Save(prepared);

  BeforeClientFiles(state);
  std::unique_ptr<ClientFileBuilder> builder = MakeClientFileBuilder(state);
  builder->BuildFromDocument(document_, prepared);
  AfterClientFiles(state, *builder);
  state.finishedFlag = true;
}

void AnnonceExporter::FlagExclusions(RunState& state) {
  IXMLCursor exclusions = document_.Select(kExclusions);
  state.LogLine(Ansi("Après premier Select ListExclusions"));
  for (; !exclusions.Eof(); exclusions.Next()) {
    // VehicleRecordOf lets only a record number into the selection.
    IXMLCursor record = document_.Select(VehicleRecordOf(exclusions.GetValue("idtVO")));
    if (!record.Eof()) record.SetValue("FlagExclusion", "true");
  }
}

void AnnonceExporter::VehiclePass(RunState& state) {
  IXMLCursor records = document_.Select(kVehicleRecords);
  state.LogLine(Ansi("Après premier Select DataVO"));
  for (; !records.Eof(); records.Next()) {
    PrepareRecord(state, records);
    state.ProcessMessages();
  }
}

void AnnonceExporter::RemoveWorkingSections(RunState& state, const std::string& workingCopy) {
  document_.Save(workingCopy);
  RemoveHiddenSections(state, document_, true);
}

std::string AnnonceExporter::EditText(std::string text) const { return EditPreparedText(std::move(text), photoSlots_); }

std::unique_ptr<ClientFileBuilder> AnnonceExporter::MakeClientFileBuilder(RunState& state) const {
  return std::make_unique<ClientFileBuilder>(state);
}

void RunAnnonceExport(RunState& state, const std::string&) {
  AnnonceExporter exporter;
  exporter.Run(state);
}

SettingsUse AnnonceSettingsUse() {
  SettingsUse use;
  use.targetKeys = {"TestFTPPictlore"};
  use.clientKeys = ClientSectionKeys();
  use.clientFtp = true;
  return use;
}

}  // namespace tarvelon
