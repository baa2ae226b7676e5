#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>

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

// Runs `step` in a child process whose files may not grow past 4 KB (standing
// for a full disk): 3 when it failed with an error naming `path`, 4 when the
// error named something else, 0 when it did not fail.
int ExitUnderFileSizeLimit(const std::function<void()>& step, const std::string& path) {
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    try {
      step();
    } catch (const Error& e) {
      _exit(e.text().find(path) != std::string::npos ? 3 : 4);
    }
    _exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A write cut short (here by a file size limit standing for a full disk) fails
// with the path and leaves the previous file whole, with no temporary beside it.
TEST(WriteFileBytes, AFailedWriteKeepsThePreviousFile) {
  TempFolder folder;
  const std::string path = folder / "LEBONCOIN-20261209.xml";
  testing::WriteHostFile(path, "previous complete file");

  EXPECT_EQ(ExitUnderFileSizeLimit([&] { WriteFileBytes(path, std::string(100000, 'x')); }, path), 3)
      << "the write must fail with an error naming the file";
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


std::string SampleBytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 7) & 0xff);
  return bytes;
}

// Copies made by the kernel (or the fallback) are the source's bytes exactly,
// replace an existing target whole and leave no temporary file beside it.
TEST(CopyFileBytes, CopiesEveryByteAndReplacesTheTargetWhole) {
  TempFolder folder;
  for (size_t size : {size_t{0}, size_t{1}, size_t{65537}, size_t{3 * 1024 * 1024 + 5}}) {
    const std::string source = folder / "source.jpg", target = folder / "target.jpg";
    testing::WriteHostFile(source, SampleBytes(size));
    testing::WriteHostFile(target, std::string(size + 100, 'o'));  // longer than the copy
    CopyFileBytes(source, target);
    EXPECT_EQ(testing::ReadHostFile(target), SampleBytes(size)) << size;
    EXPECT_EQ(ReadFileBytes(source), SampleBytes(size)) << size;
    EXPECT_EQ(EntriesIn(folder.path()), 2u) << size;
  }
}

TEST(CopyFileBytes, AMissingSourceIsAnErrorNamingItAndLeavesTheTarget) {
  TempFolder folder;
  const std::string target = folder / "target.jpg";
  testing::WriteHostFile(target, "previous");
  for (const std::string& source : {folder / "absent.jpg", folder.path()}) {
    try {
      CopyFileBytes(source, target);
      ADD_FAILURE() << "no error for " << source;
    } catch (const Error& e) {
      EXPECT_NE(e.text().find(source), std::string::npos) << e.text();
    }
  }
  EXPECT_EQ(testing::ReadHostFile(target), "previous");
  EXPECT_EQ(EntriesIn(folder.path()), 1u);
}

// A copy cut short (a file size limit standing for a full disk) keeps the
// previous target whole, with no temporary beside it.
TEST(CopyFileBytes, AFailedCopyKeepsThePreviousTarget) {
  TempFolder folder;
  const std::string source = folder / "big.jpg", target = folder / "target.jpg";
  testing::WriteHostFile(source, SampleBytes(200000));
  testing::WriteHostFile(target, "previous complete file");
  EXPECT_EQ(ExitUnderFileSizeLimit([&] { CopyFileBytes(source, target); }, target), 3)
      << "the copy must fail with an error naming the target";
  EXPECT_EQ(testing::ReadHostFile(target), "previous complete file");
  EXPECT_EQ(EntriesIn(folder.path()), 2u);
}

TEST(ReadFileBytes, ReadsBinaryFilesWholeAndRefusesAFolder) {
  TempFolder folder;
  const std::string path = folder / "Tarvelon.ini";
  testing::WriteHostFile(path, SampleBytes(70000));
  EXPECT_EQ(ReadFileBytes(path), SampleBytes(70000));
  EXPECT_THROW(ReadFileBytes(folder / "absent.ini"), Error);
  EXPECT_THROW(ReadFileBytes(folder.path()), Error);
}

}  // namespace
}  // namespace tarvelon
