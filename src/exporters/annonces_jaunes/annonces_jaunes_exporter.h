#pragma once
// ANNONCESJAUNES: the quoted dealer file with the partner's 115 columns,
// named by the partner's client number, zipped and sent by FTP. The row
// pieces are the dealer feed's.
#include "app/dispatch.h"
#include <string>
#include <vector>

#include "exporters/dealer_csv/dealer_csv_rows.h"
#include "exporters/frame/exporter_frame.h"
#include "platform/clock.h"

namespace tarvelon {

const std::vector<QuotedColumn>& AnnoncesJaunesColumns();

// `today` plus `months` months (12 months carry into the next year), the day
// capped at 28, as "dd/mm/yyyy"; empty for a count that is not positive or
// beyond 100 years.
std::string WarrantyEndDate(const DateTime& today, int months);

// 1 for AirbagCond, 1 for AirbagPass, 2 for AirbagLat.
int AirbagCount(const std::string& safetyList);

class AnnoncesJaunesExporter : public ExporterFrame {
 protected:
  DeliveryDefaults Defaults(const RunState& state) const override;
  void ReadOwnSettings(RunState& state) override;
  void PrepareOutputFolder(RunState& state) override;
  void ExportRecord(RunState& state, IXMLCursor& record) override;
  void WriteOutput(RunState& state) override;
  std::string ExtractCopyPattern() const override { return ""; }
  std::string ZipBaseName(const RunState& state) const override { return state.clientId; }
  std::string ZipEntry(const RunState& state) const override;

 private:
  QuotedCsvText text_;
};

SettingsUse AnnoncesJaunesSettingsUse();

}  // namespace tarvelon
