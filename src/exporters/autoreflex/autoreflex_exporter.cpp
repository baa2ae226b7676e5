#include "exporters/autoreflex/autoreflex_exporter.h"

#include "exporters/frame/exporter_frame.h"
#include "exporters/frame/site_contacts.h"
#include "exporters/frame/xml_feed.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "stock/conversions.h"
#include "stock/extract.h"
#include "stock/xpath_values.h"
#include "transfer/ftp_delivery.h"

namespace tarvelon {
namespace {

void PrepareVehicle(RunState& state, IXMLCursor& record, bool equipmentLabels) {
  record.SetValue("ModeleVersion", VersionWithoutModel(record.GetValue("ModeleVersion"), record.GetValue("SousRubrique")));
  const std::string brand = ReadInt(record, "TypeVO") == 1 ? std::string() : record.GetValue("Rubrique");
  const std::string reference = AdReference(state, brand, record.GetValue("RefSite"), record.GetValue("RefExpo")) +
                                "-" + record.GetValue("idNVO");

  SiteContactSubstitution(state, record);
  if (equipmentLabels)
    for (const char* list : {"EqutInterieur", "EqutExterieur", "EqutSecurite", "InfoComplement"})
      record.SetValue(list, EquipmentLabels(record, record.GetValue(list)));
  record.SetValue("idNVO", reference);
}

}  // namespace

void RunAutoReflexExport(RunState& state, const std::string& optionKey) {
  const std::string folder = WorkDir() + "Tarvelon\\";
  CreateFolders(WorkDir() + "Tarvelon");
  const bool equipmentLabels = state.ReadTargetSetting("FlgInfoEquip", "0") != "0";
  ReadImageServerSettings(state);
  ReadDeliverySettings(state, {ImageServerDefaults().server, "kord-autoreflex", "autoreflex-upload", ""});
  ReadTestPhotoServer(state);

  IXMLCursor document;
  document.Load(StockExtractPath(optionKey));
  state.counters = RunCounters{};
  PrepareEveryVehicle(state, document,
                      [&](IXMLCursor& record) { PrepareVehicle(state, record, equipmentLabels); });
  FillPhotoSlots(state, document, {{"NomPhoto", 6}}, true);
  RemoveHiddenSections(state, document, false);

  std::string unedited = document.GetXML();
  document.Release();  // the edits need the text alone
  LoadResultText(state, document, EditAutoReflexText(std::move(unedited)), Ansi("Après Replacements"));
  const DateTime now = Now();
  const std::string output = folder + "MirvaneDatasVO-" + FormatStamp(now, "yyyymmdd") + ".xml";
  document.SaveEach({folder + FormatStamp(now, "yyyymmddhhnn") + ".xml", output});

  // A log of older versions; the current activity log has another name.
  if (const std::string oldLog = WorkDir() + "Marque" + state.exportOption + ".log"; oldLog != state.LogFilePath())
    DeleteFile(oldLog);
  state.LogLine("");
  LogPhotoUpdateCount(state);
  state.resultSuffix.clear();
  state.zipPath.clear();  // no archive in this feed
  state.LogLine(Ansi("Début Transfert : ") + state.zipPath + " - " + std::to_string(state.counters.vehicleCount) +
                " VO - " + std::to_string(state.counters.imageCount) + " photos" + state.resultSuffix);
  const std::string status = DeliverFtp(state, output, true);
  state.LogLine(status + Ansi("Fichier VO actualisé sur site FTP : ") + state.exportOption + " - " + output);
  state.finishedFlag = true;
}

SettingsUse AutoReflexSettingsUse() {
  SettingsUse use;
  use.targetKeys = FrameTargetKeys({"FlgInfoEquip"});
  use.targetFtp = true;
  return use;
}

}  // namespace tarvelon
