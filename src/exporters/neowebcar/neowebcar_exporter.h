#pragma once
// NeoWebCar: a semicolon file with a header line, its photos as web links,
// placed on the group's web server by FTP and announced by e-mail.
#include "app/dispatch.h"
#include <string>
#include <vector>

#include "exporters/frame/csv_columns.h"
#include "exporters/frame/exporter_frame.h"

namespace tarvelon {

struct NeoWebCarColumn {
  const char* header;
  CsvColumn value;
};
const std::vector<NeoWebCarColumn>& NeoWebCarColumns();

// Version without the model: the first occurrence of the model (when the
// version holds it) removed, double blanks made single, a leading blank
// dropped with everything after 100 further characters.
std::string NeoWebCarVersion(const std::string& version, const std::string& model);

class NeoWebCarExporter : public ExporterFrame {
 protected:
  DeliveryDefaults Defaults(const RunState& state) const override;
  void ReadOwnSettings(RunState& state) override;
  void PrepareOutputFolder(RunState& state) override;
  void BeforeWalk(RunState& state) override;
  void ExportRecord(RunState& state, IXMLCursor& record) override;
  void WriteOutput(RunState& state) override;
  std::string ZipBaseName(const RunState&) const override { return ""; }
  std::vector<std::string> FilesToDeliver(const RunState&) const override { return {outputPath_}; }
  void Finish(RunState& state) override;

 private:
  std::string ResultSuffix(int vehicles) const;

  std::string testSend_;
  std::string outputPath_;
  std::string text_;
  std::vector<CsvColumn> columns_;
  int withoutPhoto_ = 0;
  int vnCount_ = 0;
  int vdCount_ = 0;
};

// The public address of the export folder on the group's web server.
extern const char* const kNeoWebCarExportAddress;

SettingsUse NeoWebCarSettingsUse();

}  // namespace tarvelon
