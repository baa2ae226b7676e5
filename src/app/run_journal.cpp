#include "app/run_journal.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

#include "app/run_state.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace tarvelon {
namespace {

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS runs (id INTEGER PRIMARY KEY, option TEXT NOT NULL, started TEXT NOT NULL,"
    " ended TEXT, outcome TEXT NOT NULL, error TEXT, walked INTEGER DEFAULT 0, exported INTEGER DEFAULT 0,"
    " photos_updated INTEGER DEFAULT 0);"
    "CREATE TABLE IF NOT EXISTS deliveries (run_id INTEGER NOT NULL REFERENCES runs(id) ON DELETE CASCADE,"
    " file TEXT, destination TEXT, status TEXT, ok INTEGER NOT NULL);"
    "CREATE INDEX IF NOT EXISTS runs_by_option ON runs(option, started);";

// Statements are short-lived; this closes them on every path.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) throw Error(sqlite3_errmsg(db));
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement& Bind(int i, const std::string& ansi) {
    const std::string utf8 = AnsiToUtf8(ansi);
    sqlite3_bind_text(stmt_, i, utf8.c_str(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Statement& Bind(int i, long long value) {
    sqlite3_bind_int64(stmt_, i, value);
    return *this;
  }
  bool Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) throw Error(sqlite3_errmsg(db_));
    return false;
  }
  std::string Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return text ? Utf8ToAnsi(text) : std::string();
  }
  long long Int(int column) const { return sqlite3_column_int64(stmt_, column); }

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

int ReadPositive(const IniFile& ini, const std::string& key, int def) {
  const int value = std::atoi(ini.Read("Options", key, std::to_string(def)).c_str());
  return value > 0 ? value : def;
}

}  // namespace

std::string JournalPath(const IniFile& ini) {
  return ini.Read("Options", "JournalFile", WorkDir() + "Tarvelon\\runs.sqlite");
}

int JournalRetentionDays(const IniFile& ini) { return ReadPositive(ini, "JournalRetentionDays", 90); }

std::string JournalStamp(const DateTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return text;
}

RunJournal::RunJournal(const std::string& path) : path_(path) {
  try {
    const std::string folder = FolderOf(path);
    if (!folder.empty()) CreateFolders(folder);
  } catch (const Error&) {
    // sqlite3_open_v2 below reports the reason in its own words
  }
  const std::string host = HostPath(path);
  if (sqlite3_open_v2(host.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    const std::string reason = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    db_ = nullptr;
    throw Error(path + " : " + reason);
  }
  try {
    sqlite3_busy_timeout(db_, 10000);  // two targets exporting at once wait for each other
    // Two targets opening a new journal at once: the one that would wait on
    // the other's change of journal mode or schema can be told "busy" at
    // once, without its time-out (sqlite's way out of two waiting on each
    // other). It tries again until the time-out has passed.
    RetryWhileBusy([this] { Exec("PRAGMA journal_mode=WAL;"); });
    Exec("PRAGMA foreign_keys=ON;");
    RetryWhileBusy([this] {
      Exec("BEGIN IMMEDIATE");
      Exec(kSchema);
      Exec("COMMIT");
    });
  } catch (const Error& e) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw Error(path + " : " + e.text());
  }
}

RunJournal::~RunJournal() { sqlite3_close(db_); }

void RunJournal::RetryWhileBusy(const std::function<void()>& step) const {
  for (int waited = 0;; waited += 20) {
    try {
      step();
      return;
    } catch (const Error&) {
      const int code = sqlite3_errcode(db_) & 0xFF;
      if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
      if ((code != SQLITE_BUSY && code != SQLITE_LOCKED) || waited >= 10000) throw;
    }
    sqlite3_sleep(20);
  }
}

void RunJournal::Exec(const std::string& sql) const {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string text = message ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    throw Error(text);
  }
}

long long RunJournal::BeginRun(const std::string& option, const DateTime& started) {
  Statement(db_, "INSERT INTO runs (option, started, outcome) VALUES (?, ?, 'running')")
      .Bind(1, option)
      .Bind(2, JournalStamp(started))
      .Step();
  return sqlite3_last_insert_rowid(db_);
}

void RunJournal::EndRun(long long id, const JournalRun& run, const std::vector<DeliveryRecord>& deliveries) {
  Exec("BEGIN IMMEDIATE");
  try {
    Statement(db_,
              "UPDATE runs SET ended = ?, outcome = ?, error = ?, walked = ?, exported = ?, photos_updated = ?"
              " WHERE id = ?")
        .Bind(1, run.ended)
        .Bind(2, run.outcome)
        .Bind(3, run.error)
        .Bind(4, run.walked)
        .Bind(5, run.exported)
        .Bind(6, run.photosUpdated)
        .Bind(7, id)
        .Step();
    for (const DeliveryRecord& d : deliveries)
      Statement(db_, "INSERT INTO deliveries (run_id, file, destination, status, ok) VALUES (?, ?, ?, ?, ?)")
          .Bind(1, id)
          .Bind(2, d.file)
          .Bind(3, d.destination)
          .Bind(4, d.status)
          .Bind(5, d.ok ? 1LL : 0LL)
          .Step();
    Exec("COMMIT");
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

void RunJournal::Prune(const DateTime& now, int days) {
  const DateTime limit = FromDayCount(ToDayCount(now) - days);
  Statement(db_, "DELETE FROM runs WHERE started < ?").Bind(1, JournalStamp(limit)).Step();
}

std::vector<JournalRun> RunJournal::Runs() const {
  std::vector<JournalRun> runs;
  Statement select(db_,
                   "SELECT r.id, r.option, r.started, IFNULL(r.ended, ''), r.outcome, IFNULL(r.error, ''),"
                   " r.walked, r.exported, r.photos_updated,"
                   " (SELECT COUNT(*) FROM deliveries d WHERE d.run_id = r.id AND d.ok = 1),"
                   " (SELECT COUNT(*) FROM deliveries d WHERE d.run_id = r.id AND d.ok = 0)"
                   " FROM runs r ORDER BY r.started, r.id");
  while (select.Step()) {
    JournalRun run;
    run.id = select.Int(0);
    run.option = select.Text(1);
    run.started = select.Text(2);
    run.ended = select.Text(3);
    run.outcome = select.Text(4);
    run.error = select.Text(5);
    run.walked = static_cast<int>(select.Int(6));
    run.exported = static_cast<int>(select.Int(7));
    run.photosUpdated = static_cast<int>(select.Int(8));
    run.deliveriesOk = static_cast<int>(select.Int(9));
    run.deliveriesFailed = static_cast<int>(select.Int(10));
    runs.push_back(run);
  }
  return runs;
}

std::vector<DeliveryRecord> RunJournal::Deliveries(long long runId) const {
  std::vector<DeliveryRecord> out;
  Statement select(db_, "SELECT file, destination, status, ok FROM deliveries WHERE run_id = ? ORDER BY rowid");
  select.Bind(1, runId);
  while (select.Step()) out.push_back({select.Text(0), select.Text(1), select.Text(2), select.Int(3) != 0});
  return out;
}

JournalRecorder::JournalRecorder(RunState& state) {
  const std::string path = JournalPath(state.config);
  try {
    journal_ = std::make_unique<RunJournal>(path);
    journal_->Prune(Now(), JournalRetentionDays(state.config));
    runId_ = journal_->BeginRun(state.exportOption, Now());
  } catch (const Error& e) {
    Failed(state, e.text());
  }
}

JournalRecorder::~JournalRecorder() = default;

void JournalRecorder::Finish(RunState& state, const std::string& errorText) {
  if (!journal_) return;
  JournalRun run;
  run.ended = JournalStamp(Now());
  run.outcome = errorText.empty() && state.finishedFlag ? "finished" : "error";
  run.error = errorText;
  run.walked = state.counters.vehicleCount;
  run.exported = state.vehiclesExported >= 0 ? state.vehiclesExported : state.counters.vehicleCount;
  run.photosUpdated = state.counters.photoUpdateCount;
  try {
    journal_->EndRun(runId_, run, state.deliveries);
  } catch (const Error& e) {
    Failed(state, e.text());
  }
}

void JournalRecorder::Failed(RunState& state, const std::string& reason) {
  journal_.reset();
  try {
    state.LogLine(Ansi("Journal des exports non écrit : ") + reason);
  } catch (const Error&) {
    // the log itself is out of reach; the export's own error says so
  }
}

}  // namespace tarvelon
