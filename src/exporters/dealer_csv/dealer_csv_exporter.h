#pragma once
// AXECIBLES, FVA, BUSINESSAPTITUDE, BRELO: one quoted row per vehicle under a
// header of labels, written dated and undated to WorkDir + "Tarvelon\",
// zipped where the profile says, sent by FTP or by the operator's script.
#include "app/dispatch.h"
#include <string>

#include "exporters/dealer_csv/dealer_csv_profile.h"
#include "exporters/frame/exporter_frame.h"

namespace tarvelon {

// Counters of the summary words.
struct DealerCsvCounts {
  int discounted = 0;  // Remisés
  int business = 0;    // Affaires
  int reserved = 0;    // Réservés
  int sold = 0;        // Vendus
  int used = 0;        // VO
  int demo = 0;        // VD
  int demoZ = 0;       // VDZ
};
// " - 2 Remisés - 0 Affaires ..."; with omitZeroCounts Remisés, Affaires, VD
// and VDZ are left out when 0.
std::string DealerCsvSummary(const DealerCsvCounts& counts, bool omitZeroCounts);

// The dated and undated CSV files of a base name.
std::string DatedCsvPath(const std::string& baseName);
std::string UndatedCsvPath(const std::string& baseName);

class DealerCsvExporter : public ExporterFrame {
 public:
  explicit DealerCsvExporter(const DealerCsvProfile& profile) : profile_(profile) {}

 protected:
  DeliveryDefaults Defaults(const RunState& state) const override;
  void ReadOwnSettings(RunState& state) override;
  void PrepareOutputFolder(RunState& state) override;
  void ExportRecord(RunState& state, IXMLCursor& record) override;
  void WriteOutput(RunState& state) override;
  std::string ExtractCopyPattern() const override { return ""; }
  std::string ZipBaseName(const RunState& state) const override;
  std::string ZipEntry(const RunState& state) const override;
  std::string AnnouncedFile(const RunState& state) const override;
  std::string Deliver(RunState& state) override;
  std::string FinalLine(const RunState& state, const std::string& status) const override;

 private:
  void AddPhotoValues(RunState& state, const IXMLCursor& record, const TagInputs& tags, ComputedValues& values);

  const DealerCsvProfile& profile_;
  QuotedCsvText text_;
  DealerCsvCounts counts_;
};

void RunDealerCsvExport(RunState& state);

// The profile decides the port key and whether the file goes by FTP or by the operator script.
SettingsUse DealerCsvSettingsUse(const std::string& optionKey);

}  // namespace tarvelon
