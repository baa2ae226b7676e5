#pragma once
// Everything one process knows about its export: the selected option, the
// settings, the window, the counters and the open connections. One object,
// passed explicitly to every step.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/config.h"
#include "platform/clock.h"
#include "app/window_model.h"

namespace tarvelon {

class TargetFtpConnection;    // the delivery connection (transfer)
class ImageServerConnection;  // the image-server connection (photos)

struct RunCounters {
  int imageCount = 0;        // ImageCount
  int photoUpdateCount = 0;  // PhotoUpdateCount
  int vehicleCount = 0;      // VehicleCount
  int phoneSwapCount = 0;    // PhoneSwapCount
  int mailSwapCount = 0;     // MailSwapCount
};

// One delivery of the run: what went where, and how it ended.
struct DeliveryRecord {
  std::string file;         // as shown in the log
  std::string destination;  // host/folder, script or address
  std::string status;       // the status text of the delivery
  bool ok = true;
};

// Totals of the client file builder; they add up over every export of the process.
struct ClientFileTotals {
  long sent = 0;
  long excluded = 0;
  long discounted = 0;
};

class RunState {
 public:
  RunState();
  ~RunState();
  RunState(const RunState&) = delete;
  RunState& operator=(const RunState&) = delete;

  WindowModel window;

  // Selection (RunExport).
  std::string exportOption;       // ExportOption
  std::string exportOptionLower;  // ExportOptionLower
  std::string referencePrefix;    // ReferencePrefix
  bool finishedFlag = false;      // FinishedFlag
  int tickCount = 0;

  IniFile config;   // ConfigFile
  Options options;

  // Exporter run state.
  std::string outputFolder;  // OutputFolder
  std::string clientId;      // ClientId
  std::string zipPath;       // ZipPath
  std::string resultSuffix;  // ResultSuffix
  bool testPhotoServer = false;  // TestPhotoServer
  RunCounters counters;
  std::string ftpPortText;   // the run-wide port text of the delivery
  std::string ftpLogSuffix;  // shown after the option in the delivery's settings line
  ClientFileTotals clientTotals;
  int vehiclesExported = -1;  // set where it differs from the vehicles walked
  // Every delivery of the run, for the journal and the exit status.
  std::vector<DeliveryRecord> deliveries;
  void RecordDelivery(const std::string& file, const std::string& destination, const std::string& status, bool ok);
  bool AnyDeliveryFailed() const;
  bool vivacarSending = false;  // the "Envoi VIVACAR" pass runs

  // Connections stay open between the calls of one run.
  std::shared_ptr<TargetFtpConnection> targetFtp;
  std::shared_ptr<ImageServerConnection> imageServer;

  // The activity log: WorkDir + "MarqueUpdate" + ExportOption + ".log". An
  // empty message starts the file afresh. Throws when the file cannot be written.
  void LogLine(const std::string& message);
  // LogLine(head + body), without the copy: a feed logs its whole result text.
  void LogLine(std::string_view head, const std::string& body);
  // The same, taking the body over for the line the memo keeps.
  void LogLine(std::string_view head, std::string&& body);
  std::string LogFilePath() const;

 private:
  // The log file's host path and the stamp of the last second logged: a run
  // logs a line per photo, each of which would map the path and format the time again.
  std::string logPath_, logHostPath_;
  DateTime stampTime_{};
  std::string stampText_;
  const std::string& LogStamp();
  // "-> " + stamp + " - " + message + CR LF: appended to the log file, kept in the memo without its CR LF.
  void WriteLogEntry(std::string line);

 public:

  // The current target's section, and any section, read at the moment of the call.
  std::string ReadTargetSetting(const std::string& key, const std::string& def) const;
  std::string ReadSetting(const std::string& section, const std::string& key, const std::string& def) const;

  void ProcessMessages() { window.ProcessMessages(); }

  // Auto-close: one timer tick; true when the window is to close.
  bool Tick();
};

// Appends the line and CR LF to the file, creating it when missing; throws on failure.
void AppendLineToFile(const std::string& path, const std::string& line);

}  // namespace tarvelon
