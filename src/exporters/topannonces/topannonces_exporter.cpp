#include "exporters/topannonces/topannonces_exporter.h"

#include "exporters/frame/exporter_frame.h"
#include "exporters/frame/xml_feed.h"
#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "stock/conversions.h"
#include "stock/extract.h"
#include "stock/xpath_values.h"
#include "transfer/ftp_delivery.h"
#include "transfer/zip_archive.h"

namespace tarvelon {
namespace {

void PrepareVehicle(IXMLCursor& record) {
  IXMLCursor complements = record.Select("complements");
  TopAnnoncesVehicle v;
  v.interior = record.GetValue("EqutInterieur");
  v.exterior = record.GetValue("EqutExterieur");
  v.safety = record.GetValue("EqutSecurite");
  v.information = record.GetValue("InfoComplement");
  const std::string town = record.GetValue("InfoVille");
  const std::string telephone = record.GetValue("tel_agence");
  const std::string mail = record.GetValue("email");

  // Only the first entry of the site is compared; the town enters the selection quoted.
  IXMLCursor site = record.Select(std::string(kSiteContacts) + "[Site=" + XPathLiteral(AnsiUpper(town)) + "]");
  if (!site.Eof()) {
    if (site.GetValue("Telephone") == telephone) record.SetValue("tel_agence", site.GetValue("SRTel"));
    if (site.GetValue("Mail") == mail) record.SetValue("email", site.GetValue("SRMail"));
  }
  record.SetValue("reference", town.substr(0, 2) + "-" + record.GetValue("reference"));
  const std::string modelVersion = record.GetValue("MODELEVERSION");
  record.SetValue("accroche_url", record.GetValue("marque") + " " + modelVersion);

  v.interiorLabels = EquipmentLabels(record, v.interior);
  v.exteriorLabels = EquipmentLabels(record, v.exterior);
  v.safetyLabels = EquipmentLabels(record, v.safety);
  v.guarantee = record.GetValue("Garantie");
  std::string text = EquipmentText(v);
  const std::string information = ReplaceAll(EquipmentLabels(record, InformationCodes(v.information, v.guarantee)),
                                             "Sous Garantie", "Garantie : " + v.guarantee, true);
  if (!information.empty()) text += " - " + information;
  record.SetValue("texte", text);

  v.version = VersionWithoutModel(modelVersion, record.GetValue("modele"));
  v.gearbox = record.GetValue("BOITE_DE_VITESSE");
  v.doors = record.GetValue("NB_PORTES");
  v.mileage = record.GetValue("Kilometrage");
  v.colour = record.GetValue("Couleur");
  v.energy = record.GetValue("Energie");
  v.year = record.GetValue("YearMEC");
  v.firstRegistration = record.GetValue("FirstMEC");
  // A vehicle without its complements element ends the export here, with the cursor's error.
  for (const auto& [type, answer] : ComplementAnswers(v)) complements.AppendChild("complement", answer).SetAttribute("type", type);
}

}  // namespace

void RunTopAnnoncesExport(RunState& state, const std::string&) {
  const std::string client = state.ReadTargetSetting("CodeClient", "000000");
  // The client number names the delivered file and the archive.
  if (!IsPlainFileName(client))
    throw Error(Ansi("Code client refusé pour un nom de fichier : ") + client);
  const std::string folder = WorkDir() + "Tarvelon\\";
  const DateTime now = Now();
  const std::string workingCopy = folder + "TopAnnonces-" + FormatStamp(now, "yyyymmdd") + ".xml";
  const std::string delivered = folder + client + "-" + FormatStamp(now, "yyyymmddhhnnss") + ".xml";
  const std::string archive = folder + client + ".zip";
  CreateFolders(WorkDir() + "Tarvelon");
  ReadImageServerSettings(state);
  ReadDeliverySettings(state, {ImageServerDefaults().server, "", "", ""});
  ReadTestPhotoServer(state);

  IXMLCursor document;
  document.Load(StockExtractPath(state.exportOption));
  state.counters = RunCounters{};
  PrepareEveryVehicle(state, document, [](IXMLCursor& record) { PrepareVehicle(record); });
  FillPhotoSlots(state, document, {{"NOMPHOTO", 6}}, true);

  RemoveHiddenSections(state, document, false);
  // The working copy holds each stage of the text in turn; should one fail
  // to load, it keeps the last that did.
  std::string unedited = document.GetXML();
  document.Release();  // the edits need the text alone
  SaveTextStage(unedited, workingCopy);
  std::string photoText = EditTopAnnoncesPhotoText(std::move(unedited));
  SaveTextStage(photoText, workingCopy);
  LoadResultText(state, document, EditTopAnnoncesText(std::move(photoText)), Ansi("Après Remplacements"));
  document.SaveEach({delivered, workingCopy});

  if (state.counters.photoUpdateCount == 0) state.LogLine("");
  MakeZip(state, archive, delivered);
  state.LogLine("");
  LogPhotoUpdateCount(state);
  const std::string status = DeliverFtp(state, archive, true);
  state.LogLine(DeliveredLine(status, client + ".zip", state.counters.vehicleCount));
  state.finishedFlag = true;
}

SettingsUse TopAnnoncesSettingsUse() {
  SettingsUse use;
  use.targetKeys = FrameTargetKeys({"CodeClient"});
  use.targetFtp = true;
  return use;
}

}  // namespace tarvelon
