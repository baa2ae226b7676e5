#include "support/fault_table.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace tarvelon::testing {
namespace {

// A field holds no tab or line break, or the row would split.
std::string Field(std::string text) {
  for (char& c : text)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return text;
}

}  // namespace

void RecordFault(const std::string& fault, const std::string& where, const std::string& outcome, double seconds) {
  const char* table = std::getenv("TARVELON_FAULT_TABLE");
  if (!table || !*table) return;
  char time[32];
  std::snprintf(time, sizeof time, "%.2f", seconds);
  const std::string row = Field(fault) + "\t" + Field(where) + "\t" + Field(outcome) + "\t" + time + "\n";
  // One write in append mode: the rows of tests running side by side do not mix.
  const int fd = ::open(table, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0) << "cannot open the fault table " << table;
  const ssize_t written = ::write(fd, row.data(), row.size());
  ::close(fd);
  EXPECT_EQ(written, static_cast<ssize_t>(row.size())) << "cannot write the fault table " << table;
}

FaultRow::FaultRow(std::string fault, std::string where)
    : fault_(std::move(fault)), where_(std::move(where)), start_(std::chrono::steady_clock::now()) {}

FaultRow::~FaultRow() {
  const bool failed = ::testing::Test::HasFailure();
  RecordFault(fault_, where_, failed ? "FAILED: " + outcome_ : outcome_, Seconds());
}

void FaultRow::Outcome(const std::string& outcome) {
  outcome_ = outcome;
  end_ = std::chrono::steady_clock::now();
}

double FaultRow::Seconds() const {
  const auto end = end_ == std::chrono::steady_clock::time_point{} ? std::chrono::steady_clock::now() : end_;
  return std::chrono::duration<double>(end - start_).count();
}

}  // namespace tarvelon::testing
