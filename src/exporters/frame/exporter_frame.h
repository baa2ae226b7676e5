#pragma once
// The shape every file exporter follows: settings into the window, output
// folder, walk of the stock extract, output file, copy of the extract, zip,
// delivery, summary line, finished flag. An exporter fills the variation
// points and states only its differences.
#include <string>

#include "app/run_state.h"
#include "stock/xml_cursor.h"

namespace tarvelon {

// Defaults of the four delivery keys of a target section.
struct DeliveryDefaults {
  std::string server;
  std::string user;
  std::string password;
  std::string folder;
};

// Built-in address and account of the group's image server (section "Pictlore").
DeliveryDefaults ImageServerDefaults();

// "Pictlore" keys into the image-server edits.
void ReadImageServerSettings(RunState& state);
// The target section's four delivery keys into the export-server edits.
void ReadDeliverySettings(RunState& state, const DeliveryDefaults& defaults);
// TestPhotoServer: the target key "TestFTPPictlore" is not exactly "0".
void ReadTestPhotoServer(RunState& state);

// "1" when ";" + code + ";" occurs in the list, "0" when not, empty for an empty list.
std::string HasEquipmentCode(const std::string& list, const std::string& code);

class ExporterFrame {
 public:
  virtual ~ExporterFrame() = default;
  void Run(RunState& state);

 protected:
  virtual DeliveryDefaults Defaults(const RunState& state) const = 0;
  virtual void ReadOwnSettings(RunState& state) { ReadTestPhotoServer(state); }
  virtual void PrepareOutputFolder(RunState& state) = 0;
  virtual std::string ExtractPath(const RunState& state) const;
  virtual void ExportRecord(RunState& state, IXMLCursor& record) = 0;
  virtual void WriteOutput(RunState& state) = 0;
  // Time stamp pattern of the extract copy; empty for none.
  virtual std::string ExtractCopyPattern() const { return "yyyymmddhhnn"; }
  // Base name of the archive in WorkDir + "Tarvelon\"; empty for none.
  virtual std::string ZipBaseName(const RunState& state) const = 0;
  // What the archive holds: by default every file of the output folder.
  virtual std::string ZipEntry(const RunState& state) const;
  // The file named by the "Début Transfert" line: by default the archive.
  virtual std::string AnnouncedFile(const RunState& state) const { return state.zipPath; }
  virtual std::string Deliver(RunState& state);
  virtual std::string FinalLine(const RunState& state, const std::string& status) const;

  IXMLCursor extract_;  // the loaded stock extract (whole document)
};

}  // namespace tarvelon
