#pragma once
// PVO: the stock of one dealer client, with its sales and customer data, as
// a tab-separated file of 167 fields per vehicle; the client (read from the
// first vehicle) names the file, selects the vehicles and may have its own
// FTP account.
#include "app/dispatch.h"
#include <string>
#include <vector>

#include "exporters/frame/csv_columns.h"
#include "exporters/frame/exporter_frame.h"

namespace tarvelon {

const std::vector<CsvColumn>& PvoColumns();

// What the client decides for the vehicle lines.
struct PvoClient {
  std::string client;  // id-Client, letters a to z in capitals
  std::string prefix;  // its first two characters, empty for BRELO
};

// The computed fields of one vehicle line.
ComputedValues PvoValues(const RunState& state, const PvoClient& client, const IXMLCursor& record);
// The vehicle line: 167 fields, each followed by TAB, then CR LF.
std::string PvoLine(const RunState& state, const PvoClient& client, const IXMLCursor& record);
// "??" TAB "1.0" TAB the second's stamp CR LF.
std::string PvoFirstLine(const DateTime& now);

class PvoExporter : public ExporterFrame {
 protected:
  DeliveryDefaults Defaults(const RunState& state) const override;
  void ReadOwnSettings(RunState& state) override;
  void PrepareOutputFolder(RunState& state) override;
  bool TakesRecord(RunState& state, IXMLCursor& record) override;
  void ExportRecord(RunState& state, IXMLCursor& record) override;
  void WriteOutput(RunState& state) override;
  std::string ExtractCopyPattern() const override { return ""; }
  std::string ZipBaseName(const RunState& state) const override { return state.clientId; }
  std::string ZipEntry(const RunState& state) const override;

 private:
  void ReadClient(RunState& state, const IXMLCursor& record);

  PvoClient client_;
  std::string lines_;
};

SettingsUse PvoSettingsUse();

}  // namespace tarvelon
