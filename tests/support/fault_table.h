#pragma once
// The reliability table: when the environment variable TARVELON_FAULT_TABLE
// names a file, every fault test appends one row to it,
// "fault<TAB>where<TAB>outcome<TAB>seconds". Nothing happens when it is unset.
// tests/reliability/make_report.py turns the rows into docs/reliability.md.
//
//   FaultRow row("server answers 421 on connect", "target FTP");
//   ... provoke the fault, check what the system did ...
//   row.Outcome("Transfert FTP : Erreur Connexion au serveur. , run goes on");
//   // the destructor appends the row with the seconds since construction
#include <chrono>
#include <string>

namespace tarvelon::testing {

void RecordFault(const std::string& fault, const std::string& where, const std::string& outcome, double seconds);

// Times one fault from its construction until its outcome is set (or the
// end of the scope) and records it when it goes out of scope; a test that
// failed records its outcome as "FAILED: " + the outcome.
class FaultRow {
 public:
  FaultRow(std::string fault, std::string where);
  ~FaultRow();
  FaultRow(const FaultRow&) = delete;
  FaultRow& operator=(const FaultRow&) = delete;

  // What the system did; stops the clock, so that checks made afterwards
  // (the next delivery to a sound server) do not count.
  void Outcome(const std::string& outcome);
  // Seconds from construction, or the last Restart, to the outcome or now.
  double Seconds() const;
  // Starts the clock afresh, when the fault test first has to set things up.
  void Restart() {
    start_ = std::chrono::steady_clock::now();
    end_ = {};
  }

 private:
  std::string fault_, where_, outcome_;
  std::chrono::steady_clock::time_point start_, end_{};
};

}  // namespace tarvelon::testing
