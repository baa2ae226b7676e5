#include "exporters/rad1/rad1_exporter.h"

#include <utility>
#include <vector>

#include "exporters/frame/exporter_frame.h"
#include "exporters/frame/xml_feed.h"
#include "platform/clock.h"
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

// The two fixed parts of the partner account's password (settings of the
// RAD1 section); the defaults are placeholders, the real ones are configured.
struct PasswordParts {
  std::string letter;
  std::string suffix;
};

class Rad1Run {
 public:
  Rad1Run(RunState& state, bool rad1) : state_(state), rad1_(rad1) {
    if (rad1_) password_ = {state.ReadTargetSetting("PasswordLetter", "X"), state.ReadTargetSetting("PasswordSuffix", "0000XXX")};
  }

  void PrepareVehicle(IXMLCursor& record) const;

 private:
  RunState& state_;
  bool rad1_;
  PasswordParts password_;
};

void Rad1Run::PrepareVehicle(IXMLCursor& record) const {
  const std::string interior = record.GetValue("EqutInterieur");
  const std::string exterior = record.GetValue("EqutExterieur");
  const std::string safety = record.GetValue("EqutSecurite");
  const std::string information = record.GetValue("InfoComplement");
  const std::string town = AnsiUpper(record.GetValue("InfoVille"));
  std::string telephone = record.GetValue("telephone");
  const std::string postCode = record.GetValue("CodePostal");
  const std::string mail = record.GetValue("email");

  const std::string brand = record.GetValue("InfoMarque");
  const std::string brandPart = ReadInt(record, "TypeVO") != 1 ? brand : std::string();
  std::string reference = AdReference(state_, brandPart, record.GetValue("RefSite"), record.GetValue("RefExpo")) +
                          "-" + record.GetValue("idNVO");

  // The site's public contact replaces the vehicle's; the site id enters the selection quoted.
  const std::string site = AnsiUpper(record.GetValue("id_Track"));
  for (IXMLCursor entry = record.Select(std::string(kSiteContacts) + "[idSite=" + XPathLiteral(site) + "]");
       !entry.Eof(); entry.Next()) {
    if (entry.GetValue("Telephone") == telephone) {
      telephone = entry.GetValue("SRTel");
      reference = AnsiUpper(reference);
    }
    if (entry.GetValue("Mail") == mail) record.SetValue("email", entry.GetValue("SRMail"));
  }

  const std::string title =
      Rad1Title(brand, record.GetValue("InfoModele"), record.GetValue("ModeleVersion"), reference);
  Rad1AdInputs in;
  in.rad1 = rad1_;
  in.brand = brand;
  in.modelVersion = record.GetValue("ModeleVersion");
  in.guarantee = record.GetValue("Garantie");
  in.information = information;
  in.body = record.GetValue("Carrosserie");
  in.power = record.GetValue("Puissance");
  in.colour = record.GetValue("Couleur");
  in.registration = record.GetValue("MEC");
  in.mileage = record.GetValue("Kilometrage");
  in.doors = record.GetValue("NbPortes");
  in.seats = record.GetValue("NbPlaces");
  in.interiorLabels = EquipmentLabels(record, interior);
  in.exteriorLabels = EquipmentLabels(record, exterior);
  in.safetyLabels = EquipmentLabels(record, safety);
  in.contact = record.GetValue("contact");
  in.telephone = telephone;
  in.company = record.GetValue("LibelleSociete");
  in.openingHours = record.GetValue("HorairesCommercial");
  in.message = record.GetValue("MsgAnnonce");
  in.guaranteeMonths = record.GetValue("GARANTIE");
  in.guaranteeMessage = record.GetValue("MsgGarCons");
  const std::string text = Rad1AdText(in);
  const std::string plainTelephone = ReplaceAll(telephone, ".", "");

  record.SetValue("Titre", title);
  record.SetValue("Texte", text);
  record.SetValue("telephone", plainTelephone);
  record.SetValue("Garantie", Trim(in.guarantee));
  if (!rad1_) return;

  const std::string company = in.company;
  const std::vector<std::pair<std::string, std::string>> partnerFields = {
      {"Ref", reference},
      {"Rad1_id_reg", "nord-pas-de-calais"},
      {"Rad1_id_dep", postCode.substr(0, 2)},
      {"Rad1_id_cat", "1"},
      {"Rad1_email", mail},
      {"Rad1_password", password_.letter + town.substr(0, 1) + password_.suffix},
      {"Rad1_code_pos", postCode},
      {"Rad1_ville", town},
      {"Rad1_statut", "2"},
      {"Rad1_societe", company},
      {"Rad1_siret", record.GetValue("SIREN")},
      {"Rad1_type", "1"},
      {"Rad1_nom", company},
      {"Rad1_tel", plainTelephone},
      {"Rad1_titre", title},
      {"Rad1_texte", text},
      {"Rad1_prix", record.GetValue("PrixDuBien")},
      {"Rad1_tel_cache", "N"},
  };
  for (const auto& [name, value] : partnerFields) record.SetValue(name, value);
  for (int n = 1; n <= 10; ++n) record.SetValue("Rad1_photo" + std::to_string(n), "");
}

}  // namespace

void RunRad1Export(RunState& state, const std::string& feedName) {
  const bool rad1 = AnsiUpper(feedName) == "RAD1";
  const std::string folder = WorkDir() + "Tarvelon\\";
  const std::string base = folder + feedName + "_" + FormatStamp(Now(), "yyyymmdd");
  const std::string output = base + ".xml";
  const std::string archive = base + ".zip";
  CreateFolders(WorkDir() + "Tarvelon");

  ReadImageServerSettings(state);
  ReadDeliverySettings(state, {ImageServerDefaults().server, "", "", ""});
  ReadTestPhotoServer(state);
  const Rad1Run run(state, rad1);
  state.counters = RunCounters{};

  IXMLCursor document;
  document.Load(StockExtractPath(state.exportOption));
  PrepareEveryVehicle(state, document, [&run](IXMLCursor& record) { run.PrepareVehicle(record); });

  FillPhotoSlots(state, document, {{"photo", 6}, {"Rad1_photo", 10}}, false);
  RemoveHiddenSections(state, document, false);
  // The output file holds the document without its hidden sections until
  // the edited one replaces it.
  std::string unedited = document.GetXML();
  document.Release();  // the edits need the text alone
  SaveTextStage(unedited, output);
  LoadResultText(state, document, EditRad1Text(std::move(unedited), rad1), Ansi("Après Remplacements"));
  document.Save(output);

  state.LogLine("");
  MakeZip(state, archive, output);
  state.LogLine("");
  if (!state.window.target().user.empty()) {
    const std::string status = DeliverFtp(state, archive, true);
    state.LogLine(DeliveredLine(status, FileNameOf(archive), state.counters.vehicleCount));
  }
  state.finishedFlag = true;
}

SettingsUse Rad1SettingsUse(const std::string& feedName) {
  SettingsUse use;
  use.targetKeys = AnsiUpper(feedName) == "RAD1" ? FrameTargetKeys({"PasswordLetter", "PasswordSuffix"}) : FrameTargetKeys();
  use.targetFtp = true;
  return use;
}

}  // namespace tarvelon
