#pragma once
// The shape every file exporter follows: settings into the window, output
// folder, walk of the stock extract, output file, copy of the extract, zip,
// delivery, summary line, finished flag. An exporter fills the variation
// points and states only its differences.
#include <string>
#include <vector>

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

// A customer number or client code from the settings or the extract names a
// file: anything but a plain file name is refused with the system's error.
void RequirePlainClientFileName(const std::string& name);
// A status text that reports a failure (neither OK nor the empty status of a
// delivery switched off).
bool IsFailedDelivery(const std::string& status);

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
  // Sends FilesToDeliver in order; answers the first failed status, else the
  // last one's, so that a later success never hides an earlier failure.
  // The file named by the "Début Transfert" line: by default the archive.
  virtual std::string AnnouncedFile(const RunState& state) const { return state.zipPath; }
  virtual std::string Deliver(RunState& state);
  virtual std::string FinalLine(const RunState& state, const std::string& status) const;

  // What the archive holds: OutputFolder + "\*.*" (every file of the output
  // folder), or the path of one chosen file.
  virtual std::string ZipEntry(const RunState& state) const;
  // Before the walk, after the extract is loaded and the counters reset.
  virtual void BeforeWalk(RunState& state) { (void)state; }
  // False: the record is walked past without being counted or exported.
  virtual bool TakesRecord(RunState& state, IXMLCursor& record) {
    (void)state;
    (void)record;
    return true;
  }
  // The files Deliver sends one after the other, keeping the connection open.
  virtual std::vector<std::string> FilesToDeliver(const RunState& state) const { return {state.zipPath}; }
  // Called before each file of FilesToDeliver goes out.
  virtual void BeforeFileDelivery(RunState& state, const std::string& file) {
    (void)state;
    (void)file;
  }
  // Everything after the walk up to the final line; the default is the
  // common order (file, extract copy, zip, log restart, delivery, final line).
  virtual void Finish(RunState& state);

  // The steps of the common order, for exporters with their own tail.
  void SaveExtractCopy(const std::string& pattern);
  void RestartLogForDelivery(RunState& state);  // empty log line, photo count line

  IXMLCursor extract_;  // the loaded stock extract (whole document)
};

// The target-section keys every frame exporter reads (the delivery account
// and "TestFTPPictlore"), followed by the exporter's own.
std::vector<std::string> FrameTargetKeys(std::vector<std::string> own = {});

}  // namespace tarvelon
