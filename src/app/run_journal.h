#pragma once
// The run journal: one row per export (target, times, outcome, counts) and one
// per delivery, in an SQLite file that every front end writes, so that
// operations can see which portal got what and when.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/config.h"
#include "app/run_state.h"
#include "platform/clock.h"

struct sqlite3;

namespace tarvelon {

struct JournalRun {
  long long id = 0;
  std::string option;
  std::string started;  // "yyyy-mm-dd hh:nn:ss", local time
  std::string ended;    // empty while running (or when the process died)
  std::string outcome;  // "running", "finished" or "error"
  std::string error;
  int walked = 0, exported = 0, photosUpdated = 0;
  int deliveriesOk = 0, deliveriesFailed = 0;
  bool Succeeded() const { return outcome == "finished" && deliveriesFailed == 0; }
};

// Options "JournalFile", default WorkDir + "Tarvelon\runs.sqlite".
std::string JournalPath(const IniFile& ini);
// Options "JournalRetentionDays", default 90.
int JournalRetentionDays(const IniFile& ini);
std::string JournalStamp(const DateTime& t);

class RunJournal {
 public:
  // Opens (creating when missing) the journal; throws Error with the reason.
  explicit RunJournal(const std::string& path);
  ~RunJournal();
  RunJournal(const RunJournal&) = delete;
  RunJournal& operator=(const RunJournal&) = delete;

  long long BeginRun(const std::string& option, const DateTime& started);
  void EndRun(long long id, const JournalRun& run, const std::vector<DeliveryRecord>& deliveries);
  // Removes the runs started more than `days` days before `now`.
  void Prune(const DateTime& now, int days);
  // Every run, oldest first.
  std::vector<JournalRun> Runs() const;
  std::vector<DeliveryRecord> Deliveries(long long runId) const;

 private:
  void Exec(const std::string& sql) const;
  // Runs the step again while sqlite answers "busy" or "locked", up to 10 s.
  void RetryWhileBusy(const std::function<void()>& step) const;
  sqlite3* db_ = nullptr;
  std::string path_;
};

// What RunExport does around an exporter: a journal that cannot be opened or
// written never stops the export; one log line says why.
class JournalRecorder {
 public:
  explicit JournalRecorder(RunState& state);
  ~JournalRecorder();
  void Finish(RunState& state, const std::string& errorText);

 private:
  void Failed(RunState& state, const std::string& reason);
  std::unique_ptr<RunJournal> journal_;
  long long runId_ = 0;
};

}  // namespace tarvelon
