#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "platform/errors.h"
#include "platform/files.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

using testing::TempFolder;

size_t EntriesIn(const std::string& folder) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

// A write cut short (here by a file size limit standing for a full disk) fails
// with the path and leaves the previous file whole, with no temporary beside it.
TEST(WriteFileBytes, AFailedWriteKeepsThePreviousFile) {
  TempFolder folder;
  const std::string path = folder / "LEBONCOIN-20261209.xml";
  testing::WriteHostFile(path, "previous complete file");

  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    try {
      WriteFileBytes(path, std::string(100000, 'x'));
    } catch (const Error& e) {
      _exit(e.text().find(path) != std::string::npos ? 3 : 4);
    }
    _exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3) << "the write must fail with an error naming the file";
  EXPECT_EQ(testing::ReadHostFile(path), "previous complete file");
  EXPECT_EQ(EntriesIn(folder.path()), 1u);
}

TEST(WriteFileBytes, ReplacesWholeAndKeepsOrdinaryPermissions) {
  TempFolder folder;
  const std::string path = folder / "out.csv";
  WriteFileBytes(path, "first version, longer than the second");
  WriteFileBytes(path, "second");
  EXPECT_EQ(testing::ReadHostFile(path), "second");
  EXPECT_EQ(EntriesIn(folder.path()), 1u);
  const auto perms = std::filesystem::status(path).permissions();
  EXPECT_NE(perms & std::filesystem::perms::others_read, std::filesystem::perms::none);
}

TEST(WriteFileBytes, AMissingFolderIsAnErrorNamingThePath) {
  TempFolder folder;
  const std::string path = folder / "missing/out.csv";
  try {
    WriteFileBytes(path, "x");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(e.text().find(path), std::string::npos) << e.text();
  }
}

}  // namespace
}  // namespace tarvelon
