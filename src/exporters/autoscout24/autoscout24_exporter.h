#pragma once
// AutoScout24 and VPN: one semicolon line per vehicle, the photos copied under
// the ad reference, all zipped and sent by FTP.
#include "app/dispatch.h"
#include <string>
#include <vector>

#include "exporters/frame/csv_columns.h"
#include "exporters/frame/exporter_frame.h"

namespace tarvelon {

const std::vector<CsvColumn>& AutoScout24Columns();
const std::vector<CsvColumn>& VpnExtraColumns();

// Price, catalogue price and the discount shown on the first photo.
struct PriceFacts {
  std::string catalogueText;  // empty unless the catalogue price is above 0
  std::string discountText;   // whole percentage when 10 <= discount < 50
};
PriceFacts ComputePriceFacts(const std::string& priceText, const std::string& catalogueText);

// MoisMEC + "." + AnneeMEC, with a "0" in front when shorter than 7 characters.
std::string RegistrationMonth(const std::string& month, const std::string& year);

class AutoScout24Exporter : public ExporterFrame {
 protected:
  DeliveryDefaults Defaults(const RunState& state) const override;
  void ReadOwnSettings(RunState& state) override;
  void PrepareOutputFolder(RunState& state) override;
  void ExportRecord(RunState& state, IXMLCursor& record) override;
  void WriteOutput(RunState& state) override;
  std::string ZipBaseName(const RunState& state) const override { return state.clientId; }

 private:
  bool IsVpn(const RunState& state) const { return state.exportOption == "VPN"; }
  std::string lines_;
};

SettingsUse AutoScout24SettingsUse();

}  // namespace tarvelon
