#pragma once
// BuildClientFiles: cuts the prepared extract into one XML file per client
// entry (COORDONNEES), keeps the client's contact block and vehicles, saves
// the file and a dated copy, zips it, sends it to the client's FTP account
// and ends with the run's summary line. The feeds built on the annonce feed
// change single steps through the virtual hooks.
#include <string>
#include <vector>

#include "app/run_state.h"
#include "stock/xml_cursor.h"

namespace tarvelon {

// One COORDONNEES entry as the builder handles it.
struct ClientEntry {
  std::string type;       // "1", "2" or "0" (both)
  std::string code;       // CODECLIENT
  std::string section;    // ExportOption + "-" + code
  std::string siteLabel;  // SiteLabel
  std::string datedFileName;  // ExportOption + "-" + SiteLabel + "-" + yyyymmdd + ".xml"
  std::string group;      // cGroup, "BRELO MORDEVALE" counting as "BRELO"
  std::string siteList;   // ";SITE;" of every entry of this client and type
  std::string ownFileName;  // a feed's own file for the client (NameOwnFile), empty for none
  long sent = 0, excluded = 0, discounted = 0;
};

class ClientFileBuilder {
 public:
  explicit ClientFileBuilder(RunState& state) : state_(state) {}
  virtual ~ClientFileBuilder() = default;

  // `prepared` is the exporter's cursor; `preparedText` the edited document
  // text; `preparedPath` the saved PreparedExtract.
  void Build(IXMLCursor& prepared, const std::string& preparedText, const std::string& preparedPath);
  // The same once the cursor holds the document of that text (loaded from
  // it, then only saved), which loading the text again would give once more.
  void BuildFromDocument(IXMLCursor& prepared, const std::string& preparedPath);

  // The names of the last entry read.
  const std::string& resultFileName() const { return resultFileName_; }
  const std::string& archiveName() const { return archiveName_; }

 protected:
  // The built-in FTP account of a client section.
  virtual ServerFields DefaultAccount() const;
  // The text edits from the prepared document to the client file.
  virtual std::string EditClientText(std::string text, const ClientEntry& client) const;
  // The result file and the dated copy.
  virtual void SaveClientFile(IXMLCursor& working, const std::string& text, const ClientEntry& client);
  // The name of a file of the feed's own for a client that keeps vehicles
  // (empty for none); a name that is no plain file name refuses the client.
  virtual std::string NameOwnFile(const ClientEntry& client) { (void)client; return ""; }
  // A feed that turns the client file into something else does it here.
  virtual void AfterSaves(IXMLCursor& working, const ClientEntry& client) { (void)working, (void)client; }
  // Whether AfterSaves reads the saved document: only then is its tree built.
  virtual bool ReadsSavedDocument() const { return false; }
  // Sends the archive; answers what the summary text gains.
  virtual std::string Deliver(const std::string& archivePath, const ClientEntry& client);

  std::string WorkFolder() const;
  RunState& state_;
  std::string resultFileName_;
  std::string archiveName_;

 private:
  // One COORDONNEES entry from settings to delivery; answers its summary text.
  std::string BuildClientFile(const IXMLCursor& prepared, const IXMLCursor& entry, const std::string& preparedPath);
  bool ReadClientSection(ClientEntry& client);
  // The first file name of the entry that would not stay in the work folder.
  std::string UnsafeFileName(const ClientEntry& client) const;
  std::string Refused(const ClientEntry& client, const std::string& name);

  // The text of the client file before its edits: the prepared document less
  // what the client does not get.
  std::string ClientDocumentText(const IXMLCursor& prepared, IXMLCursor& working, const std::string& preparedPath,
                                 const ClientEntry& client, const std::vector<IXMLCursor>& leftOut) const;

  std::vector<std::string> handledLabels_;
  // The prepared document equals the copy a client file would start from,
  // so each file is written from it, nothing deleted, nothing copied.
  bool fromPrepared_ = false;
  // What the client does not get is deleted from `document`, or, with
  // `leftOut`, listed there and the document left as it is.
  void SelectContactBlocks(const IXMLCursor& document, ClientEntry& client, std::vector<IXMLCursor>* leftOut) const;
  void SelectVehicles(const IXMLCursor& document, ClientEntry& client, std::vector<IXMLCursor>* leftOut) const;
};

// The annonce feeds' client file stage with the built-in behaviour.
void BuildClientFiles(RunState& state, IXMLCursor& prepared, const std::string& preparedText,
                      const std::string& preparedPath);

// The text edits of a client file; `keepWorkingElements` leaves idVO,
// InfoVille, RefSite, RefExpo, remise and LIBELLEVILLE as they are.
std::string ClientFileText(std::string text, const std::string& clientCode, bool keepWorkingElements);
// Pieces of those edits: the working elements (idVO, InfoVille, RefSite,
// RefExpo, remise) removed, and the city element `name` (exact case) renamed VILLE.
std::string RemoveClientWorkingElements(std::string text);
std::string RenameCityElement(std::string text, const std::string& name);

// Summary pieces: one client's part and the closing total.
std::string ClientSummary(const ClientEntry& client);
std::string TotalSummary(const ClientFileTotals& totals);

// The keys ReadClientSection reads from a client section.
const std::vector<std::string>& ClientSectionKeys();

}  // namespace tarvelon
