#pragma once
// LArgus: one file of quoted semicolon lines per dealer client, in the
// partner's own codes, each file sent by FTP.
#include "app/dispatch.h"
#include <map>
#include <string>
#include <vector>

#include "exporters/frame/csv_columns.h"
#include "exporters/frame/exporter_frame.h"

namespace tarvelon {

// Columns 1 to 24 and 25 to 52 of a line (the description comes between).
const std::vector<CsvColumn>& LArgusLeadingColumns();
const std::vector<CsvColumn>& LArgusTrailingColumns();

// The partner's codes (tables in largus_codes.cpp).
std::string LArgusBodyType(const std::string& typeCarrosserie);
std::string LArgusSafetyCodes(const std::string& combinedCodes);
std::string LArgusEquipmentCodes(const std::string& combinedCodes);

class LArgusExporter : public ExporterFrame {
 protected:
  DeliveryDefaults Defaults(const RunState& state) const override;
  void PrepareOutputFolder(RunState& state) override;
  void BeforeWalk(RunState& state) override;
  bool TakesRecord(RunState& state, IXMLCursor& record) override;
  void ExportRecord(RunState& state, IXMLCursor& record) override;
  void WriteOutput(RunState&) override {}  // lines are appended as they are made
  std::string ZipBaseName(const RunState&) const override { return ""; }
  std::vector<std::string> FilesToDeliver(const RunState& state) const override;
  void BeforeFileDelivery(RunState& state, const std::string& file) override;
  void Finish(RunState& state) override;

 private:
  std::string ClientFile(const std::string& client) const;

  std::string folder_;
  // The client files of this run, by their name in lower case (the file
  // system ignores case), in name order.
  std::map<std::string, std::string> written_;
};

SettingsUse LArgusSettingsUse();

}  // namespace tarvelon
