#include "exporters/annonce/client_files.h"

#include <algorithm>

#include "exporters/annonce/annonce_safety.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "stock/extract.h"
#include "transfer/ftp_delivery.h"
#include "transfer/zip_archive.h"

namespace tarvelon {
namespace {

std::string TypeOrBoth(const std::string& type) { return type.empty() ? "0" : type; }

// Deletes the current node, or lists it to be left out.
void Drop(IXMLCursor& node, std::vector<IXMLCursor>* leftOut) {
  if (leftOut) leftOut->push_back(node);
  else node.Delete();
}

std::string TypeSuffix(const std::string& type) {
  if (type == "1") return "-VO";
  if (type == "2") return "-VD";
  return "";
}

}  // namespace

ServerFields ClientFileBuilder::DefaultAccount() const {
  return {"ftp.passerelle-annonces.fr", "groupe-kord", "kord-annonces", ""};
}

std::string ClientFileBuilder::WorkFolder() const { return WorkDir() + "Tarvelon\\"; }

void ClientFileBuilder::Build(IXMLCursor& prepared, const std::string& preparedText,
                              const std::string& preparedPath) {
  prepared.LoadXML(preparedText);
  BuildFromDocument(prepared, preparedPath);
}

void ClientFileBuilder::BuildFromDocument(IXMLCursor& prepared, const std::string& preparedPath) {
  // Nothing below changes the prepared document, so this holds for every entry.
  fromPrepared_ = prepared.SavedCopyIsSame();
  handledLabels_.clear();
  std::string summary;
  for (IXMLCursor entries = prepared.Select(kClientBlocks); !entries.Eof(); entries.Next()) {
    summary += BuildClientFile(prepared, entries, preparedPath);
    state_.ProcessMessages();
  }
  state_.LogLine("");
  state_.LogLine(summary + TotalSummary(state_.clientTotals));
  state_.vehiclesExported = static_cast<int>(state_.clientTotals.sent);
}

std::string ClientFileBuilder::BuildClientFile(const IXMLCursor& prepared, const IXMLCursor& entry,
                                               const std::string& preparedPath) {
  ClientEntry client;
  client.type = TypeOrBoth(entry.GetValue("TypeVO"));
  client.code = entry.GetValue("CODECLIENT");
  state_.ftpLogSuffix = " - " + client.code;
  // A fresh copy of the prepared document for every entry, as the saved file
  // gives it, unless the prepared document is that copy already.
  IXMLCursor working;
  if (!fromPrepared_) working.LoadSaved(prepared, preparedPath);

  client.section = state_.exportOption + "-" + client.code;
  if (!ReadClientSection(client)) {
    // The section names no site: the entry's own site, as the extract writes it.
    client.siteLabel = entry.GetValue("InfoVille");
  }
  client.siteLabel += TypeSuffix(client.type);
  client.group = entry.GetValue("cGroup");
  if (client.group == "BRELO MORDEVALE") client.group = "BRELO";
  if (std::find(handledLabels_.begin(), handledLabels_.end(), client.siteLabel) != handledLabels_.end()) return "";
  handledLabels_.push_back(client.siteLabel);

  client.datedFileName = state_.exportOption + "-" + client.siteLabel + "-" + FormatStamp(Now(), "yyyymmdd") + ".xml";
  // A name from the settings or the extract must not place a file outside the work folder.
  if (const std::string refused = UnsafeFileName(client); !refused.empty()) return Refused(client, refused);

  std::vector<IXMLCursor> leftOut;
  std::vector<IXMLCursor>* listed = fromPrepared_ ? &leftOut : nullptr;
  SelectContactBlocks(fromPrepared_ ? prepared : working, client, listed);
  SelectVehicles(fromPrepared_ ? prepared : working, client, listed);
  if (client.sent == 0) return "";
  client.ownFileName = NameOwnFile(client);
  if (!client.ownFileName.empty() && !IsPlainFileName(client.ownFileName)) return Refused(client, client.ownFileName);

  state_.clientTotals.sent += client.sent;
  state_.clientTotals.excluded += client.excluded;
  state_.clientTotals.discounted += client.discounted;
  std::string summary = ClientSummary(client);

  // Each edit lets the text before it go: the document is large.
  SaveClientFile(working, EditClientText(ClientDocumentText(prepared, working, preparedPath, client, leftOut), client),
                 client);
  AfterSaves(working, client);

  const std::string archivePath = WorkFolder() + archiveName_;
  MakeZip(state_, archivePath, WorkFolder() + resultFileName_);
  return summary + Deliver(archivePath, client);
}

std::string ClientFileBuilder::UnsafeFileName(const ClientEntry& client) const {
  for (const std::string& name : {resultFileName_, archiveName_, client.datedFileName})
    if (!IsPlainFileName(name)) return name;
  return "";
}

std::string ClientFileBuilder::Refused(const ClientEntry& client, const std::string& name) {
  const std::string message = Ansi("Nom de fichier refusé pour le client ") + client.code + " : " + name;
  state_.LogLine(message);
  return message + ", ";
}

bool ClientFileBuilder::ReadClientSection(ClientEntry& client) {
  const ServerFields d = DefaultAccount();
  const std::string& s = client.section;
  state_.window.SetTarget({state_.ReadSetting(s, "ServeurFTP", d.server), state_.ReadSetting(s, "User", d.user),
                           state_.ReadSetting(s, "PassWord", d.password),
                           state_.ReadSetting(s, "PathFTP", d.folder)});
  state_.ftpPortText.clear();
  resultFileName_ = state_.ReadSetting(s, "FileResult", client.code + ".xml");
  archiveName_ = state_.ReadSetting(s, "FileResultZip", client.code + ".zip");
  client.siteLabel = AnsiUpper(state_.ReadSetting(s, "InfoVille", ""));
  return !client.siteLabel.empty();
}

std::string ClientFileBuilder::ClientDocumentText(const IXMLCursor& prepared, IXMLCursor& working,
                                                  const std::string& preparedPath, const ClientEntry& client,
                                                  const std::vector<IXMLCursor>& leftOut) const {
  std::string text;
  if (!fromPrepared_) return working.GetXML();
  if (prepared.GetXMLLeavingOut(leftOut, text)) return text;
  // Only libxml2 writes this document: the copy, as without the shortcut. It
  // equals the prepared document, so the same blocks and records go.
  working.LoadSaved(prepared, preparedPath);
  ClientEntry again = client;
  again.siteList.clear();
  SelectContactBlocks(working, again, nullptr);
  SelectVehicles(working, again, nullptr);
  return working.GetXML();
}

void ClientFileBuilder::SelectContactBlocks(const IXMLCursor& document, ClientEntry& client,
                                            std::vector<IXMLCursor>* leftOut) const {
  const bool keepNone = state_.exportOption == "SITAUTOPRO";
  for (IXMLCursor e = document.Select(kClientBlocks); !e.Eof(); e.Next()) {
    const std::string type = TypeOrBoth(e.GetValue("TypeVO"));
    const std::string site = AnsiUpper(e.GetValue("InfoVille"));
    if (SameTextIgnoringCase(e.GetValue("CODECLIENT"), client.code) && type == client.type)
      client.siteList += ";" + site + ";";
    if (site + TypeSuffix(type) != client.siteLabel || keepNone) Drop(e, leftOut);
  }
}

void ClientFileBuilder::SelectVehicles(const IXMLCursor& document, ClientEntry& client,
                                       std::vector<IXMLCursor>* leftOut) const {
  const bool byGroup = state_.exportOption == "SITAUTOPRO" && client.group != "BRELO";
  for (IXMLCursor r = document.Select(kVehicleRecords); !r.Eof(); r.Next()) {
    const bool typeMismatch = client.type != "0" && r.GetValue("TypeVO") != client.type;
    const bool foreign = byGroup ? !SameTextIgnoringCase(r.GetValue("Concession"), client.group)
                                 : !Contains(client.siteList, ";" + AnsiUpper(r.GetValue("InfoVille")) + ";");
    if (typeMismatch || foreign) {
      Drop(r, leftOut);
    } else if (!r.GetValue("FlagExclusion").empty()) {
      Drop(r, leftOut);
      ++client.excluded;
    } else {
      ++client.sent;
      if (!r.GetValue("remise").empty()) ++client.discounted;
    }
  }
}

std::string ClientFileBuilder::EditClientText(std::string text, const ClientEntry& client) const {
  return ClientFileText(std::move(text), client.code, false);
}

void ClientFileBuilder::SaveClientFile(IXMLCursor& working, const std::string& text, const ClientEntry& client) {
  if (ReadsSavedDocument()) working.LoadXML(text);
  else working.LoadXMLForSaving(text);
  working.SaveEach({WorkFolder() + resultFileName_, WorkFolder() + client.datedFileName});
}

std::string ClientFileBuilder::Deliver(const std::string& archivePath, const ClientEntry&) {
  return DeliverFtp(state_, archivePath, false) + resultFileName_ + ", ";
}

void BuildClientFiles(RunState& state, IXMLCursor& prepared, const std::string& preparedText,
                      const std::string& preparedPath) {
  ClientFileBuilder builder(state);
  builder.Build(prepared, preparedText, preparedPath);
}

const std::vector<std::string>& ClientSectionKeys() {
  static const std::vector<std::string> keys = {"ServeurFTP", "User",          "PassWord", "PathFTP",
                                                "FileResult", "FileResultZip", "InfoVille"};
  return keys;
}

}  // namespace tarvelon
