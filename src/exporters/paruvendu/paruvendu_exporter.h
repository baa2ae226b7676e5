#pragma once
// PARUVENDU: the annonce feed with ParuVendu's record shape. Each vehicle gets
// a title built from the unmapped brand, a VEHICULE block (technical data,
// the 72 equipment elements in lower case, the comment) and an OFFRE block
// (guarantee, price); the client files carry lower-case element names and
// the result file itself is sent, not its archive.
#include "app/dispatch.h"
#include <memory>
#include <string>
#include <vector>

#include "exporters/annonce/annonce_exporter.h"

namespace tarvelon {

class ParuVenduExporter : public AnnonceExporter {
 protected:
  void PrepareRecord(RunState& state, IXMLCursor& record) override;
  std::unique_ptr<ClientFileBuilder> MakeClientFileBuilder(RunState& state) const override;
};

// The client file stage: city element renamed, element names lowered, the
// raw text kept first, the result file delivered by FTP.
class ParuVenduClientFiles : public ClientFileBuilder {
 public:
  using ClientFileBuilder::ClientFileBuilder;

 protected:
  std::string EditClientText(std::string text, const ClientEntry& client) const override;
  void SaveClientFile(IXMLCursor& working, const std::string& text, const ClientEntry& client) override;
  std::string Deliver(const std::string& archivePath, const ClientEntry& client) override;
};

// `name` in lower case wherever it is a whole element name: a start tag
// "<name" followed by ">", "/", "=" or a blank, and an end tag "</name>";
// the match ignores case. A longer name that starts with it stays whole.
std::string LowerTag(const std::string& text, const std::string& name);
// LowerTag of each name in turn, done in one pass over the text.
std::string LowerTags(const std::string& text, const std::vector<std::string>& names);

void RunParuVenduExport(RunState& state, const std::string& argument);

SettingsUse ParuVenduSettingsUse();

}  // namespace tarvelon
