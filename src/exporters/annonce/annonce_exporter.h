#pragma once
// The annonce feed (SITAUTOPRO, LEBONCOIN, HEYCAR, GMBFI): the whole stock
// extract is prepared in place (references, contacts, equipment, comments,
// photo links), cleaned, saved as the prepared extract and handed to the
// client file builder. Feeds built on it (ParuVendu, Vivacar) override the
// hooks where they differ.
#include "app/dispatch.h"
#include <memory>
#include <string>

#include "app/run_state.h"
#include "exporters/annonce/annonce_rules.h"
#include "exporters/annonce/client_files.h"
#include "stock/xml_cursor.h"

namespace tarvelon {

class AnnonceExporter {
 public:
  virtual ~AnnonceExporter() = default;
  void Run(RunState& state);

 protected:
  // Whether "TestFTPPictlore" may switch on the photo server check.
  virtual bool ChecksPhotoServer() const { return true; }
  // The vehicle pass over one record.
  virtual void PrepareRecord(RunState& state, IXMLCursor& record);
  virtual std::string ConvertGuarantee(const std::string& guarantee) const { return GuaranteeMonths(guarantee); }
  // Called after the short version is written.
  virtual void AfterShortVersion(IXMLCursor& record, const EquipmentLists& lists) { (void)record, (void)lists; }
  // The text edits that turn the prepared document into the partners' layout.
  virtual std::string EditText(std::string text) const;
  virtual void BeforeClientFiles(RunState& state) { (void)state; }
  virtual std::unique_ptr<ClientFileBuilder> MakeClientFileBuilder(RunState& state) const;
  virtual void AfterClientFiles(RunState& state, ClientFileBuilder& builder) { (void)state, (void)builder; }

  void FlagExclusions(RunState& state);
  void VehiclePass(RunState& state);
  void PhotoPass(RunState& state, const std::string& workingCopy);
  void RemoveWorkingSections(RunState& state, const std::string& workingCopy);

  IXMLCursor document_;
  int photoSlots_ = 0;  // the highest photo slot or photo number met
};

// Site contact substitution: the site's public contact replaces the vehicle's.
void SubstituteSiteContacts(IXMLCursor& record);

// The prepared document's text edits (photo blocks, working elements removed).
std::string EditPreparedText(std::string text, int photoSlots);

// Entry of the four option keys.
void RunAnnonceExport(RunState& state, const std::string& argument);

SettingsUse AnnonceSettingsUse();

}  // namespace tarvelon
